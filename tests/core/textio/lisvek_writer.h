#pragma once
// Writes Lisvek collections for tests, from the collection's record layouts: the product's files
// cannot be had, so the tests make their own.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core/record/kif_data.h"
#include "core/textio/lisvek_layout.h"

namespace movra::testing {

namespace fs = std::filesystem;

// A game as the collection holds it, and what the store should make of it.
struct WrittenGame {
    TKifData record;
    int sente = 0, gote = 0, tournament = 0, opening = 0, result = 0;
    std::uint32_t date = 0;
    std::map<int, std::string> comments;  // by move record; moves + 1 the final position
};

template <class Record>
void WriteRecords(const fs::path& path, const std::vector<Record>& records) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const Record& r : records) out.write(reinterpret_cast<const char*>(r.bytes.data()), std::streamsize(r.bytes.size()));
}

// Writes a collection: F = folder/kifu, the names files in folder. kifu.kif gets the release
// date of the edition (local time, as the reader reads it).
struct CollectionWriter {
    fs::path folder;
    std::vector<std::string> players, openings;
    std::vector<LisvekHeader> headers;
    std::vector<LisvekGame> games;
    std::vector<LisvekComment> comments;
    std::uint32_t nextKey = 1000;

    std::uint32_t AddComment(const std::string& text) {
        LisvekComment c;
        c.setKey(nextKey);
        c.setText(text);
        comments.push_back(c);
        return nextKey++;
    }

    void Add(const WrittenGame& g) {
        LisvekHeader h;
        h.setSentePlayer(std::uint16_t(g.sente));
        h.setGotePlayer(std::uint16_t(g.gote));
        h.setTournament(std::uint16_t(g.tournament));
        h.setOpening(std::uint16_t(g.opening));
        h.setDate(g.date);
        h.setResult(std::uint16_t(g.result));
        LisvekGame moves;
        const int n = g.record.moveCount;
        for (int i = 0; i < n; ++i) {
            const MoveRecord& m = g.record.moves[std::size_t(i + 1)];
            const int to = m.toRank * 10 + m.toFile;
            const int from = m.isDrop() ? 9 - m.fromRank : m.fromRank * 10 + m.fromFile;
            const auto c = g.comments.find(i + 1);
            moves.setMove(i, std::int16_t(m.promotes ? -to : to), std::int16_t(from),
                          c == g.comments.end() ? 0 : AddComment(c->second));
        }
        if (const auto c = g.comments.find(n + 1); c != g.comments.end()) {
            h.setFinalCommentKey(AddComment(c->second));
        }
        headers.push_back(h);
        games.push_back(moves);
    }

    fs::path Write(const char* releaseDate) {
        fs::create_directories(folder / "kifu");
        std::vector<LisvekPlayer> p(players.size());
        for (std::size_t i = 0; i < players.size(); ++i) p[i].setName(players[i]);
        std::vector<LisvekOpening> o(openings.size());
        for (std::size_t i = 0; i < openings.size(); ++i) o[i].setName(openings[i]);
        WriteRecords(folder / "Ksname.dat", p);
        WriteRecords(folder / "Senkei.dat", o);
        WriteRecords(folder / "kifu" / "kifu.dat", headers);
        WriteRecords(folder / "kifu" / "Kaisetu.dat", comments);
        const fs::path kif = folder / "kifu" / "kifu.kif";
        WriteRecords(kif, games);
        std::tm t{};
        std::sscanf(releaseDate, "%d/%d/%d", &t.tm_year, &t.tm_mon, &t.tm_mday);
        t.tm_year -= 1900;
        t.tm_mon -= 1;
        t.tm_hour = 12;
        t.tm_isdst = -1;
        fs::last_write_time(kif, std::chrono::file_clock::from_sys(
                                     std::chrono::system_clock::from_time_t(std::mktime(&t))));
        return kif;
    }
};

}  // namespace movra::testing
