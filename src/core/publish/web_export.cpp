#include "core/publish/web_export.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <system_error>

#include "core/publish/mobile_pages.h"
#include "core/rules/position.h"
#include "core/text/cp932.h"
#include "core/text/paths.h"
#include "core/text/regular_file.h"
#include "core/text/sjis_literal.h"
#include "core/text/sjis_text.h"
#include "core/text/text_helpers.h"

namespace movra {
using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

constexpr std::uint16_t kUnknown = 59940;
constexpr std::string_view kFiveBlanks = "     ";
// A template is a page or a script of a few kilobytes.
constexpr std::size_t kMaxTemplateBytes = 4 << 20;

template <typename... Args>
std::string Format(const char* format, Args... args) {
    std::array<char, 64> buffer{};
    std::snprintf(buffer.data(), buffer.size(), format, args...);
    return buffer.data();
}

// Replaces the first occurrence of `word` where a character starts.
bool ReplaceFirst(std::string& text, std::string_view word, std::string_view with) {
    const std::size_t at = sjis::Find(text, word);
    if (at == sjis::npos) return false;
    text.replace(at, word.size(), with);
    return true;
}

// One replacement row of the English texts: the first occurrence only, and the text after the
// word is cut to 20 bytes.
bool ReplaceWord(std::string& text, std::string_view word, std::string_view with) {
    const std::size_t at = sjis::Find(text, word);
    if (at == sjis::npos) return false;
    const std::string after(sjis::Cut(text, at + word.size(), 20));
    text = text.substr(0, at) + std::string(with) + after;
    return true;
}

struct Row {
    std::string_view word;
    std::string_view with;
};

const std::vector<Row>& MoveRows() {
    static const std::vector<Row> rows = [] {
        std::vector<Row> r = {
            {"▲"_sj, "B:"}, {"△"_sj, "W:"}, {"玉"_sj, "Gyoku "}, {"王"_sj, "Gyoku "},
            {"飛"_sj, "Hi "}, {"龍"_sj, "Ryu "}, {"竜"_sj, "Ryu "}, {"角"_sj, "Kaku "},
            {"馬"_sj, "Uma "}, {"金"_sj, "Kin "}, {"成銀"_sj, "NariGin "}, {"銀"_sj, "Gin "},
            {"成桂"_sj, "NariKei "}, {"桂"_sj, "Kei "}, {"成香"_sj, "NariKyo "}, {"香"_sj, "Kyo "},
            {"歩"_sj, "Fu "}, {"と"_sj, "To "},
            {"不成"_sj, "Narazu "}, {"成"_sj, "Naru "}, {"打"_sj, "Utsu "}, {"寄"_sj, "Yoru "},
            {"上"_sj, "Agaru "}, {"引"_sj, "Hiku "}, {"直"_sj, "Sugu "}, {"右"_sj, "Migi "},
            {"左"_sj, "Hidari "}, {"同　"_sj, "Dou "}, {"同"_sj, "Dou "},
        };
        static constexpr std::string_view kDigits[] = {"１"_sj, "２"_sj, "３"_sj, "４"_sj, "５"_sj,
                                                       "６"_sj, "７"_sj, "８"_sj, "９"_sj};
        static constexpr std::string_view kNumerals[] = {"一"_sj, "二"_sj, "三"_sj, "四"_sj, "五"_sj,
                                                         "六"_sj, "七"_sj, "八"_sj, "九"_sj};
        static constexpr std::string_view kDigitWith[] = {"1-", "2-", "3-", "4-", "5-", "6-", "7-", "8-", "9-"};
        static constexpr std::string_view kNumeralWith[] = {"1 ", "2 ", "3 ", "4 ", "5 ", "6 ", "7 ", "8 ", "9 "};
        for (int i = 0; i < 9; ++i) r.push_back({kDigits[i], kDigitWith[i]});
        for (int i = 0; i < 9; ++i) r.push_back({kNumerals[i], kNumeralWith[i]});
        return r;
    }();
    return rows;
}

std::string MoveCodeText(const MoveRecord& move) { return move.moveCode().str(); }

std::string CommentOf(const PublishInputs& in, int moveNumber) {
    return in.moveComment ? in.moveComment(moveNumber) : std::string();
}

// The title of the Japanese script: the opening comment up to "%E"; the English one after it.
std::string OpeningTitle(const PublishInputs& in, bool english) {
    if (!in.extendedStore || in.openingComment.empty()) return {};
    const std::size_t at = sjis::Find(in.openingComment, "%E");
    if (english) return at == sjis::npos ? std::string() : in.openingComment.substr(at + 2);
    return in.openingComment.substr(0, at);
}

std::string MoveLineAt(const PublishInputs& in, int index) {
    return index >= 0 && std::size_t(index) < in.moveLines.size() ? in.moveLines[std::size_t(index)] : std::string();
}

// --- the HTML pages ---------------------------------------------------------------------------------

class HtmlPage {
public:
    HtmlPage(const PublishInputs& in, bool useTime) : in_(in), useTime_(useTime) {}

