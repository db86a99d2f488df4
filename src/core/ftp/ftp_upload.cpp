#include "core/ftp/ftp_upload.h"

#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <mutex>
#include <system_error>

#include "core/text/cp932.h"
#include "core/text/paths.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"

namespace movra {

using namespace literals;

namespace {

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

struct CurlCleanup {
    void operator()(CURL* h) const {
        if (h) curl_easy_cleanup(h);
    }
};
using CurlPtr = std::unique_ptr<CURL, CurlCleanup>;

// A URL path of escaped segments; a leading "/" (a folder from the server's root) becomes "%2F",
// so that libcurl enters it from the root instead of the login folder.
std::string UrlPath(CURL* h, const std::string& utf8Path) {
    std::string out = !utf8Path.empty() && utf8Path.front() == '/' ? "%2F" : "";
    const std::size_t lead = out.size();
    std::size_t start = 0;
    while (start <= utf8Path.size()) {
        std::size_t end = utf8Path.find('/', start);
        if (end == std::string::npos) end = utf8Path.size();
        const std::string segment = utf8Path.substr(start, end - start);
        if (!segment.empty()) {
            if (out.size() > lead) out += "/";
            char* escaped = curl_easy_escape(h, segment.data(), int(segment.size()));
            if (escaped) {
                out += escaped;
                curl_free(escaped);
            }
        }
        start = end + 1;
    }
    return out;
}

// Printable ASCII only: a server's reply is shown as it is, but never with control bytes.
std::string PrintableReply(const char* data, std::size_t size) {
    std::string line;
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        if (c >= 0x20 && c < 0x7f) line += char(c);
    }
    return Trim(line);
}

// The session with one server: the handle, what the server said last, and the callbacks.
class Session {
public:
    Session(FtpListener& listener, const FtpOptions& options, const std::atomic<bool>& cancelled,
            const FtpServerEntry& server, std::string base)
        : listener_(listener), cancelled_(cancelled), password_(server.password), base_(std::move(base)) {
        InitCurlOnce();
        handle_.reset(curl_easy_init());
        CURL* h = handle_.get();
        if (!h) return;
        error_[0] = '\0';
        curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "ftp");
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(h, CURLOPT_USERNAME, server.user.c_str());
        curl_easy_setopt(h, CURLOPT_PASSWORD, server.password.c_str());
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, options.connectSeconds);
        curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, options.responseSeconds);
        curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, options.stallSeconds);
        curl_easy_setopt(h, CURLOPT_FTP_FILEMETHOD, long(CURLFTPMETHOD_MULTICWD));
        curl_easy_setopt(h, CURLOPT_ERRORBUFFER, error_.data());
        // The server's replies are the status texts; the commands sent (PASS among them) are
        // never looked at.
        curl_easy_setopt(h, CURLOPT_VERBOSE, 1L);
        curl_easy_setopt(h, CURLOPT_DEBUGFUNCTION, &Session::OnDebug);
        curl_easy_setopt(h, CURLOPT_DEBUGDATA, this);
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &Session::OnProgress);
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, this);
        curl_easy_setopt(h, CURLOPT_READFUNCTION, &Session::OnRead);
        curl_easy_setopt(h, CURLOPT_READDATA, this);
    }

    bool valid() const { return handle_ != nullptr; }

    // Logs in and enters `remote` (the login folder when empty); makes the folder first when asked.
    CURLcode EnterFolder(const std::string& remoteUtf8, bool create) {
        CURL* h = handle_.get();
        const std::string path = UrlPath(h, remoteUtf8);
        const std::string url = base_ + path + (path.empty() ? "" : "/");
        curl_easy_setopt(h, CURLOPT_URL, url.c_str());
        curl_easy_setopt(h, CURLOPT_UPLOAD, 0L);
        curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
        curl_easy_setopt(h, CURLOPT_FTP_CREATE_MISSING_DIRS,
                         long(create ? CURLFTP_CREATE_DIR_RETRY : CURLFTP_CREATE_DIR_NONE));
        return Perform();
    }

    // Stores the local file as `name` in `remote`, replacing a file of that name.
    CURLcode Put(const std::filesystem::path& local, const std::string& remoteUtf8, const std::string& nameUtf8,
                 bool text, const std::string& shownName) {
        FilePtr file(std::fopen(local.c_str(), "rb"));
        if (!file) return CURLE_READ_ERROR;
        std::error_code ec;
        const auto size = std::filesystem::file_size(local, ec);
        CURL* h = handle_.get();
        std::string path = UrlPath(h, remoteUtf8);
        if (!path.empty()) path += "/";
        path += UrlPath(h, nameUtf8);
        const std::string url = base_ + path;
        curl_easy_setopt(h, CURLOPT_URL, url.c_str());
        curl_easy_setopt(h, CURLOPT_NOBODY, 0L);
        curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(h, CURLOPT_APPEND, 0L);
        curl_easy_setopt(h, CURLOPT_FTP_CREATE_MISSING_DIRS, long(CURLFTP_CREATE_DIR_NONE));
        curl_easy_setopt(h, CURLOPT_TRANSFERTEXT, text ? 1L : 0L);
        curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, curl_off_t(ec ? -1 : curl_off_t(size)));
        reading_ = file.get();
        currentFile_ = shownName;
        const CURLcode result = Perform();
        reading_ = nullptr;
        curl_easy_setopt(h, CURLOPT_TRANSFERTEXT, 0L);
        return result;
    }

    // What went wrong, in words for the user, with the server's last reply where it tells more.
    std::string Reason(CURLcode code, bool putting) const {
        std::string reason;
        switch (code) {
            case CURLE_COULDNT_RESOLVE_HOST:
                reason = "サーバーのアドレスが見つかりません。"_sj;
                break;
            case CURLE_COULDNT_CONNECT:
                reason = "サーバーに接続できません。アドレスとポートを確かめてください。"_sj;
                break;
            case CURLE_LOGIN_DENIED:
                reason = "ログインできません。ユーザーIDとパスワードを確かめてください。"_sj;
                break;
            case CURLE_OPERATION_TIMEDOUT:
                reason = "サーバーが応答しません（時間切れ）。"_sj;
                break;
            case CURLE_REMOTE_ACCESS_DENIED:
                reason = putting ? std::string("サーバーがファイルの書き込みを拒否しました。"_sj)
                                 : std::string("サーバーがフォルダへの移動を拒否しました。"_sj);
                break;
            case CURLE_UPLOAD_FAILED:
                reason = "サーバーがファイルを受け付けませんでした。"_sj;
                break;
            case CURLE_SEND_ERROR:
            case CURLE_RECV_ERROR:
            case CURLE_GOT_NOTHING:
            case CURLE_PARTIAL_FILE:
            case CURLE_FTP_WEIRD_SERVER_REPLY:
            case CURLE_FTP_ACCEPT_FAILED:
            case CURLE_FTP_WEIRD_PASV_REPLY:
            case CURLE_FTP_CANT_GET_HOST:
                reason = putting ? std::string("転送の途中でサーバーとの接続が切れました。"_sj)
                                 : std::string("サーバーとの接続が切れました。"_sj);
                break;
            case CURLE_READ_ERROR:
                reason = "ファイルを読めません。"_sj;
                break;
            case CURLE_ABORTED_BY_CALLBACK:
                reason = "転送を中止しました。"_sj;
                break;
            default:
                reason = "FTPエラー: "_sj + Scrub(error_[0] ? std::string(error_.data()) : curl_easy_strerror(code));
                break;
        }
        // The server's own words where it refused something.
        const bool refused = code == CURLE_LOGIN_DENIED || code == CURLE_REMOTE_ACCESS_DENIED ||
                             code == CURLE_UPLOAD_FAILED || code == CURLE_QUOTE_ERROR;
        if (!lastReply_.empty() && refused) {
            reason += "（サーバーの応答: "_sj + lastReply_ + "）"_sj;
        }
        return reason;
    }

