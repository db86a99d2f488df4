// The FTP server list in MULTIFTP.INI, and uploads to real FTP servers on the loopback interface
// (tests/support/ftp_test_server.py): good servers, a wrong password, an unreachable port, a
// refused folder, a server that drops the connection in the middle of a file and one that never
// answers, all in one transfer.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/ftp/ftp_upload.h"
#include "core/ftp/live_publish.h"
#include "core/ftp/server_list.h"
#include "core/text/cp932.h"
#include "core/text/sjis_literal.h"
#include "support/ftp_server.h"
#include "support/temp_folder.h"

namespace movra {
namespace {

using namespace movra::literals;
using testing::CompareUploadedTree;
using testing::FtpTestServer;
using testing::ReadBytes;
using testing::TempFolder;
namespace fs = std::filesystem;

// Everything the uploader reported, in order.
struct RecordingListener : FtpListener {
    std::vector<std::string> status0, status1, everything;
    std::vector<FtpFailure> failures;
    int progressCalls = 0;
    std::function<void()> onProgress;
    void Status(int panel, const std::string& text) override {
        (panel == 0 ? status0 : status1).push_back(text);
        everything.push_back(text);
    }
    void Failure(const FtpFailure& f) override {
        failures.push_back(f);
        everything.push_back(FtpFailureMessage(f));
    }
    void Progress(const std::string& file, std::uint64_t, std::uint64_t) override {
        ++progressCalls;
        everything.push_back(file);
        if (onProgress) onProgress();
    }
    const FtpFailure* FailureOf(int entry) const {
        for (const auto& f : failures) {
            if (f.entry == entry) return &f;
        }
        return nullptr;
    }
};

bool Contains(const std::vector<std::string>& texts, const std::string& wanted) {
    for (const auto& t : texts) {
        if (t == wanted) return true;
    }
    return false;
}

TEST(FtpServerList, RoundTripThroughTheProfileFileAndRegistering) {
    TempFolder dir;
    const fs::path file = dir / "MULTIFTP.INI";
    FtpServerList list;
    list.commonFolder = "C:\\Web\\kifu";
    FtpServerEntry& e = list.entries[1];
    e.name = "自宅サーバ"_sj;
    e.address = "ftp.example.jp";
    e.remoteFolder = "/public_html/棋譜"_sj;
    e.user = "taro";
    e.password = "pa ss;word";
    e.transfer = true;
    e.ownFolder = true;
    e.ownFolderPath = "D:\\自分"_sj;
    ASSERT_TRUE(SaveFtpServerList(file, list));

    const std::string text = ReadBytes(file);
    EXPECT_NE(text.find("[FTPOrg]\r\nDir=C:\\Web\\kifu\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[FTPDst02]\r\nName="_sj + e.name + "\r\nAddr=ftp.example.jp\r\nDir=/public_html/棋譜\r\n"_sj
                        "User=taro\r\nPass=pa ss;word\r\nTrans=1\r\nFdr2=1\r\nDir2=\"D:\\自分\"\r\n"_sj),
              std::string::npos);
    EXPECT_NE(text.find("[FTPDst10]"), std::string::npos);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "the file holds passwords";

    FtpServerList back = LoadFtpServerList(file);
    EXPECT_EQ(back.commonFolder, list.commonFolder);
    EXPECT_EQ(back.entries[1].name, e.name);
    EXPECT_EQ(back.entries[1].password, e.password);
    EXPECT_EQ(back.entries[1].ownFolderPath, e.ownFolderPath);  // quotes removed on reading
    EXPECT_TRUE(back.entries[1].transfer && back.entries[1].ownFolder);
    EXPECT_FALSE(back.entries[0].transfer);
    // Texts the profile reader would trim or unquote are quoted, and read back whole.
    back.entries[1].password = " pw ";
    back.entries[1].user = "'taro'";
    back.entries[1].remoteFolder = "\"x\"";
    back.commonFolder = "web\t";
    ASSERT_TRUE(SaveFtpServerList(file, back));
    EXPECT_NE(ReadBytes(file).find("Pass=\" pw \"\r\nTrans=1"), std::string::npos) << ReadBytes(file);
    const FtpServerList quoted = LoadFtpServerList(file);
    EXPECT_EQ(quoted.entries[1].password, " pw ");
    EXPECT_EQ(quoted.entries[1].user, "'taro'");
    EXPECT_EQ(quoted.entries[1].remoteFolder, "\"x\"");
    EXPECT_EQ(quoted.commonFolder, "web\t");
    back.entries[1].password = e.password;
    back.entries[1].user = e.user;
    back.entries[1].remoteFolder = e.remoteFolder;
    back.commonFolder = list.commonFolder;
    EXPECT_EQ(FtpListItem(2, back.entries[1]), "02:"_sj + e.name);
    EXPECT_EQ(FtpListItem(7, back.entries[6]), "07:");

    // 登　録 refuses a blank name and changes nothing; otherwise it trims and writes one section.
    std::string warning;
    FtpServerEntry typed;
    typed.name = "   ";
    EXPECT_FALSE(RegisterFtpEntry(back, 7, typed, &warning));
    EXPECT_EQ(warning, "\rＦＴＰ名称を入力してください。"_sj);
    EXPECT_TRUE(back.entries[6].name.empty());
    typed.name = "  予備  "_sj;
    typed.ownFolderPath = " sub ";
    typed.password = " x ";
    ASSERT_TRUE(RegisterFtpEntry(back, 7, typed, &warning));
    EXPECT_EQ(back.entries[6].name, "予備"_sj);
    EXPECT_EQ(back.entries[6].ownFolderPath, "sub");
    EXPECT_EQ(back.entries[6].password, " x ");  // a password is never trimmed
    ASSERT_TRUE(SaveFtpServerEntry(file, 7, back.entries[6]));
    EXPECT_EQ(LoadFtpServerList(file).entries[6].name, "予備"_sj);
    EXPECT_EQ(LoadFtpServerList(file).entries[1].name, e.name);

    // An own folder that does not exist gives way to the common one, read from the program folder.
    fs::create_directories(dir / "web");
    fs::create_directories(dir / "own");
    back.commonFolder = "web";
    back.entries[6].ownFolder = true;
    EXPECT_EQ(FtpSourceFolder(back, back.entries[6], dir.path()), dir / "web");
    back.entries[6].ownFolderPath = "OWN";  // names are found without regard to case
    EXPECT_EQ(FtpSourceFolder(back, back.entries[6], dir.path()), dir / "own");
    back.entries[6].ownFolder = false;
    EXPECT_EQ(FtpSourceFolder(back, back.entries[6], dir.path()), dir / "web");
}

TEST(FtpLivePublish, TheQuestionReadsFromTheSideMark) {
    EXPECT_EQ(LivePublishQuestion(std::nullopt), "開始盤面です。\r\r送信しますか？"_sj);
    // A move line: bytes 1-3 the number, 4 the comment mark, 5 a blank, then the side mark.
    EXPECT_EQ(LivePublishQuestion("  1  ▲７六歩"_sj), "▲７六歩 です。\r\r送信しますか？"_sj);
    EXPECT_EQ(LivePublishQuestion(" 12* △同　歩"_sj), "△同　歩 です。\r\r送信しますか？"_sj);
    // The closing line has no blank there and is asked about whole.
    EXPECT_EQ(LivePublishQuestion("95手まで先手勝ち"_sj), "95手まで先手勝ち です。\r\r送信しますか？"_sj);
    EXPECT_EQ(LivePublishQuestion(""), " です。\r\r送信しますか？"_sj);
}

TEST(FtpUpload, TextExtensionsAndAddresses) {
    for (const char* name : {"a.cgi", "b.CSS", "index.htm", "x.Html", "A.java", "kif.js", "p.pl", "s.shtm",
                             "s.shtml", "r.TXT"}) {
        EXPECT_TRUE(IsFtpTextFile(name)) << name;
    }
    for (const char* name : {"board.bmp", "a.gif", "game.kif", "noext", "x.htm.bak", "js"}) {
        EXPECT_FALSE(IsFtpTextFile(name)) << name;
    }
    std::string hp;
    EXPECT_TRUE(ParseFtpAddress(" ftp.example.jp ", &hp));
    EXPECT_EQ(hp, "ftp.example.jp");
    EXPECT_TRUE(ParseFtpAddress("ftp://127.0.0.1:2121/", &hp));
    EXPECT_EQ(hp, "127.0.0.1:2121");
    EXPECT_TRUE(ParseFtpAddress("::1", &hp));
    EXPECT_EQ(hp, "[::1]");
    for (const char* bad : {"", "user:pw@host", "host/dir", "a host", "host;rm"}) {
        EXPECT_FALSE(ParseFtpAddress(bad, &hp)) << bad;
    }
}

// One transfer over seven servers switched on (and one switched off): every failure is reported
// with a clear reason, and the good servers get every file.
TEST(FtpUpload, EveryServerIsServedWhateverTheOthersDo) {
    if (!testing::FtpServerAvailable()) GTEST_SKIP() << "python3-pyftpdlib is not installed";
    TempFolder dir;
    const std::string cp932 = "棋譜の頁　７六歩（先手）"_sj;
    testing::MakeUploadFolder(dir / "web", cp932);
    for (const char* root : {"a", "b", "c", "d", "e", "f"}) fs::create_directories(dir / "roots" / root / "pub");
    fs::create_directories(dir / "roots" / "f" / "www" / "site");
    auto start = [&](const char* root, const char* password, std::vector<std::string> more = {}) {
        std::vector<std::string> args = {"--root", (dir / "roots" / root).string(), "--user", "kishi",
                                         "--password", password};
        args.insert(args.end(), more.begin(), more.end());
        return std::make_unique<FtpTestServer>(args);
    };
    auto good = start("a", "Alpha-Secret-1", {"--log", (dir / "types.log").string()});
    auto login = start("b", "Bravo-Secret-2");
    auto refusing = start("c", "Charlie-Secret-3", {"--refuse", "pub"});
    auto cutting = start("d", "Delta-Secret-4", {"--cut-file", "board.bmp", "--cut-after", "65536"});
    auto off = start("e", "Echo-Secret-5");
    auto absolute = start("f", "Foxtrot-Secret-6");
    FtpTestServer silent({"--silent"});
    for (auto* s : {good.get(), login.get(), refusing.get(), cutting.get(), off.get(), absolute.get(), &silent}) {
        ASSERT_TRUE(s->running());
    }

    FtpServerList list;
    list.commonFolder = "web";  // from the program folder
    auto entry = [&](int k, const std::string& name, const std::string& address, const std::string& folder,
                     const std::string& password) {
        FtpServerEntry& e = list.entries[std::size_t(k - 1)];
        e = FtpServerEntry{name, address, folder, "kishi", password, true, false, ""};
        return &e;
    };
    entry(1, "Alpha", good->address(), "pub", "Alpha-Secret-1");
    entry(2, "Bravo", login->address(), "pub", "wrong-Bravo-pass");
    entry(3, "Closed", "127.0.0.1:" + std::to_string(testing::UnusedPort()), "pub", "Closed-Secret-7");
    entry(4, "Charlie", refusing->address(), "pub", "Charlie-Secret-3");
    entry(5, "Delta", cutting->address(), "pub", "Delta-Secret-4");
    entry(6, "Echo", off->address(), "pub", "Echo-Secret-5")->transfer = false;
    FtpServerEntry* f = entry(7, "Foxtrot", absolute->address(), "/www/site", "Foxtrot-Secret-6");
    f->ownFolder = true;
    f->ownFolderPath = "no such folder";  // gives way to the common folder
    entry(8, "Silent", silent.address(), "pub", "Silent-Secret-8");

    RecordingListener heard;
    FtpOptions quick;
    quick.connectSeconds = 3;
    quick.responseSeconds = 2;
    FtpUploader uploader(heard, quick);
    const FtpUploadReport report = uploader.Run(list, dir.path());

    ASSERT_EQ(report.servers.size(), 7u);
    EXPECT_FALSE(report.allComplete());
    EXPECT_FALSE(report.cancelled);
    const fs::path web = dir / "web";
    EXPECT_EQ(CompareUploadedTree(web, dir / "roots" / "a" / "pub"), "");
    EXPECT_EQ(CompareUploadedTree(web, dir / "roots" / "f" / "www" / "site"), "");
    EXPECT_TRUE(report.servers[0].complete());
    EXPECT_EQ(report.servers[0].filesSent, 6);
    EXPECT_TRUE(report.servers[5].complete());
    EXPECT_EQ(report.servers[5].entry, 7);
    // Pages and scripts went as ASCII, the rest as binary, in name order, the sub-folder's files
    // between the files before and after it.
    EXPECT_EQ(ReadBytes(dir / "types.log"),
              "I board.bmp\nA kif.js\nI p.gif\nA index.HTM\nA zz.txt\nI \xe6\xa3\x8b\xe8\xad\x9c.kif\n");

    // Entry 1's status: connecting, connected, the server's replies, each file, cleared at the end.
    EXPECT_EQ(heard.status0.front(), "Alpha connecting...");
    EXPECT_TRUE(Contains(heard.status0, "Alpha connected."));
    EXPECT_TRUE(Contains(heard.status1, "\"index.HTM\" transmitting."));
    EXPECT_TRUE(Contains(heard.status1, "\"棋譜.kif\" transmitting."_sj));
    EXPECT_TRUE(std::any_of(heard.status0.begin(), heard.status0.end(),
                            [](const std::string& s) { return s.rfind("230 ", 0) == 0; }))
        << "the server's replies are shown";
    EXPECT_GT(heard.progressCalls, 0);

    // The wrong password, the closed port and the silent server: connect errors with their reasons.
    ASSERT_NE(heard.FailureOf(2), nullptr);
    EXPECT_EQ(heard.FailureOf(2)->text, " connect error.");
    EXPECT_NE(heard.FailureOf(2)->reason.find("パスワード"_sj), std::string::npos);
    EXPECT_TRUE(Contains(heard.status0, "Bravo connect error."));
    EXPECT_FALSE(fs::exists(dir / "roots" / "b" / "pub" / "index.HTM"));
    ASSERT_NE(heard.FailureOf(3), nullptr);
    EXPECT_EQ(heard.FailureOf(3)->text, " connect error.");
    EXPECT_NE(heard.FailureOf(3)->reason.find("接続できません"_sj), std::string::npos);
    ASSERT_NE(heard.FailureOf(8), nullptr);
    EXPECT_NE(heard.FailureOf(8)->reason.find("時間切れ"_sj), std::string::npos);
    EXPECT_FALSE(report.servers[6].connected);

    // The refused folder: the Part's message, nothing stored.
    ASSERT_NE(heard.FailureOf(4), nullptr);
    EXPECT_EQ(heard.FailureOf(4)->text, "Server ChangeDir Error!  Dir=pub");
    EXPECT_TRUE(report.servers[3].connected);
    EXPECT_TRUE(fs::is_empty(dir / "roots" / "c" / "pub"));

    // The dropped connection: that file fails, the files after it still arrive.
    ASSERT_NE(heard.FailureOf(5), nullptr);
    EXPECT_EQ(heard.FailureOf(5)->text, " FTP PUT Error! (board.bmp)");
    EXPECT_NE(heard.FailureOf(5)->reason.find("接続が切れました"_sj), std::string::npos);
    EXPECT_EQ(report.servers[4].failures, 1);
    EXPECT_EQ(report.servers[4].filesSent, 5);
    EXPECT_EQ(ReadBytes(dir / "roots" / "d" / "pub" / "img" / "p.gif"), ReadBytes(web / "img" / "p.gif"));
    EXPECT_EQ(ReadBytes(dir / "roots" / "d" / "pub" / "zz.txt"), cp932 + "\r\n");

    // The server switched off was never contacted.
    EXPECT_TRUE(fs::is_empty(dir / "roots" / "e" / "pub"));
    EXPECT_EQ(heard.FailureOf(6), nullptr);
    EXPECT_EQ(heard.failures.size(), 5u);

    // No password anywhere in what was reported.
    for (const std::string& text : heard.everything) {
        for (const char* secret : {"Secret", "wrong-Bravo-pass"}) {
            EXPECT_EQ(text.find(secret), std::string::npos) << text;
        }
    }
}

TEST(FtpUpload, ReplacesFilesAndStopsWhenCancelled) {
    if (!testing::FtpServerAvailable()) GTEST_SKIP() << "python3-pyftpdlib is not installed";
    TempFolder dir;
    testing::MakeUploadFolder(dir / "web", "先手"_sj, 2000000);
    fs::create_directories(dir / "root" / "pub");
    testing::WriteBytes(dir / "root" / "pub" / "zz.txt", std::string(5000, 'x'));  // longer than ours
    FtpTestServer server({"--root", (dir / "root").string(), "--user", "u", "--password", "pw-123"});
    ASSERT_TRUE(server.running());
    FtpServerList list;
    list.entries[0] = FtpServerEntry{"One", server.address(), "pub", "u", "pw-123", true, false, ""};
    list.entries[1] = FtpServerEntry{"Two", server.address(), "pub", "u", "pw-123", true, false, ""};

    // A stop during the first big file: nothing more is sent and the second server is not started.
    RecordingListener stopped;
    FtpUploader first(stopped);
    stopped.onProgress = [&] { first.Cancel(); };
    const FtpUploadReport cancelled = first.Run(list, dir.path(), {dir / "web"});
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_FALSE(cancelled.allComplete());
    ASSERT_EQ(cancelled.servers.size(), 1u);
    EXPECT_FALSE(Contains(stopped.status0, "Two connecting..."));
    EXPECT_TRUE(stopped.failures.empty()) << "a stop is not a failure of the server";
    EXPECT_EQ(ReadBytes(dir / "root" / "pub" / "zz.txt"), std::string(5000, 'x'));

    // The whole folder, twice over (both entries): the old longer file is replaced, not appended to.
    RecordingListener heard;
    FtpUploader again(heard);
    const FtpUploadReport report = again.Run(list, dir.path(), {dir / "web"});
    EXPECT_TRUE(report.allComplete());
    EXPECT_EQ(CompareUploadedTree(dir / "web", dir / "root" / "pub"), "");
}

}  // namespace
}  // namespace movra
