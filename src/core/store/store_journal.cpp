#include "core/store/store_journal.h"

#include <cstring>
#include <optional>
#include <string_view>
#include <system_error>

namespace movra {

namespace fs = std::filesystem;

namespace {

// Layout: magic, kind, the body, then the length of everything before and its FNV-1a hash.
// Numbers are little-endian; names are file names in the store's folder.
constexpr std::string_view kMagic = "MOVRAJN1";
constexpr std::uint8_t kReplaceKind = 1;
constexpr std::uint8_t kUndoKind = 2;

std::uint64_t Hash(const std::uint8_t* bytes, std::size_t size) {
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (std::size_t i = 0; i < size; ++i) {
        h ^= bytes[i];
        h *= 0x100000001B3ull;
    }
    return h;
}

class Writer {
public:
    void U8(std::uint8_t v) { out_.push_back(v); }
    void U64(std::uint64_t v) {
        for (int i = 0; i < 8; ++i) out_.push_back(std::uint8_t(v >> (8 * i)));
    }
    void Bytes(const std::uint8_t* b, std::size_t n) {
        U64(n);
        out_.insert(out_.end(), b, b + n);
    }
    void Name(const fs::path& p) {
        const std::string n = p.filename().string();
        Bytes(reinterpret_cast<const std::uint8_t*>(n.data()), n.size());
    }
    std::vector<std::uint8_t> Finish() {
        const std::uint64_t length = out_.size();
        const std::uint64_t hash = Hash(out_.data(), out_.size());
        U64(length);
        U64(hash);
        return std::move(out_);
    }

private:
    std::vector<std::uint8_t> out_;
};

class Reader {
public:
    explicit Reader(const std::vector<std::uint8_t>& in) : in_(in) {}
    bool U8(std::uint8_t& v) {
        if (at_ + 1 > in_.size()) return false;
        v = in_[at_++];
        return true;
    }
    bool U64(std::uint64_t& v) {
        if (at_ + 8 > in_.size()) return false;
        v = 0;
        for (int i = 0; i < 8; ++i) v |= std::uint64_t(in_[at_ + std::size_t(i)]) << (8 * i);
        at_ += 8;
        return true;
    }
    bool Bytes(std::vector<std::uint8_t>& b) {
        std::uint64_t n = 0;
        if (!U64(n) || n > in_.size() - at_) return false;
        b.assign(in_.begin() + long(at_), in_.begin() + long(at_ + n));
        at_ += std::size_t(n);
        return true;
    }
    bool Name(const fs::path& folder, fs::path& p) {
        std::vector<std::uint8_t> b;
        if (!Bytes(b) || b.empty()) return false;
        const std::string name(b.begin(), b.end());
        if (name.find('/') != std::string::npos || name == "." || name == "..") return false;
        p = folder / name;
        return true;
    }
    bool AtEnd() const { return at_ == in_.size(); }

private:
    const std::vector<std::uint8_t>& in_;
    std::size_t at_ = 0;
};

bool IsFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

fs::path JournalPath(const StoreFiles& store) {
    // The journal is spelled as the store's base name is; a journal found in another case counts.
    return store.Path(ext::kJournal);
}

// Writes the journal whole and puts it, and its name, on the disk. No journal stays behind on a
// failure.
bool WriteJournal(const StoreFiles& store, Writer& body, RecordWriter& layer) {
    const std::vector<std::uint8_t> bytes = body.Finish();
    const fs::path path = JournalPath(store);
    RecordFile file;
    if (!layer.OpenForWriting(file, path, 1, RecordFile::Access::Create)) return false;
    if (!layer.Write(file, 0, bytes.data(), bytes.size()) || !layer.Sync(file) ||
        !layer.SyncFolder(store.folder())) {
        file.Close();
        layer.Remove(path);
        return false;
    }
    return true;
}

Writer Begin(std::uint8_t kind) {
    Writer w;
    for (char c : kMagic) w.U8(std::uint8_t(c));
    w.U8(kind);
    return w;
}

// The journal's body when it is whole; nullopt for a journal cut short or damaged.
std::optional<std::vector<std::uint8_t>> ReadWholeJournal(const fs::path& path) {
    RecordFile file;
    if (!file.Open(path, 1, RecordFile::Access::Read)) return std::nullopt;
    const std::uint64_t size = file.SizeBytes();
    if (size < kMagic.size() + 1 + 16 || size > (64ull << 20)) return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (file.ReadBytes(0, bytes.data(), bytes.size()) != bytes.size()) return std::nullopt;
    const std::size_t bodySize = bytes.size() - 16;
    std::uint64_t length = 0, hash = 0;
    for (int i = 0; i < 8; ++i) {
        length |= std::uint64_t(bytes[bodySize + std::size_t(i)]) << (8 * i);
        hash |= std::uint64_t(bytes[bodySize + 8 + std::size_t(i)]) << (8 * i);
    }
    if (length != bodySize || hash != Hash(bytes.data(), bodySize)) return std::nullopt;
    if (std::memcmp(bytes.data(), kMagic.data(), kMagic.size()) != 0) return std::nullopt;
    bytes.resize(bodySize);
    return bytes;
}

bool ReadReplacement(Reader& in, const fs::path& folder, StoreReplacement& plan) {
    std::uint64_t n = 0;
    if (!in.U64(n) || n > 4096) return false;
    for (std::uint64_t i = 0; i < n; ++i) {
        FileReplacementStep s;
        if (!in.Name(folder, s.from) || !in.Name(folder, s.to) || !in.Name(folder, s.aside)) return false;
        plan.files.push_back(std::move(s));
    }
    if (!in.U64(n) || n > 4096) return false;
    for (std::uint64_t i = 0; i < n; ++i) {
        fs::path p;
        if (!in.Name(folder, p)) return false;
        plan.removals.push_back(std::move(p));
    }
    return in.AtEnd();
}

bool ReadUndo(Reader& in, const fs::path& folder, std::vector<FileUndo>& files) {
    std::uint64_t n = 0;
    if (!in.U64(n) || n > 4096) return false;
    for (std::uint64_t i = 0; i < n; ++i) {
        FileUndo f;
        std::uint8_t existed = 0;
        std::uint64_t records = 0;
        if (!in.Name(folder, f.path) || !in.U8(existed) || !in.U64(f.size) || !in.U64(records)) {
            return false;
        }
        f.existed = existed != 0;
        for (std::uint64_t r = 0; r < records; ++r) {
            BufferedRecordFile::OldRecord o;
            if (!in.U64(o.offset) || !in.Bytes(o.bytes)) return false;
            f.records.push_back(std::move(o));
        }
        files.push_back(std::move(f));
    }
    return in.AtEnd();
}

// The renames still to do, in order: a step is done once its `from` is gone (only the step
// itself takes it away). The old file moves aside first when it is still in place.
bool CompleteRenames(const StoreReplacement& plan, RecordWriter& layer) {
    for (const FileReplacementStep& s : plan.files) {
        if (!IsFile(s.from)) continue;
        if (IsFile(s.to) && !layer.Rename(s.to, s.aside)) return false;
        if (!layer.Rename(s.from, s.to)) return false;
    }
    return true;
}

bool RemoveLeftovers(const StoreReplacement& plan, RecordWriter& layer) {
    bool ok = true;
    for (const FileReplacementStep& s : plan.files) {
        if (IsFile(s.aside)) ok = layer.Remove(s.aside) && ok;
    }
    for (const fs::path& p : plan.removals) {
        if (IsFile(p)) ok = layer.Remove(p) && ok;
    }
    return ok;
}

bool PutBack(const std::vector<FileUndo>& files, RecordWriter& layer) {
    bool ok = true;
    for (const FileUndo& f : files) {
        if (!f.existed) {
            if (IsFile(f.path)) ok = layer.Remove(f.path) && ok;
            continue;
        }
        RecordFile file;
        if (!layer.OpenForWriting(file, f.path, 1, RecordFile::Access::ReadWrite)) {
            ok = false;
            continue;
        }
        for (const BufferedRecordFile::OldRecord& r : f.records) {
            if (r.offset >= f.size) continue;  // beyond the old end: the cut below takes it away
            ok = layer.Write(file, r.offset, r.bytes.data(), r.bytes.size()) && ok;
        }
        if (file.SizeBytes() != f.size) ok = layer.Truncate(file, f.size) && ok;
        ok = layer.Sync(file) && ok;
    }
    return ok;
}

}  // namespace

bool HasStoreJournal(const StoreFiles& store) { return IsFile(JournalPath(store)); }

bool RemoveStoreJournal(const StoreFiles& store, RecordWriter& layer) {
    const fs::path path = JournalPath(store);
    if (!IsFile(path)) return true;
    if (!layer.Remove(path)) return false;
    layer.SyncFolder(store.folder());
    return true;
}

bool ReplaceStoreFiles(const StoreFiles& store, const StoreReplacement& plan, Prompter& prompter,
                       RecordWriter& layer, const std::function<void()>& afterRenames) {
    Writer body = Begin(kReplaceKind);
    body.U64(plan.files.size());
    for (const FileReplacementStep& s : plan.files) {
        body.Name(s.from);
        body.Name(s.to);
        body.Name(s.aside);
    }
    body.U64(plan.removals.size());
    for (const fs::path& p : plan.removals) body.Name(p);
    // A stale aside file of an earlier replacement would be taken for a step already done.
    for (const FileReplacementStep& s : plan.files) {
        if (IsFile(s.aside) && !layer.Remove(s.aside)) return false;
    }
    if (!WriteJournal(store, body, layer)) return false;

    struct Done {
        const FileReplacementStep* step;
        bool movedAside;
    };
    std::vector<Done> done;
    bool failed = false;
    for (const FileReplacementStep& s : plan.files) {
        const bool present = IsFile(s.to);
        if (present && !layer.Rename(s.to, s.aside)) {
            if (!s.asideFailure.empty()) prompter.Warn(s.asideFailure);
            failed = true;
            break;
        }
        if (!layer.Rename(s.from, s.to)) {
            if (!s.renameFailure.empty()) prompter.Warn(s.renameFailure);
            if (present && !layer.Rename(s.aside, s.to)) return false;  // the journal completes it
            failed = true;
            break;
        }
        done.push_back({&s, present});
    }
    if (failed) {
        // Back to the old files; the journal goes only once they are all in place again.
        for (auto it = done.rbegin(); it != done.rend(); ++it) {
            if (!layer.Rename(it->step->to, it->step->from)) return false;
            if (it->movedAside && !layer.Rename(it->step->aside, it->step->to)) return false;
        }
        layer.SyncFolder(store.folder());
        RemoveStoreJournal(store, layer);
        return false;
    }
    layer.SyncFolder(store.folder());
    // The files the new set has no counterpart for go before the journal does: until then the
    // store is not whole. When one cannot go the journal stays, and the next opening removes it.
    bool ok = true;
    for (const fs::path& p : plan.removals) {
        if (IsFile(p)) ok = layer.Remove(p) && ok;
    }
    if (!ok) return true;
    layer.SyncFolder(store.folder());
    RemoveStoreJournal(store, layer);
    // The store is the new one now. The old files, aside, can still be read before they go (a
    // process stopped here leaves them beside the store, where the next replacement removes them).
    if (afterRenames) afterRenames();
    for (const FileReplacementStep& s : plan.files) {
        if (IsFile(s.aside)) layer.Remove(s.aside);
    }
    return true;
}

bool WriteUndoJournal(const StoreFiles& store, std::span<const FileUndo> files, RecordWriter& layer) {
    Writer body = Begin(kUndoKind);
    body.U64(files.size());
    for (const FileUndo& f : files) {
        body.Name(f.path);
        body.U8(f.existed ? 1 : 0);
        body.U64(f.size);
        body.U64(f.records.size());
        for (const BufferedRecordFile::OldRecord& r : f.records) {
            body.U64(r.offset);
            body.Bytes(r.bytes.data(), r.bytes.size());
        }
    }
    return WriteJournal(store, body, layer);
}

JournalRecovery RecoverStoreJournal(const StoreFiles& store, RecordWriter& layer) {
    const fs::path path = JournalPath(store);
    if (!IsFile(path)) return JournalRecovery::None;
    const std::optional<std::vector<std::uint8_t>> body = ReadWholeJournal(path);
    if (!body) {
        // Cut short while it was written: nothing it names had been started.
        return layer.Remove(path) ? JournalRecovery::Discarded : JournalRecovery::Failed;
    }
    Reader in(*body);
    for (std::size_t i = 0; i < kMagic.size(); ++i) {
        std::uint8_t skip = 0;
        in.U8(skip);
    }
    std::uint8_t kind = 0;
    in.U8(kind);
    const fs::path folder = store.folder();
    if (kind == kReplaceKind) {
        StoreReplacement plan;
        if (!ReadReplacement(in, folder, plan)) return JournalRecovery::Failed;
        if (!CompleteRenames(plan, layer)) return JournalRecovery::Failed;
        layer.SyncFolder(folder);
        if (!RemoveLeftovers(plan, layer)) return JournalRecovery::Failed;
        layer.SyncFolder(folder);
        return RemoveStoreJournal(store, layer) ? JournalRecovery::Completed : JournalRecovery::Failed;
    }
    if (kind == kUndoKind) {
        std::vector<FileUndo> files;
        if (!ReadUndo(in, folder, files)) return JournalRecovery::Failed;
        if (!PutBack(files, layer)) return JournalRecovery::Failed;
        layer.SyncFolder(folder);
        return RemoveStoreJournal(store, layer) ? JournalRecovery::RolledBack : JournalRecovery::Failed;
    }
    return JournalRecovery::Failed;
}

}  // namespace movra
