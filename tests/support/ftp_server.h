#pragma once
// A real FTP server on 127.0.0.1 for a test: tests/support/ftp_test_server.py (pyftpdlib) started
// as a child process that listens on a free port. The server ends with the object, and also when
// the test process dies (it watches its standard input).
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern char** environ;

namespace movra::testing {

// The Debian interpreter, which has pyftpdlib (python3-pyftpdlib).
inline constexpr const char* kSystemPython = "/usr/bin/python3";

// Whether the server can run here; tests skip with a message when not.
inline bool FtpServerAvailable() {
    return std::system("/usr/bin/python3 -c 'import pyftpdlib' >/dev/null 2>&1") == 0;
}

// A port on 127.0.0.1 that nothing listens on (it was free a moment ago).
inline int UnusedPort() {
    int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(s);
    return ntohs(a.sin_port);
}

class FtpTestServer {
public:
    // Arguments of the script: --root DIR --user U --password P [--refuse NAME]
    // [--cut-file NAME --cut-after N] | --silent.
    explicit FtpTestServer(const std::vector<std::string>& args) {
        int in[2], out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        std::vector<std::string> all = {kSystemPython, MOVRA_FTP_SERVER_SCRIPT};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, kSystemPython, &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        stdin_ = in[1];
        // "PORT <n>" once it listens.
        std::string line;
        char c;
        while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
        ::close(out[0]);
        if (line.rfind("PORT ", 0) == 0) port_ = std::atoi(line.c_str() + 5);
    }
    ~FtpTestServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status;
            ::waitpid(pid_, &status, 0);
        }
        if (stdin_ >= 0) ::close(stdin_);
    }
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    bool running() const { return port_ > 0; }
    int port() const { return port_; }
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    pid_t pid_ = -1;
    int stdin_ = -1;
    int port_ = 0;
};

inline std::string ReadBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

// A published folder: CP932 pages with CR LF, a binary picture of `pictureBytes` random bytes
// (CR LF pairs among them), a CP932-named binary game file, a sub-folder, and a text file listed
// after the sub-folder. `cp932Text` is a line of Japanese text in CP932.
inline void MakeUploadFolder(const std::filesystem::path& dir, const std::string& cp932Text,
                             std::size_t pictureBytes = 200000) {
    WriteBytes(dir / "index.HTM", "<HTML>\r\n<P>" + cp932Text + "</P>\r\n</HTML>\r\n");
    std::string picture = "BM\r\n";
    std::mt19937 random(20261210);
    while (picture.size() < pictureBytes) picture += char(random() & 0xff);
    WriteBytes(dir / "board.bmp", picture);
    WriteBytes(dir / "\xe6\xa3\x8b\xe8\xad\x9c.kif", cp932Text + "\r\n1 7776\r\n");  // 棋譜.kif, its name in UTF-8 on disk
    WriteBytes(dir / "img" / "kif.js", " kif[0]=\"" + cp932Text + "\";\r\n KifTesu=1\r\n");
    WriteBytes(dir / "img" / "p.gif", std::string("GIF89a\0\r\n\x1a\xff", 12));
    WriteBytes(dir / "zz.txt", cp932Text + "\r\n");
}

// Whether `remote` holds exactly the files of `local`, byte for byte. Empty when they agree, else
// the first difference.
inline std::string CompareUploadedTree(const std::filesystem::path& local, const std::filesystem::path& remote) {
    namespace fs = std::filesystem;
    auto files = [](const fs::path& root) {
        std::vector<std::string> names;
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator(); ++it) {
            if (it->is_regular_file()) names.push_back(fs::relative(it->path(), root).string());
        }
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> localFiles = files(local), remoteFiles = files(remote);
    if (localFiles != remoteFiles) {
        std::string text = "different files in " + remote.string() + ":";
        for (const auto& f : remoteFiles) text += " " + f;
        return text;
    }
    for (const std::string& f : localFiles) {
        if (ReadBytes(remote / f) != ReadBytes(local / f)) return f + " differs on the server";
    }
    return {};
}

}  // namespace movra::testing