    std::vector<std::string> Fill(const std::vector<std::string>& templateLines) {
        std::vector<std::string> out;
        for (const std::string& line : templateLines) Line(line, out);
        return out;
    }

private:
    void Line(std::string line, std::vector<std::string>& out) {
        const bool closingShown = in_.wholeGame && !in_.shownLines.empty() && in_.endCode() != endcode::kInterrupted;
        if (sjis::Contains(line, "%KIF")) {
            Table(sjis::Contains(line, "%KIF2") ? 2 : 4, false, out);
        } else if (sjis::Contains(line, "%E_KIF")) {
            Table(4, true, out);
        } else if (sjis::Contains(line, "%TIME_S")) {
            ReplaceFirst(line, "%TIME_S", TimeText(0));
            out.push_back(line);
        } else if (sjis::Contains(line, "%TIME_G")) {
            ReplaceFirst(line, "%TIME_G", TimeText(1));
            out.push_back(line);
        } else if (sjis::Contains(line, "%E_TIME_S") || sjis::Contains(line, "%E_TIME_G")) {
            while (ReplaceFirst(line, "%E_TIME_S", EnglishTimeText(0))) {}
            while (ReplaceFirst(line, "%E_TIME_G", EnglishTimeText(1))) {}
            out.push_back(line);
        } else if (sjis::Contains(line, "%NOTIME")) {
            ReplaceFirst(line, "%NOTIME", unknown_ ? std::string("（消費時間が？の分は含まれていません）"_sj) : std::string());
            out.push_back(line);
        } else if (sjis::Contains(line, "%KEKKA")) {
            if (!closingShown) return;
            ReplaceFirst(line, "%KEKKA", ClosingLine());
            out.push_back(line);
        } else if (sjis::Contains(line, "%E_KEKKA")) {
            if (!closingShown) return;
            ReplaceFirst(line, "%E_KEKKA", EnglishEndText(ClosingLine()));
            out.push_back(line);
        } else if (sjis::Contains(line, "%UPDATE")) {
            ReplaceFirst(line, "%UPDATE", in_.clockText);
            out.push_back(line);
        } else {
            out.push_back(line);
        }
    }

    std::string ClosingLine() const {
        return ResultLine(in_.moveCount(), in_.record->handicap, in_.endCode());
    }

    // The time after a cell's words; sets the flags whether or not times are written.
    std::string TimePart(std::uint16_t t, int moveNumber) {
        if (!in_.extendedStore) return {};
        if (t >= kUnknown) {
            unknown_ = true;
            return useTime_ ? " ( ?)" : "";
        }
        if (t % 60 == 59) {
            question_[std::size_t((moveNumber + 1) % 2)] = true;
            return useTime_ ? Format(" (%2d?)", t / 60) : "";
        }
        return useTime_ ? Format(" (%2d)", t / 60) : "";
    }