private:
    CURLcode Perform() {
        error_[0] = '\0';
        lastReply_.clear();
        return curl_easy_perform(handle_.get());
    }

    // Never shows the password, should a server echo it back.
    std::string Scrub(std::string text) const {
        if (password_.size() < 3) return text;
        for (std::size_t at; (at = text.find(password_)) != std::string::npos;) text.replace(at, password_.size(), "****");
        return text;
    }

    static int OnDebug(CURL*, curl_infotype type, char* data, size_t size, void* self) {
        auto* s = static_cast<Session*>(self);
        if (type != CURLINFO_HEADER_IN) return 0;
        std::string line = s->Scrub(PrintableReply(data, size));
        if (line.empty()) return 0;
        s->lastReply_ = line;
        s->listener_.Status(0, line);
        return 0;
    }

    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t uploadTotal, curl_off_t uploaded) {
        auto* s = static_cast<Session*>(self);
        if (s->cancelled_) return 1;
        if (s->reading_ && uploaded > 0) {
            s->listener_.Progress(s->currentFile_, std::uint64_t(uploaded), std::uint64_t(std::max<curl_off_t>(uploadTotal, 0)));
        }
        return 0;
    }

    static size_t OnRead(char* buffer, size_t size, size_t count, void* self) {
        auto* s = static_cast<Session*>(self);
        if (!s->reading_) return 0;
        const size_t n = std::fread(buffer, 1, size * count, s->reading_);
        if (n == 0 && std::ferror(s->reading_)) return CURL_READFUNC_ABORT;
        return n;
    }

    FtpListener& listener_;
    const std::atomic<bool>& cancelled_;
    std::string password_;
    std::string base_;
    CurlPtr handle_;
    std::array<char, CURL_ERROR_SIZE> error_{};
    std::string lastReply_;
    std::FILE* reading_ = nullptr;
    std::string currentFile_;
};

