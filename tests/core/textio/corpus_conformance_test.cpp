// Imports every KIF, KI2, KIFU, KI2U and CSA file of the corpus named by MOVRA_CORPUS into a fresh
// store and compares the stored main line with the moves another program read from the same
// file (EXPECTED_RESULTS.tsv names a JSON game for some of them).
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/record/kif_data.h"
#include "core/text/prompter.h"
#include "core/store/game_io.h"
#include "core/store/store_files.h"
#include "core/textio/import_text.h"

namespace movra {
namespace {

namespace fs = std::filesystem;

// Just enough JSON for the moves of a JKF game.
struct Json {
    enum Type { Null, Bool, Number, String, Array, Object } type = Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> members;

    const Json* Find(const std::string& key) const {
        for (const auto& m : members) {
            if (m.first == key) return &m.second;
        }
        return nullptr;
    }
};

class JsonParser {
public:
    explicit JsonParser(std::string_view s) : s_(s) {}
    bool Parse(Json& out) {
        Skip();
        if (!Value(out)) return false;
        Skip();
        return at_ == s_.size();
    }

private:
    void Skip() {
        while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\n' || s_[at_] == '\r' || s_[at_] == '\t')) ++at_;
    }
    bool Literal(std::string_view word) {
        if (s_.substr(at_, word.size()) != word) return false;
        at_ += word.size();
        return true;
    }
    bool Str(std::string& out) {
        if (at_ >= s_.size() || s_[at_] != '"') return false;
        ++at_;
        while (at_ < s_.size() && s_[at_] != '"') {
            if (s_[at_] == '\\') {
                ++at_;
                if (at_ >= s_.size()) return false;
                if (s_[at_] == 'u') at_ += 4;  // the texts are not compared
                else out += s_[at_];
                ++at_;
            } else {
                out += s_[at_++];
            }
        }
        if (at_ >= s_.size()) return false;
        ++at_;
        return true;
    }
    bool Value(Json& out) {
        Skip();
        if (at_ >= s_.size()) return false;
        const char c = s_[at_];
        if (c == '{') {
            out.type = Json::Object;
            ++at_;
            Skip();
            if (at_ < s_.size() && s_[at_] == '}') return ++at_, true;
            for (;;) {
                Skip();
                std::string key;
                if (!Str(key)) return false;
                Skip();
                if (at_ >= s_.size() || s_[at_++] != ':') return false;
                Json v;
                if (!Value(v)) return false;
                out.members.emplace_back(std::move(key), std::move(v));
                Skip();
                if (at_ < s_.size() && s_[at_] == ',') { ++at_; continue; }
                if (at_ < s_.size() && s_[at_] == '}') { ++at_; return true; }
                return false;
            }
        }
        if (c == '[') {
            out.type = Json::Array;
            ++at_;
            Skip();
            if (at_ < s_.size() && s_[at_] == ']') return ++at_, true;
            for (;;) {
                Json v;
                if (!Value(v)) return false;
                out.items.push_back(std::move(v));
                Skip();
                if (at_ < s_.size() && s_[at_] == ',') { ++at_; continue; }
                if (at_ < s_.size() && s_[at_] == ']') { ++at_; return true; }
                return false;
            }
        }
        if (c == '"') {
            out.type = Json::String;
            return Str(out.text);
        }
        if (Literal("true")) { out.type = Json::Bool; out.boolean = true; return true; }
        if (Literal("false")) { out.type = Json::Bool; return true; }
        if (Literal("null")) return true;
        std::size_t end = at_;
        while (end < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[end])) || s_[end] == '-' ||
                                   s_[end] == '.' || s_[end] == 'e' || s_[end] == 'E' || s_[end] == '+')) {
            ++end;
        }
        if (end == at_) return false;
        out.type = Json::Number;
        out.number = std::stod(std::string(s_.substr(at_, end - at_)));
        at_ = end;
        return true;
    }
    std::string_view s_;
    std::size_t at_ = 0;
};

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

int KindOfCsaPiece(const std::string& p) {
    static const char* kNames[] = {"FU", "KY", "KE", "GI", "KI", "KA", "HI", "OU"};
    for (int i = 0; i < 8; ++i) {
        if (p == kNames[i]) return i + 1;
    }
    return 0;
}

// The main line of a JKF game as move codes; false when the JSON cannot be read.
bool JsonMoves(const fs::path& path, std::vector<std::string>& codes, std::string& preset) {
    Json root;
    if (!JsonParser(ReadAll(path)).Parse(root) || root.type != Json::Object) return false;
    if (const Json* initial = root.Find("initial")) {
        if (const Json* p = initial->Find("preset")) preset = p->text;
    }
    const Json* moves = root.Find("moves");
    if (moves == nullptr) return false;
    for (const Json& entry : moves->items) {
        const Json* move = entry.Find("move");
        if (move == nullptr) {
            if (entry.Find("special") != nullptr) break;
            continue;
        }
        const Json* to = move->Find("to");
        const Json* from = move->Find("from");
        const Json* piece = move->Find("piece");
        const Json* promote = move->Find("promote");
        if (to == nullptr || piece == nullptr) return false;
        std::string code;
        const auto coordinate = [](const Json* square, const char* axis) {
            const Json* v = square->Find(axis);
            return static_cast<char>('0' + (v != nullptr ? static_cast<int>(v->number) : 0));
        };
        if (from != nullptr && from->type == Json::Object) {
            code += coordinate(from, "x");
            code += coordinate(from, "y");
        } else {
            code += '0';
            code += static_cast<char>('0' + KindOfCsaPiece(piece->text));
        }
        code += coordinate(to, "x");
        code += coordinate(to, "y");
        code += promote != nullptr && promote->boolean ? '+' : ' ';
        codes.push_back(code);
    }
    return true;
}

