// movra-cli upload: the FTP upload of the windowed program, from the terminal.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "commands.h"
#include "terminal.h"
#include "core/config/program_folder.h"
#include "core/ftp/ftp_upload.h"
#include "core/ftp/server_list.h"

namespace movra::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUploadHelp =
    "usage: movra-cli upload [--settings FILE] [--sjis] [DIR...]\n"
    "  Sends the source folders to every FTP server switched on in the server list\n"
    "  (MULTIFTP.INI of the program folder: $MOVRA_HOME, else ~/.local/share/movra; or FILE).\n"
    "  Each server gets its own source folder, else the common one; DIR... given replace them\n"
    "  and go one after the other into each server's remote folder.\n"
    "  Exit status: 0 when every server got every file, 1 when any failed, 2 for bad arguments.\n";

// Status lines on standard error as the window's status bar would show them, one a line; the
// bytes of each file as a percentage that overwrites itself on a terminal.
class TerminalListener : public FtpListener {
public:
    explicit TerminalListener(Terminal terminal) : terminal_(terminal), tty_(isatty(fileno(stderr)) != 0) {}
    void Status(int panel, const std::string& text) override {
        EndProgressLine();
        if (text.empty()) return;
        std::fprintf(stderr, "%s%s\n", panel == 0 ? "" : "  ", terminal_(text).c_str());
    }
    void Failure(const FtpFailure& failure) override {
        EndProgressLine();
        std::fprintf(stderr, "error: %s\n", terminal_(OneLine(FtpFailureMessage(failure))).c_str());
    }
    void Progress(const std::string& file, std::uint64_t sent, std::uint64_t total) override {
        if (!tty_ || total == 0) return;
        std::fprintf(stderr, "\r  %s %3d%%", terminal_(file).c_str(), int(sent * 100 / total));
        progressShown_ = true;
    }

private:
    void EndProgressLine() {
        if (progressShown_) std::fputc('\n', stderr);
        progressShown_ = false;
    }
    Terminal terminal_;
    bool tty_;
    bool progressShown_ = false;
};

}  // namespace

int RunUpload(int argc, char** argv) {
    std::string settings;
    bool sjis = false;
    std::vector<fs::path> folders;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUploadHelp, stdout);
            return 0;
        } else if (a == "--settings" && i + 1 < argc) {
            settings = argv[++i];
        } else if (a == "--sjis") {
            sjis = true;
        } else if (!a.empty() && a[0] == '-') {
            std::fputs(kUploadHelp, stderr);
            return 2;
        } else {
            folders.emplace_back(a);
        }
    }
    fs::path file = settings;
    if (file.empty()) {
        file = ChooseProgramFolder("", std::getenv("MOVRA_HOME"), std::getenv("XDG_DATA_HOME"),
                                   std::getenv("HOME")) / kFtpSettingsFileName;
    }
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        std::fprintf(stderr, "movra-cli upload: no server list %s\n", file.string().c_str());
        return 1;
    }
    for (const fs::path& f : folders) {
        if (!fs::is_directory(f, ec)) {
            std::fprintf(stderr, "movra-cli upload: %s is not a folder\n", f.string().c_str());
            return 2;
        }
    }
    const FtpServerList list = LoadFtpServerList(file);
    Terminal terminal{sjis};
    TerminalListener listener(terminal);
    FtpUploader uploader(listener);
    const FtpUploadReport report = uploader.Run(list, file.parent_path(), folders);
    if (report.servers.empty()) {
        std::fprintf(stderr, "movra-cli upload: no server is switched on in %s\n", file.string().c_str());
        return 1;
    }
    for (const FtpServerResult& r : report.servers) {
        std::printf("%02d %s: %s, %d file%s sent, %d failure%s\n", r.entry, terminal(r.name).c_str(),
                    r.complete() ? "complete" : (r.connected ? "incomplete" : "not connected"), r.filesSent,
                    r.filesSent == 1 ? "" : "s", r.failures, r.failures == 1 ? "" : "s");
    }
    return report.allComplete() ? 0 : 1;
}

}  // namespace movra::cli