struct Entry {
    std::filesystem::path path;
    std::string name;  // as on disk (UTF-8)
    bool folder = false;
};

// The entries of a local folder in name order: folders that are not links, and regular files
// (links to them followed). Pipes, sockets and devices are left alone: reading one could block.
std::vector<Entry> FolderEntries(const std::filesystem::path& folder) {
    std::vector<Entry> entries;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code sec;
        const auto linkStatus = it->symlink_status(sec);
        Entry e{it->path(), it->path().filename().string(), false};
        if (std::filesystem::is_directory(linkStatus)) {
            e.folder = true;
        } else if (!std::filesystem::is_regular_file(it->path(), sec)) {
            continue;
        }
        entries.push_back(std::move(e));
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

class ServerUpload {
public:
    ServerUpload(Session& session, FtpListener& listener, const std::atomic<bool>& cancelled,
                 FtpServerResult& result)
        : session_(session), listener_(listener), cancelled_(cancelled), result_(result) {}

    // Step 7: the folder into `remote` (CP932 as the user typed it, UTF-8 for the server).
    void UploadFolder(const std::filesystem::path& local, const std::string& remoteShown,
                      const std::string& remoteUtf8, bool create) {
        if (cancelled_) return;
        const CURLcode entered = session_.EnterFolder(remoteUtf8, create);
        if (entered != CURLE_OK) {
            Fail("Server ChangeDir Error!  Dir=" + remoteShown, session_.Reason(entered, false));
            return;
        }
        for (const Entry& e : FolderEntries(local)) {
            if (cancelled_) return;
            const std::string shown = Utf8ToCp932(e.name);
            const std::string childUtf8 = remoteUtf8.empty() ? e.name : remoteUtf8 + "/" + e.name;
            const std::string childShown = remoteShown.empty() ? shown : remoteShown + "/" + shown;
            if (e.folder) {
                UploadFolder(e.path, childShown, childUtf8, true);
                continue;
            }
            listener_.Status(1, "\"" + shown + "\" transmitting.");
            const CURLcode put = session_.Put(e.path, remoteUtf8, e.name, IsFtpTextFile(e.path), shown);
            if (put == CURLE_OK) {
                ++result_.filesSent;
                listener_.Status(1, "");
            } else {
                const std::string text = " FTP PUT Error! (" + shown + ")";
                listener_.Status(1, text);
                Fail(text, session_.Reason(put, true));
            }
        }
    }

    void Fail(const std::string& text, const std::string& reason) {
        if (cancelled_) return;  // a cancelled transfer is reported once, by the caller
        ++result_.failures;
        listener_.Failure(FtpFailure{result_.entry, result_.name, text, reason});
    }

private:
    Session& session_;
    FtpListener& listener_;
    const std::atomic<bool>& cancelled_;
    FtpServerResult& result_;
};

}  // namespace

std::string FtpFailureMessage(const FtpFailure& failure) {
    std::string text = failure.text;
    if (!text.empty() && text.front() == ' ') text.erase(0, 1);
    return "【"_sj + failure.server + "】"_sj + text + "\r" + failure.reason;
}

