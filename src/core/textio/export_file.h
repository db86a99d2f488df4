#pragma once
// Writing the exported texts to files: CP932 lines each ended by CR LF, replacing or appending;
// the file names the export commands propose; and the questions asked when a file exists.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/prompter.h"

namespace movra {

enum class WriteMode { Replace, Append };

// Writes every line followed by CR LF. Returns an empty text on success, else the reason (the
// file cannot be created, opened for appending or written).
std::string WriteTextLines(const std::filesystem::path& path, const std::vector<std::string>& lines,
                           WriteMode mode);
// The lines as one text, a CR LF between each two: what the clipboard receives.
std::string JoinLines(const std::vector<std::string>& lines);

// The first name prefix + number (zero-padded to `digits`) + extension, for numbers first … last,
// that no file or folder of the folder has (names compared without regard to ASCII case). The
// prefix and extension are CP932; the path has the file system's spelling. nullopt when every
// number is taken.
std::optional<std::filesystem::path> FirstFreeName(const std::filesystem::path& folder,
                                                   std::string_view prefix, int digits, int first,
                                                   int last, std::string_view extension);

// "KIF001.txt" … "KIF999.txt": the listing file.
std::optional<std::filesystem::path> ProposedListingPath(const std::filesystem::path& folder);
// "柿木0001.kif" … "柿木9999.kif": the Kakinoki file.
std::optional<std::filesystem::path> ProposedKakinokiPath(const std::filesystem::path& folder);
// "局面図01.txt" … "局面図99.txt": the position diagram.
std::optional<std::filesystem::path> ProposedPositionPath(const std::filesystem::path& folder);
// The game list's export of several games: "r" + the game's month and day in two digits each +
// 001 … 999 + extension (".kif"). nullopt when all 999 exist: nothing is ever overwritten.
std::optional<std::filesystem::path> BatchExportPath(const std::filesystem::path& folder, int month,
                                                     int day, std::string_view extension);

// file + " は、既に存在します。\r追加書きしますか？\r\r「いいえ」をクリックすると上書きします。"
std::string AppendOrReplaceQuestion(std::string_view fileText);
// file + " は、既に存在します。\r\r上書きしますか？"
std::string ReplaceQuestion(std::string_view fileText);

// How a chosen file is to be written: a new file is written; an existing one asks the question
// (with `appendOffered` the append/replace one, Yes appends and No replaces; otherwise the
// replace one, Yes replaces). nullopt when the user cancels.
std::optional<WriteMode> AskHowToWrite(const std::filesystem::path& path, bool appendOffered,
                                       Prompter& prompter);

}  // namespace movra