    void Table(int columns, bool english, std::vector<std::string>& out) {
        const int n = in_.moveCount();
        for (int start = 0; start <= n; start += columns) {
            const bool first = start == 0;
            out.push_back("    <TR>");
            for (int i = start; i < start + columns; ++i) {
                if (i < n) {
                    const std::string width = !first ? "" : useTime_ ? R"( width="150" height="14")" : R"( width="140" height="14")";
                    const std::string line = MoveLineAt(in_, i);
                    const std::string words = english ? EnglishMoveText(MoveTextOf(line)) : MarkedTextOf(line);
                    out.push_back("      <TD" + width + ">" + words + TimePart(in_.timeOf(i + 1), i + 1) + "</TD>");
                    continue;
                }
                const std::string width = !first ? "" : useTime_ ? R"( width="180" height="14")" : R"( width="140" height="14")";
                if (i == n && n > 0 && in_.wholeGame && in_.endCode() != endcode::kInterrupted) {
                    const std::string word = WebEndWord(ResultNumber(in_.endCode()));
                    out.push_back("      <TD" + width + ">" + (english ? EnglishEndText(word) : word) +
                                  TimePart(in_.timeOf(n + 1), n + 1) + "</TD>");
                } else {
                    out.push_back("      <TD" + width + "></TD>");
                }
            }
            out.push_back("    </TR>");
        }
    }

    // Minutes used by one side (parity 0: the odd-numbered moves), unknown times left out.
    int UsedMinutes(int parity) const {
        const int n = in_.moveCount();
        int used = 0;
        for (int k = 1; k <= n; ++k) {
            if ((k + 1) % 2 != parity) continue;
            if (in_.timeOf(k) < kUnknown) used += in_.timeOf(k) / 60;
        }
        if (in_.endCode() != endcode::kInterrupted && (n + 2) % 2 == parity && in_.timeOf(n + 1) < kUnknown) {
            used += in_.timeOf(n + 1) / 60;
        }
        return used;
    }

    static std::string HoursMinutes(int minutes) {
        if (minutes >= 60) return Format("%2d ", minutes / 60) + "時間　"_sj + Format("%2d ", minutes % 60) + "分"_sj;
        return "　"_sj + Format("%2d ", minutes) + "分"_sj;
    }

    std::string TimeText(int parity) const {
        const int used = UsedMinutes(parity);
        const int allowed = parity == 0 ? in_.senteAllowedMinutes : in_.goteAllowedMinutes;
        std::string usedText = HoursMinutes(used);
        std::string remainingText = HoursMinutes(allowed - used);
        if (question_[std::size_t(parity)]) {
            usedText += " ?";
            remainingText += " ?";
        }
        return usedText + "　［"_sj + remainingText + "］"_sj;
    }

    std::string EnglishTimeText(int parity) const {
        const int used = UsedMinutes(parity);
        return used >= 60 ? Format("%2dh %2dm", used / 60, used % 60) : Format(" %2dm", used);
    }