bool FtpUploadReport::allComplete() const {
    if (cancelled) return false;
    return std::all_of(servers.begin(), servers.end(), [](const FtpServerResult& r) { return r.complete(); });
}

bool IsFtpTextFile(const std::filesystem::path& file) {
    static constexpr std::array<std::string_view, 10> kText = {
        ".CGI", ".CSS", ".HTM", ".HTML", ".JAVA", ".JS", ".PL", ".SHTM", ".SHTML", ".TXT"};
    const std::string ext = UpperExtension(file);
    return std::find(kText.begin(), kText.end(), ext) != kText.end();
}

bool ParseFtpAddress(const std::string& address, std::string* hostPort) {
    std::string a = Trim(address);
    if (a.size() >= 6 && UpperCaseAscii(a.substr(0, 6)) == "FTP://") a.erase(0, 6);
    while (!a.empty() && a.back() == '/') a.pop_back();
    if (a.empty()) return false;
    for (char c : a) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                        c == '.' || c == '-' || c == '_' || c == ':' || c == '[' || c == ']';
        if (!ok) return false;
    }
    // A bare IPv6 address gets its brackets.
    if (a.front() != '[' && std::count(a.begin(), a.end(), ':') > 1) a = "[" + a + "]";
    if (hostPort) *hostPort = a;
    return true;
}

FtpUploader::FtpUploader(FtpListener& listener, FtpOptions options)
    : listener_(listener), options_(options) {}

FtpServerResult FtpUploader::UploadToServer(int entry, const FtpServerEntry& server,
                                            const std::vector<std::filesystem::path>& folders) {
    FtpServerResult result;
    result.entry = entry;
    result.name = server.name;
    auto fail = [&](const std::string& text, const std::string& reason) {
        ++result.failures;
        listener_.Failure(FtpFailure{entry, server.name, text, reason});
    };

    std::string hostPort;
    if (!ParseFtpAddress(server.address, &hostPort)) {
        listener_.Status(0, server.name + " connect error.");
        fail(" connect error.", "ＦＴＰアドレスが正しくありません: "_sj + server.address);
        return result;
    }
    for (const auto& folder : folders) {
        std::error_code ec;
        if (folder.empty()) {
            fail("転送元フォルダが指定されていません。"_sj, "共通転送元フォルダを指定してください。"_sj);
            return result;
        }
        if (!std::filesystem::is_directory(folder, ec)) {
            fail("転送元フォルダがありません。"_sj, "フォルダ: "_sj + Utf8ToCp932(folder.string()));
            return result;
        }
    }

    listener_.Status(0, server.name + " connecting...");
    Session session(listener_, options_, cancelled_, server, "ftp://" + hostPort + "/");
    if (!session.valid()) {
        fail(" connect error.", "FTPを使えません（libcurlの初期化に失敗しました）。"_sj);
        return result;
    }
    const std::string remoteUtf8 = Cp932ToUtf8(server.remoteFolder);
    // Connecting and logging in (into the login folder) comes before the remote folder, so that
    // a refused login and a refused folder are told apart.
    const CURLcode connected = session.EnterFolder("", false);
    if (connected != CURLE_OK) {
        listener_.Status(0, server.name + " connect error.");
        if (!cancelled_) fail(" connect error.", session.Reason(connected, false));
        return result;
    }
    result.connected = true;
    listener_.Status(0, server.name + " connected.");
    ServerUpload upload(session, listener_, cancelled_, result);
    for (const auto& folder : folders) upload.UploadFolder(folder, server.remoteFolder, remoteUtf8, false);
    listener_.Status(0, "");
    return result;
}

FtpUploadReport FtpUploader::Run(const FtpServerList& list, const std::filesystem::path& programFolder,
                                 const std::vector<std::filesystem::path>& folders) {
    FtpUploadReport report;
    for (int k = 1; k <= kFtpServerCount && !cancelled_; ++k) {
        const FtpServerEntry& server = list.entries[std::size_t(k - 1)];
        if (!server.transfer) continue;
        std::vector<std::filesystem::path> sources = folders;
        if (sources.empty()) sources.push_back(FtpSourceFolder(list, server, programFolder));
        report.servers.push_back(UploadToServer(k, server, sources));
    }
    report.cancelled = cancelled_;
    return report;
}

}  // namespace movra
