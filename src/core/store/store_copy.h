#pragma once
// Writing games of the open store into another store: the whole store, or the games of the
// catalogue (all of them or the marked ones) in catalogue order. Each game keeps its moves,
// consumed times, header, detail record and every comment; overflow numbers and comment
// numbers are given anew in the target.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "core/text/prompter.h"
#include "core/record/game_header.h"
#include "core/store/store_files.h"

namespace movra {

struct StoreCopyResult {
    bool ok = false;              // every game was written
    std::uint32_t copied = 0;     // games written to the target
    std::uint32_t targetCount = 0;
    bool commentLimitReached = false;  // some comment found every comment file of the target full
    std::string error;            // what failed, when not ok
};

// The caption of the progress panel while games are written: "【 併 合 中 】".
std::string CopyProgressCaption();

// Copies games of `source` to the store `target` (any file name of its set), of the same kind as
// the source. append: the games follow the target's own; otherwise, or when there is no target
// yet, the target is made anew: written under a working name beside it and given the target's
// names (its old files, overflow and comment files included, removed) only when every game is
// in, in one replacement of the store's journal (store/store_journal.h): a failure, or a process
// stopped anywhere, leaves the target as it was or as the copy makes it. Appending needs a whole
// target of the source's kind. `games` are the record numbers in the
// source, in the order they are to stand. Long games get overflow numbers of the target's own in
// both kinds. Progress goes to the prompter every 1000 games. Appending, a failure of the
// target's files stops the copy: the games of the sessions committed before stay whole, the rest
// is not there.
StoreCopyResult CopyGames(const GameStore& source, std::span<const std::uint32_t> games,
                          const std::filesystem::path& target, bool append, Prompter& prompter,
                          RecordWriter& layer = DirectRecordWriter());

// The whole store, records 1 … n.
StoreCopyResult CopyStore(const GameStore& source, const std::filesystem::path& target, bool append,
                          Prompter& prompter);

// The games of the catalogue in its order, all or only those with selection mark 1.
StoreCopyResult CopyCatalogueGames(const GameStore& source, std::span<const GameHeader> catalogue,
                                   bool markedOnly, const std::filesystem::path& target, bool append,
                                   Prompter& prompter);

}  // namespace movra