class QuietPrompter : public Prompter {
public:
    void Warn(const std::string&) override {}
    void Inform(const std::string&) override {}
    Answer Confirm(const std::string&, bool, bool) override { return Answer::Yes; }
};

bool IsGameRecordName(const fs::path& p) {
    std::string ext = p.extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".kif" || ext == ".ki2" || ext == ".kifu" || ext == ".ki2u" || ext == ".csa";
}

TEST(TextioCorpusConformance, EveryGameImportsWithTheMovesOthersRead) {
    const char* root = std::getenv("MOVRA_CORPUS");
    if (root == nullptr || !fs::is_directory(root)) {
        GTEST_SKIP() << "MOVRA_CORPUS does not name a folder";
    }
    const fs::path corpus = root;

    std::multimap<std::string, std::string> expected;  // input path -> JSON path, corpus-relative
    {
        std::istringstream tsv(ReadAll(corpus / "EXPECTED_RESULTS.tsv"));
        std::string line;
        while (std::getline(tsv, line)) {
            const std::size_t a = line.find('\t');
            const std::size_t b = a == std::string::npos ? a : line.find('\t', a + 1);
            if (b == std::string::npos) continue;
            expected.emplace(line.substr(0, a), line.substr(a + 1, b - a - 1));
        }
    }

    std::vector<fs::path> files;
    for (auto it = fs::recursive_directory_iterator(corpus); it != fs::recursive_directory_iterator(); ++it) {
        if (it->is_regular_file() && IsGameRecordName(it->path())) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());

    const fs::path folder = fs::temp_directory_path() / ("movra_corpus_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path storePath = folder / "corpus.ipx";
    ASSERT_TRUE(CreateStoreFiles(storePath, true));
    GameStore store(storePath, StoreKind::Extended, 0);
    auto check = std::make_unique<TKifData>();
    QuietPrompter prompter;
    ImportContext context{store, prompter, {}, "2000-01-01 00:00:00", {}, 5};

    long read = 0, stored = 0, compared = 0, matched = 0, twins = 0;
    // The same game written as KIF and KI2, or in CP932 and UTF-8: the stored moves must agree.
    std::map<std::string, std::pair<std::string, std::vector<std::string>>> byStem;
    std::vector<std::string> refusals;
    for (const fs::path& file : files) {
        ++read;
        const std::string relative = fs::relative(file, corpus).generic_string();
        const FileImport one = ImportTextFile(file, context);
        if (one.stored < 1) {
            refusals.push_back(relative + ": " + one.refusal);
            // Only a game the store cannot hold (its start is no standard setup, it passes), or
            // a file that holds no game, may be refused.
            EXPECT_TRUE(one.refusal.find("standard setups") != std::string::npos ||
                        one.refusal.find("store cannot keep") != std::string::npos ||
                        one.refusal.find("not a game record") != std::string::npos)
                << relative << " was refused: " << one.refusal;
            continue;
        }
        stored += one.stored;
        IndexRecord index;
        ASSERT_TRUE(ReadIndexRecord(store, store.recordCount, index));
        ReadGameMoves(store, static_cast<long>(store.recordCount), index.overflowNumber(),
                      index.handicap(), false, 0, *check, prompter);
        std::vector<std::string> got;
        for (int m = 1; m <= check->moveCount; ++m) {
            got.push_back(check->moves[static_cast<std::size_t>(m)].moveCode().str());
        }
        const std::string stem = (file.parent_path() / file.stem()).string();
        if (const auto twin = byStem.find(stem); twin != byStem.end()) {
            ++twins;
            EXPECT_EQ(twin->second.second, got) << relative << " and " << twin->second.first
                                                << " hold the same game";
        } else {
            byStem.emplace(stem, std::make_pair(relative, got));
        }
        const auto [begin, end] = expected.equal_range(relative);
        for (auto hit = begin; hit != end; ++hit) {
        std::vector<std::string> want;
        std::string preset;
        if (!JsonMoves(corpus / hit->second, want, preset)) {
            ADD_FAILURE() << "cannot read " << hit->second;
            continue;
        }
        ++compared;
        if (got == want) {
            ++matched;
        } else {
            std::size_t first = 0;
            while (first < got.size() && first < want.size() && got[first] == want[first]) ++first;
            ADD_FAILURE() << relative << ": " << got.size() << " moves stored, " << want.size()
                          << " expected; first difference at move " << first + 1 << ": "
                          << (first < got.size() ? got[first] : "-") << " vs "
                          << (first < want.size() ? want[first] : "-");
        }
        }
    }
    std::printf("corpus: %ld files read, %ld games stored, %ld compared with JSON, %ld matched, "
                "%ld twin files agreed or not (see failures), %zu refused\n",
                read, stored, compared, matched, twins, refusals.size());
    for (const std::string& r : refusals) std::printf("  refused %s\n", r.c_str());
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

}  // namespace
}  // namespace movra
