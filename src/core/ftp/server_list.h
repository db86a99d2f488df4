#pragma once
// The FTP server list, kept in its own profile file "MULTIFTP.INI" in the program folder:
//
//   [FTPOrg]   Dir    the common source folder, uploaded to every server without a folder of its own
//   [FTPDst01] … [FTPDst10], one section a server:
//              Name Addr Dir User Pass   texts, written as they are (Pass is plain text), but
//                                        in double quotes when they begin or end with a blank
//                                        or are enclosed in quotes, so that they read back whole
//              Trans Fdr2                "1" or "0": takes part in transfers; has its own folder
//              Dir2                      its own source folder, written in double quotes
//
// Missing keys read as empty or false. The password goes into this file and nowhere else; the
// file is made readable by its owner only whenever it is written.
#include <array>
#include <filesystem>
#include <string>

namespace movra {

inline constexpr int kFtpServerCount = 10;
inline constexpr const char* kFtpSettingsFileName = "MULTIFTP.INI";

struct FtpServerEntry {
    std::string name;           // CP932
    std::string address;        // host name or address, optionally ":port"
    std::string remoteFolder;   // the remote folder the files are put into
    std::string user;
    std::string password;
    bool transfer = false;      // ＦＴＰ転送を行う
    bool ownFolder = false;     // has a source folder of its own
    std::string ownFolderPath;  // that folder, as stored (CP932, "\" or "/" separators)
};

struct FtpServerList {
    std::string commonFolder;  // as stored
    std::array<FtpServerEntry, kFtpServerCount> entries;
};

// "FTPDst01" … "FTPDst10" for entries 1 … 10.
std::string FtpSectionName(int entry);
// The list item of an entry: its number as two digits, ":" and its name ("03:" when unnamed).
std::string FtpListItem(int entry, const FtpServerEntry& server);

// The list read from the file; a missing or unreadable file gives an empty list.
FtpServerList LoadFtpServerList(const std::filesystem::path& file);
// Writes the common folder and all ten entries (closing the window); false when the file cannot
// be written. Every other line of the file is kept.
bool SaveFtpServerList(const std::filesystem::path& file, const FtpServerList& list);
// Writes the section of one entry (登　録); false when the file cannot be written.
bool SaveFtpServerEntry(const std::filesystem::path& file, int entry, const FtpServerEntry& server);

// 登　録: the fields as typed become entry `entry` (1-based): the name, the own folder trimmed of
// blanks. False, with `warning` set to the message to show, when the trimmed name is empty; the
// list is then unchanged.
bool RegisterFtpEntry(FtpServerList& list, int entry, FtpServerEntry typed, std::string* warning);

// The local folder that goes to a server: its own folder when it has one and that folder exists,
// otherwise the common folder. Relative stored paths are read from the program folder.
std::filesystem::path FtpSourceFolder(const FtpServerList& list, const FtpServerEntry& server,
                                      const std::filesystem::path& programFolder);

}  // namespace movra
