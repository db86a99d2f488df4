#include "core/textio/coded_file_reader.h"

#include "core/text/text_helpers.h"
#include "core/rules/position.h"
#include "core/text/sjis_text.h"

namespace movra {

namespace {

// A name: 30 bytes from the third byte, trimmed, then cut before the first "/", else the first
// "(", else the first blank, each only when it stands at the name's third byte or later.
std::string CodedName(std::string_view line) {
    std::string name = Trim(sjis::Cut(line, 2, 30));
    for (std::string_view stop : {std::string_view("/"), std::string_view("("),
                                  std::string_view(" ")}) {
        const std::size_t at = sjis::Find(name, stop);
        if (at != sjis::npos && at >= 2) {
            name.resize(at);
            break;
        }
    }
    return name;
}

std::string CodedDate(std::string_view line, std::string_view now) {
    std::string date = Trim(sjis::Cut(line, 2, 20));
    if (date.size() < 4) return std::string(now);
    if (date[2] == '-' || date[2] == '.' || date[2] == '/') {
        date.insert(0, date.compare(0, 2, "30") > 0 ? "19" : "20");
    }
    return date;
}

}  // namespace

int ReadCodedFile(const TextLines& lines, std::string_view now,
                  const std::function<bool(ReadGame& game)>& take) {
    ReadGame game;
    game.Clear(now);
    int found = 0;
    std::size_t i = 0;
    const std::size_t n = lines.size();
    while (i < n) {
        while (i < n && !sjis::StartsWith(lines[i], "#:")) ++i;
        if (i >= n) break;
        const std::string startDate = game.fields.startDate;
        const std::string endDate = game.fields.endDate;
        game.Clear(now);
        game.fields.startDate = startDate;
        game.fields.endDate = endDate;
        const std::size_t first = i;
        for (++i; i < n && !sjis::StartsWith(lines[i], "#:") && !sjis::StartsWith(lines[i], "##");
             ++i) {
        }
        for (std::size_t k = first; k < i; ++k) {
            const std::string_view line = lines[k];
            game.coded.lines.emplace_back(line);
            if (sjis::StartsWith(line, "S:")) {
                game.fields.senteName = CodedName(line);
            } else if (sjis::StartsWith(line, "G:")) {
                game.fields.goteName = CodedName(line);
            } else if (sjis::StartsWith(line, "#:")) {
                game.fields.title = Trim(sjis::Cut(line, 2, 30));
            } else if (sjis::StartsWith(line, "I:")) {
                if (line.size() > 2) game.fields.handicap = HandicapChar(HandicapNumberOfChar(line[2]));
            } else if (sjis::StartsWith(line, "C:")) {
                if (line.size() > 2) game.fields.endCharacter = line[2];
            } else if (sjis::StartsWith(line, "N:")) {
                game.fields.startDate = CodedDate(line, now);
            } else if (sjis::StartsWith(line, "U:")) {
                game.fields.endDate = CodedDate(line, now);
            }
        }
        ++found;
        if (!take(game)) break;
    }
    return found;
}

}  // namespace movra
