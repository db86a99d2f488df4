#include "core/textio/usi_reader.h"

#include <string>
#include <vector>

#include "core/rules/position.h"
#include "core/rules/sfen.h"

namespace movra {

namespace {

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
        const std::size_t from = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t') ++at;
        if (at > from) words.push_back(line.substr(from, at - from));
    }
    return words;
}

std::string_view FirstLine(const TextLines& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
        if (!line.empty()) return line;
    }
    return {};
}

}  // namespace

bool LooksLikeUsi(const TextLines& lines) {
    const std::vector<std::string_view> words = Words(FirstLine(lines));
    if (words.empty()) return false;
    std::size_t at = words[0] == "position" ? 1 : 0;
    return at < words.size() && (words[at] == "startpos" || words[at] == "sfen");
}

ReadStatus ReadUsi(const TextLines& lines, std::string_view now, ReadGame& game) {
    game.Clear(now);
    const std::vector<std::string_view> words = Words(FirstLine(lines));
    std::size_t at = !words.empty() && words[0] == "position" ? 1 : 0;
    if (at >= words.size()) return ReadStatus::Refuse("no USI position line");
    if (words[at] == "startpos") {
        ++at;
    } else if (words[at] == "sfen") {
        std::string sfen;
        for (++at; at < words.size() && words[at] != "moves"; ++at) sfen += std::string(words[at]) + " ";
        std::string error;
        const std::optional<SfenPosition> start = ParseSfen(sfen, &error);
        if (!start) return ReadStatus::Refuse("the position cannot be read: " + error);
        bool found = false;
        for (int number = 0; number < kHandicapCount && !found; ++number) {
            BoardPosition setup;
            SetUpStandard(setup, HandicapChar(number));
            if (setup.board == start->position.board && setup.senteHand == start->position.senteHand &&
                setup.goteHand == start->position.goteHand && start->sideToMove == (number == 0 ? 1 : 2)) {
                game.fields.handicap = HandicapChar(number);
                found = true;
            }
        }
        if (!found) return ReadStatus::Refuse(std::string(kNonStandardStart));
    } else {
        return ReadStatus::Refuse("no USI position line");
    }
    std::string codes;
    if (at < words.size()) {
        if (words[at] != "moves") return ReadStatus::Refuse("\"moves\" expected after the position");
        for (++at; at < words.size(); ++at) {
            const std::optional<MoveCode> code = UsiToMoveCode(words[at]);
            if (!code) return ReadStatus::Refuse("move \"" + std::string(words[at]) + "\" cannot be read");
            codes += code->str();
        }
    }
    CodedGameText& coded = game.coded;
    coded.lines.push_back("##");
    coded.lines.push_back("#:Title");
    WriteCodedHeader(game.fields, coded);
    WriteCodeLines(codes, coded);
    coded.lines.push_back("##");
    return ReadStatus::Ok();
}

}  // namespace movra