    const PublishInputs& in_;
    bool useTime_;
    std::array<bool, 2> question_{};  // a time measured live among the odd / even moves
    bool unknown_ = false;
};

bool FailedReading(const fs::path& path, PublishResult& result) {
    result.failedPath = PathText(path);
    result.failedReading = true;
    return false;
}

bool WriteLinesOrFail(const fs::path& path, const std::vector<std::string>& lines, PublishResult& result) {
    if (!WriteWebFile(path, lines)) {
        result.failedPath = PathText(path);
        return false;
    }
    result.written.push_back(path);
    return true;
}

std::vector<std::string> ScriptTemplate(const Settings& settings, const fs::path& programFolder) {
    if (!settings.java.source.empty() && FileExistsNoCase(programFolder, settings.java.source)) {
        if (auto lines = ReadTemplateLines(ResolvePath(programFolder, settings.java.source))) return *lines;
    }
    return {"%KIF"};
}

bool WriteMobilePages(const PublishInputs& in, const Settings& settings, const fs::path& programFolder,
                      PublishPictures* pictures, PublishResult& result) {
    const Settings::Html& html = settings.html;
    std::vector<std::string> firstTemplate;
    if (!html.i_html[0].empty()) {
        const fs::path path = ResolvePath(programFolder, html.i_html[0]);
        auto lines = ReadTemplateLines(path);
        if (!lines) return FailedReading(path, result);
        firstTemplate = std::move(*lines);
    }
    if (pictures != nullptr && !html.i_BmpPath01.empty()) {
        const fs::path path = WebPath(programFolder, html.i_BmpPath01);
        if (!pictures->WriteMobilePicture(path, in.record->position)) {
            result.failedPath = PathText(path);
            return false;
        }
        result.written.push_back(path);
    }
    if (pictures != nullptr && !html.i_BmpPath02.empty()) {
        const fs::path path = WebPath(programFolder, html.i_BmpPath02);
        switch (pictures->WriteFullDiagram(path)) {
            case PublishPictures::Outcome::Written: result.written.push_back(path); break;
            case PublishPictures::Outcome::Skipped: break;
            case PublishPictures::Outcome::Failed: result.failedPath = PathText(path); return false;
        }
    }
    MobilePageValues values;
    values.record = in.record;
    values.position = &in.record->position;
    values.moveLines = in.moveLines;
    values.senteName = in.senteName;
    values.goteName = in.goteName;
    values.handText = in.handText;
    if (!html.i_Path[0].empty()) {
        const int m = in.record->currentMove;
        values.currentMove = MobileCurrentMoveText(m, MoveLineAt(in, m - 1));
        if (!WriteLinesOrFail(WebPath(programFolder, html.i_Path[0]), FillMobilePage(firstTemplate, values), result)) {
            return false;
        }
        values.currentMove.clear();
    }
    for (std::size_t page : {1u, 2u}) {
        if (html.i_html[page].empty() || html.i_Path[page].empty()) break;
        const fs::path path = ResolvePath(programFolder, html.i_html[page]);
        auto lines = ReadTemplateLines(path);
        if (!lines) return FailedReading(path, result);
        if (!WriteLinesOrFail(WebPath(programFolder, html.i_Path[page]), FillMobilePage(*lines, values), result)) {
            return false;
        }
    }
    return true;
}

}  // namespace

// --- texts -----------------------------------------------------------------------------------------

std::string MoveTextOf(std::string_view line) { return std::string(sjis::Cut(line, 7, 16)); }
std::string MarkedTextOf(std::string_view line) { return std::string(sjis::Cut(line, 5, 16)); }

std::string EnglishMoveText(std::string_view text) {
    std::string s(text);
    for (const Row& row : MoveRows()) ReplaceWord(s, row.word, row.with);
    return s;
}

std::string EnglishEndText(std::string_view text) {
    std::string s(text);
    const bool moves = ReplaceWord(s, "手まで"_sj, "moves, ");
    ReplaceWord(s, "先手"_sj, "Black ");
    ReplaceWord(s, "後手"_sj, "White ");
    ReplaceWord(s, "勝ち"_sj, "won. ");
    ReplaceWord(s, "投了"_sj, "resignation");
    return moves ? "at " + s : s;
}

std::string ScriptString(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = sjis::CharLength(text, i);
        if (len == 2) {
            out.append(text.substr(i, 2));
        } else {
            const char c = text[i];
            if (c == '\\' || c == '"') {
                out += '\\';
                out += c;
            } else if (c == '\r') {
                // CR LF and a lone CR are one line break.
                if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
                out += "\\n";
            } else if (c == '\n') {
                out += "\\n";
            } else if (c == '<') {
                // Keeps "</script>" in a comment from closing a page that embeds the data.
                out += "\\x3C";
            } else {
                out += c;
            }
        }
        i += len;
    }
    return out;
}

// --- the script and applet files --------------------------------------------------------------------

