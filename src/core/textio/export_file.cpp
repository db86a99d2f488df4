#include "core/textio/export_file.h"

#include <cstdio>
#include <set>

#include "core/text/paths.h"
#include "core/text/sjis_literal.h"
#include "core/text/text_helpers.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

std::string LowerAscii(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

// The names in a folder, ASCII letters in lower case: read once, so that trying a thousand
// names does not read the folder a thousand times.
std::set<std::string> NamesInFolder(const fs::path& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        names.insert(LowerAscii(it->path().filename().string()));
    }
    return names;
}

}  // namespace

std::string WriteTextLines(const fs::path& path, const std::vector<std::string>& lines,
                           WriteMode mode) {
    std::FILE* file = std::fopen(path.c_str(), mode == WriteMode::Append ? "ab" : "wb");
    if (file == nullptr) return "cannot open " + path.string() + " for writing";
    bool ok = true;
    for (const std::string& line : lines) {
        ok = ok && std::fwrite(line.data(), 1, line.size(), file) == line.size() &&
             std::fwrite("\r\n", 1, 2, file) == 2;
    }
    ok = std::fclose(file) == 0 && ok;
    return ok ? std::string() : "cannot write " + path.string();
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += lines[i];
    }
    return text;
}

std::optional<fs::path> FirstFreeName(const fs::path& folder, std::string_view prefix, int digits,
                                      int first, int last, std::string_view extension) {
    const std::set<std::string> taken = NamesInFolder(folder);
    for (int n = first; n <= last; ++n) {
        const fs::path name = NativePath(std::string(prefix) + ZeroPad(n, digits) + std::string(extension));
        if (taken.count(LowerAscii(name.string())) == 0) return folder / name;
    }
    return std::nullopt;
}

std::optional<fs::path> ProposedListingPath(const fs::path& folder) {
    return FirstFreeName(folder, "KIF", 3, 1, 999, ".txt");
}

std::optional<fs::path> ProposedKakinokiPath(const fs::path& folder) {
    return FirstFreeName(folder, "柿木"_sj, 4, 1, 9999, ".kif");
}

std::optional<fs::path> ProposedPositionPath(const fs::path& folder) {
    return FirstFreeName(folder, "局面図"_sj, 2, 1, 99, ".txt");
}

std::optional<fs::path> BatchExportPath(const fs::path& folder, int month, int day,
                                        std::string_view extension) {
    return FirstFreeName(folder, "r" + ZeroPad(month, 2) + ZeroPad(day, 2), 3, 1, 999, extension);
}

std::string AppendOrReplaceQuestion(std::string_view fileText) {
    return std::string(fileText) + " は、既に存在します。"_sj + "\r" + "追加書きしますか？"_sj +
           "\r\r" + "「いいえ」をクリックすると上書きします。"_sj;
}

std::string ReplaceQuestion(std::string_view fileText) {
    return std::string(fileText) + " は、既に存在します。"_sj + "\r\r" + "上書きしますか？"_sj;
}

std::optional<WriteMode> AskHowToWrite(const fs::path& path, bool appendOffered,
                                       Prompter& prompter) {
    std::error_code ec;
    if (!fs::exists(path, ec)) return WriteMode::Replace;
    const std::string file = StoredPath(path);
    if (appendOffered) {
        switch (prompter.Confirm(AppendOrReplaceQuestion(file), true, true)) {
            case Answer::Yes: return WriteMode::Append;
            case Answer::No: return WriteMode::Replace;
            case Answer::Cancel: return std::nullopt;
        }
        return std::nullopt;
    }
    return prompter.Confirm(ReplaceQuestion(file), false, true) == Answer::Yes
               ? std::optional<WriteMode>(WriteMode::Replace)
               : std::nullopt;
}

}  // namespace movra
