#include "core/ftp/server_list.h"

#include <sys/stat.h>

#include <system_error>

#include "core/config/ini_file.h"
#include "core/text/paths.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"

namespace movra {

using namespace literals;

namespace {

constexpr const char* kOriginSection = "FTPOrg";

// Texts are written as they are, except one that the profile reader would change: it trims
// blanks and drops a pair of enclosing quotes, so " pw " or "'pw'" would come back as "pw".
// Such a text goes into double quotes, which the reader removes again.
std::string AsWritten(const std::string& text) {
    if (text.empty()) return text;
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool quoted = text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front();
    if (blank(text.front()) || blank(text.back()) || quoted) return "\"" + text + "\"";
    return text;
}

void WriteEntry(IniFile& ini, int entry, const FtpServerEntry& server) {
    const std::string section = FtpSectionName(entry);
    ini.WriteString(section, "Name", AsWritten(server.name));
    ini.WriteString(section, "Addr", AsWritten(server.address));
    ini.WriteString(section, "Dir", AsWritten(server.remoteFolder));
    ini.WriteString(section, "User", AsWritten(server.user));
    ini.WriteString(section, "Pass", AsWritten(server.password));
    ini.WriteBool(section, "Trans", server.transfer);
    ini.WriteBool(section, "Fdr2", server.ownFolder);
    ini.WriteString(section, "Dir2", "\"" + server.ownFolderPath + "\"");
}

// The file holds passwords in plain text: only its owner may read it. The temporary file it is
// written through is made that way too (the mask), so the passwords are never readable by others
// even for the moment between writing and replacing.
bool Update(const std::filesystem::path& file, const std::function<void(IniFile&)>& change) {
    const mode_t oldMask = ::umask(S_IRWXG | S_IRWXO);
    const bool written = UpdateProfileFile(file.string(), change);
    ::umask(oldMask);
    if (!written) return false;
    ::chmod(file.c_str(), S_IRUSR | S_IWUSR);
    return true;
}

}  // namespace

std::string FtpSectionName(int entry) { return "FTPDst" + ZeroPad(entry, 2); }

std::string FtpListItem(int entry, const FtpServerEntry& server) {
    return ZeroPad(entry, 2) + ":" + server.name;
}

FtpServerList LoadFtpServerList(const std::filesystem::path& file) {
    IniFile ini;
    ini.Load(file.string());
    FtpServerList list;
    list.commonFolder = ini.ReadString(kOriginSection, "Dir", "");
    for (int k = 1; k <= kFtpServerCount; ++k) {
        const std::string section = FtpSectionName(k);
        FtpServerEntry& e = list.entries[std::size_t(k - 1)];
        e.name = ini.ReadString(section, "Name", "");
        e.address = ini.ReadString(section, "Addr", "");
        e.remoteFolder = ini.ReadString(section, "Dir", "");
        e.user = ini.ReadString(section, "User", "");
        e.password = ini.ReadString(section, "Pass", "");
        e.transfer = ini.ReadBool(section, "Trans", false);
        e.ownFolder = ini.ReadBool(section, "Fdr2", false);
        e.ownFolderPath = ini.ReadString(section, "Dir2", "");
    }
    return list;
}

bool SaveFtpServerList(const std::filesystem::path& file, const FtpServerList& list) {
    return Update(file, [&](IniFile& ini) {
        ini.WriteString(kOriginSection, "Dir", AsWritten(list.commonFolder));
        for (int k = 1; k <= kFtpServerCount; ++k) WriteEntry(ini, k, list.entries[std::size_t(k - 1)]);
    });
}

bool SaveFtpServerEntry(const std::filesystem::path& file, int entry, const FtpServerEntry& server) {
    if (entry < 1 || entry > kFtpServerCount) return false;
    return Update(file, [&](IniFile& ini) { WriteEntry(ini, entry, server); });
}

bool RegisterFtpEntry(FtpServerList& list, int entry, FtpServerEntry typed, std::string* warning) {
    if (entry < 1 || entry > kFtpServerCount) return false;
    typed.name = Trim(typed.name);
    if (typed.name.empty()) {
        if (warning) *warning = "\rＦＴＰ名称を入力してください。"_sj;
        return false;
    }
    typed.address = Trim(typed.address);
    typed.ownFolderPath = Trim(typed.ownFolderPath);
    list.entries[std::size_t(entry - 1)] = std::move(typed);
    return true;
}

std::filesystem::path FtpSourceFolder(const FtpServerList& list, const FtpServerEntry& server,
                                      const std::filesystem::path& programFolder) {
    std::error_code ec;
    if (server.ownFolder && !Trim(server.ownFolderPath).empty()) {
        std::filesystem::path own = ResolvePath(programFolder, Trim(server.ownFolderPath));
        if (std::filesystem::is_directory(own, ec)) return own;
    }
    const std::string common = Trim(list.commonFolder);
    if (common.empty()) return {};
    return ResolvePath(programFolder, common);
}

}  // namespace movra
