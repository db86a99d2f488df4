#pragma once
// Uploading local folders to the FTP servers of the list (libcurl's FTP client, passive mode).
//
// For each server switched on, in list order: connect and log in, enter the remote folder, then
// put every file of the source folder under its own name (replacing a file of that name), text
// files (by extension) as ASCII and the rest as binary, and every sub-folder into a sub-folder of
// the same name, made when the server lacks it. The remote folder itself must exist: a mistyped
// folder is reported, never created.
//
// Nothing stops the loop but cancelling: a server that cannot be reached, refuses the login or
// the folder, or drops the connection in the middle of a file is reported and the next one
// follows. A failed file is reported and the next file follows (on a new connection when the old
// one was lost).
//
// The password is handed to libcurl and to nothing else: no status text, failure or progress
// report carries it, and the commands sent to the server are never reported.
//
// The upload blocks the calling thread; the windowed program runs it on a worker thread. The
// listener is called on that thread; Cancel may be called from any thread.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/ftp/server_list.h"

namespace movra {

struct FtpOptions {
    long connectSeconds = 20;    // connecting and logging in
    long responseSeconds = 30;   // waiting for any reply of the server
    long stallSeconds = 30;      // a transfer that moves nothing this long fails
};

struct FtpFailure {
    int entry = 0;              // 1 … 10
    std::string server;         // the entry's name
    std::string text;           // the status or message text ("… connect error.", "Server ChangeDir Error!  Dir=…")
    std::string reason;         // what went wrong, in words for the user
};

// The failure as one message: the server, the text and the reason on a line of its own.
std::string FtpFailureMessage(const FtpFailure& failure);

class FtpListener {
public:
    virtual ~FtpListener() = default;
    // The status bar: panel 0 the connection and the server's replies, panel 1 the file being
    // sent. An empty text clears the panel.
    virtual void Status(int panel, const std::string& text) = 0;
    virtual void Failure(const FtpFailure& failure) = 0;
    // Bytes of the current file sent so far.
    virtual void Progress(const std::string& file, std::uint64_t sent, std::uint64_t total) {
        (void)file;
        (void)sent;
        (void)total;
    }
};

struct FtpServerResult {
    int entry = 0;
    std::string name;
    bool connected = false;
    int filesSent = 0;
    int failures = 0;
    bool complete() const { return connected && failures == 0; }
};

struct FtpUploadReport {
    std::vector<FtpServerResult> servers;  // every server switched on that was started
    bool cancelled = false;
    bool allComplete() const;
};

// The Part's ASCII extensions: ".CGI", ".CSS", ".HTM", ".HTML", ".JAVA", ".JS", ".PL", ".SHTM",
// ".SHTML", ".TXT" (upper-cased, so "index.htm" is text too).
bool IsFtpTextFile(const std::filesystem::path& file);

// The host and port of an address ("example.jp", "example.jp:2121", "[::1]:21", "ftp://host");
// false for an address with anything else in it (user names, paths, blanks).
bool ParseFtpAddress(const std::string& address, std::string* hostPort);

class FtpUploader {
public:
    explicit FtpUploader(FtpListener& listener, FtpOptions options = {});

    // 転送開始: every server switched on, in list order. `folders` replaces each server's
    // configured source folder when not empty (the folders then go one after the other into
    // the remote folder).
    FtpUploadReport Run(const FtpServerList& list, const std::filesystem::path& programFolder,
                        const std::vector<std::filesystem::path>& folders = {});

    // One server: connect, put the folders into its remote folder, disconnect.
    FtpServerResult UploadToServer(int entry, const FtpServerEntry& server,
                                   const std::vector<std::filesystem::path>& folders);

    // Stops the upload at the next block of the current file; the servers after it are not
    // started. Callable from any thread.
    void Cancel() { cancelled_ = true; }
    bool cancelled() const { return cancelled_; }

private:
    FtpListener& listener_;
    FtpOptions options_;
    std::atomic<bool> cancelled_{false};
};

}  // namespace movra