std::vector<std::string> ScriptDataLines(const PublishInputs& in) {
    const int n = in.moveCount();
    std::vector<std::string> out;
    out.push_back(" title=\"" + ScriptString(OpeningTitle(in, false)) + "\"");
    out.push_back(" sente=\"\";");
    out.push_back(" gote=\"\";");
    out.push_back(" teai=\"" + HandicapName(HandicapNumber(in.record->handicap)) + "\";");
    for (std::size_t i = 0; i < in.shownLines.size(); ++i) {
        const std::string index = std::to_string(i);
        if (int(i) < n) {
            out.push_back(" k[" + index + "]=\"" + MoveCodeText(in.record->moves[i + 1]) + "\"; kif[" + index +
                          "]=\"" + ScriptString(MoveTextOf(in.shownLines[i])) + "\"; com[" + index + "]=\"" +
                          ScriptString(CommentOf(in, int(i) + 1)) + "\";");
        } else {
            out.push_back(" k[" + index + "]=\"" + std::string(kFiveBlanks) + "\"; kif[" + index + "]=\"" +
                          ScriptString(in.shownLines[i]) + "\"; com[" + index + "]=\"" +
                          ScriptString(in.closingComment) + "\";");
        }
    }
    const std::string count = std::to_string(n);
    if (in.shownLines.size() == std::size_t(n)) {
        out.push_back(" k[" + count + "]=\"     \"; kif[" + count + "]=\"" + count + "手まで"_sj + "\"; com[" + count + "]=\"\";");
    }
    out.push_back(" KifTesu=" + count);
    out.push_back(" Cur=" + std::to_string(in.endCode() == endcode::kInterrupted ? n : n + 1));
    return out;
}

std::vector<std::string> EnglishScriptLines(const PublishInputs& in) {
    const int n = in.moveCount();
    std::vector<std::string> out;
    out.push_back(" title=\"" + ScriptString(OpeningTitle(in, true)) + "\";");
    out.push_back(" sente=\"\";");
    out.push_back(" gote=\"\";");
    for (std::size_t i = 0; i < in.shownLines.size(); ++i) {
        const std::string index = std::to_string(i);
        const std::string text = int(i) < n ? EnglishMoveText(MoveTextOf(in.shownLines[i])) : EnglishEndText(in.shownLines[i]);
        const std::string code = int(i) < n ? MoveCodeText(in.record->moves[i + 1]) : std::string(kFiveBlanks);
        out.push_back(" k[" + index + "]=\"" + code + "\"; kif[" + index + "]=\"" + ScriptString(text) + "\"; com[" +
                      index + "]=\"\";");
    }
    const std::string count = std::to_string(n);
    if (in.shownLines.size() == std::size_t(n)) {
        out.push_back(" k[" + count + "]=\"     \"; kif[" + count + "]=\"at " + count + (n < 2 ? " move" : " moves") +
                      "\"; com[" + count + "]=\"\";");
    }
    out.push_back(" KifTesu=" + count);
    out.push_back(" Cur=" + count);
    return out;
}

std::vector<std::string> FillScriptTemplate(const std::vector<std::string>& templateLines,
                                            const std::vector<std::string>& dataLines) {
    std::vector<std::string> out;
    for (const std::string& line : templateLines) {
        if (sjis::Contains(line, "%KIF")) {
            out.insert(out.end(), dataLines.begin(), dataLines.end());
        } else {
            out.push_back(line);
        }
    }
    return out;
}

std::vector<std::string> AppletDataLines(const PublishInputs& in, bool useTime) {
    const int n = in.moveCount();
    std::vector<std::string> out;
    out.push_back(ZeroPad(n, 3));
    out.push_back(ZeroPad(in.endCode() == endcode::kInterrupted ? n : n + 1, 3));
    // Unknown times (999 minutes or more) all read 999.
    auto minutes = [](std::uint16_t t) { return std::min(t / 60, 999); };
    for (std::size_t i = 0; i < in.shownLines.size(); ++i) {
        const std::uint16_t t = in.timeOf(int(i) + 1);
        const bool live = t % 60 == 59;
        const std::string mmm = ZeroPad(minutes(t), 3) + (live ? "?" : " ");
        if (int(i) < n) {
            const std::string code = MoveCodeText(in.record->moves[i + 1]);
            const std::string text = MoveTextOf(in.shownLines[i]);
            if (!useTime) {
                out.push_back(code + ";000 ;" + text);
                continue;
            }
            std::string suffix;
            if (t >= kUnknown) {
                suffix = " ?";
            } else if (t > 0) {
                suffix = Format("%3d", t / 60) + (live ? "?" : "");
            }
            out.push_back(code + ";" + mmm + ";" + text + suffix);
        } else {
            out.push_back(std::string(kFiveBlanks) + ";" + (useTime ? mmm : std::string("000 ")) + ";" + in.shownLines[i]);
        }
    }
    if (in.shownLines.size() == std::size_t(n)) {
        const std::string mmm = useTime ? ZeroPad(minutes(in.timeOf(n + 1)), 3) : std::string("000");
        out.push_back(std::string(kFiveBlanks) + ";" + mmm + " ;" + std::to_string(n) + "手まで"_sj);
    }
    return out;
}

std::vector<std::string> FillHtmlTemplate(const std::vector<std::string>& templateLines, const PublishInputs& in,
                                          bool useTime) {
    HtmlPage page(in, useTime);
    return page.Fill(templateLines);
}

// --- files ---------------------------------------------------------------------------------------

std::optional<std::vector<std::string>> ReadTemplateLines(const fs::path& path) {
    std::string bytes;
    if (ReadRegularFile(path, kMaxTemplateBytes, bytes) != FileReadStatus::Ok) return std::nullopt;
    const bool high = std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (high && IsValidUtf8(bytes)) {
        // A byte-order mark says nothing to the CP932 side.
        if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
        bytes = Utf8ToCp932(bytes);
    }
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            lines.push_back(std::move(line));
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

bool WriteWebFile(const fs::path& path, const std::vector<std::string>& lines) {
    fs::path temporary = path;
    temporary += ".$$$";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        for (const std::string& line : lines) {
            out.write(line.data(), std::streamsize(line.size()));
            out.write("\r\n", 2);
        }
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temporary, path, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    return true;
}

fs::path WebPath(const fs::path& programFolder, std::string_view setting) {
    fs::path path = NativePath(setting);
    return path.is_absolute() ? path : programFolder / path;
}

bool WriteScriptDataTo(const fs::path& path, const PublishInputs& in, const Settings& settings,
                       const fs::path& programFolder) {
    return WriteWebFile(path, FillScriptTemplate(ScriptTemplate(settings, programFolder), ScriptDataLines(in)));
}

bool WriteAppletDataTo(const fs::path& path, const PublishInputs& in, const Settings& settings) {
    return WriteWebFile(path, AppletDataLines(in, settings.ftp.UseTime));
}

PublishResult PublishGame(const PublishInputs& in, const Settings& settings, const fs::path& programFolder,
                          PublishPictures* pictures) {
    PublishResult result;
    if (in.record == nullptr || in.shownLines.empty() || !settings.ftp.Func) return result;
    const std::vector<std::string> scriptTemplate = ScriptTemplate(settings, programFolder);
    if (!settings.java.OutPath.empty() &&
        !WriteLinesOrFail(WebPath(programFolder, settings.java.OutPath),
                          FillScriptTemplate(scriptTemplate, ScriptDataLines(in)), result)) {
        return result;
    }
    if (!settings.java.OutPathAp.empty() &&
        !WriteLinesOrFail(WebPath(programFolder, settings.java.OutPathAp), AppletDataLines(in, settings.ftp.UseTime),
                          result)) {
        return result;
    }
    if (!settings.java.OutPathE.empty() &&
        !WriteLinesOrFail(WebPath(programFolder, settings.java.OutPathE),
                          FillScriptTemplate(scriptTemplate, EnglishScriptLines(in)), result)) {
        return result;
    }
    for (std::size_t page = 0; page < 3; ++page) {
        const std::string& source = settings.html.source[page];
        const std::string& output = settings.html.OutPath[page];
        if (source.empty() || output.empty() || !FileExistsNoCase(programFolder, source)) continue;
        const fs::path templatePath = ResolvePath(programFolder, source);
        const auto lines = ReadTemplateLines(templatePath);
        if (!lines) {
            FailedReading(templatePath, result);
            return result;
        }
        if (!WriteLinesOrFail(WebPath(programFolder, output), FillHtmlTemplate(*lines, in, settings.ftp.UseTime),
                              result)) {
            return result;
        }
    }
    if (!WriteMobilePages(in, settings, programFolder, pictures, result)) return result;
    result.published = true;
    return result;
}

std::string PublishedMessage() { return "\rWeb用棋譜を出力しました。"_sj; }
std::string NoMovesMessage() { return "\r棋譜が入力されていません。"_sj; }

}  // namespace movra
