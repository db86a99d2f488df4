#include "core/positions/collection_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <system_error>

#include "core/text/cp932.h"
#include "core/text/regular_file.h"
#include "core/text/sjis_literal.h"

namespace movra {

using namespace movra::literals;
namespace fs = std::filesystem;

namespace {

bool WriteAll(int fd, const std::uint8_t* p, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, p, size, offset);
        if (n <= 0) return false;
        p += n;
        size -= std::size_t(n);
        offset += n;
    }
    return true;
}

}  // namespace

std::optional<CollectionContents> ReadCollection(const fs::path& path, std::string* error) {
    std::string bytes;
    const FileReadStatus status = ReadRegularFile(path, kMaxCollectionBytes, bytes);
    if (status != FileReadStatus::Ok) {
        if (error != nullptr) {
            switch (status) {
                case FileReadStatus::Missing: *error = "no such file"; break;
                case FileReadStatus::NotRegular: *error = "not a regular file"; break;
                case FileReadStatus::TooLarge: *error = "larger than a collection can be"; break;
                default: *error = "cannot be read"; break;
            }
        }
        return std::nullopt;
    }
    CollectionContents c;
    c.fileBytes = bytes.size();
    c.partPage = bytes.size() % kCollectionPageSize != 0;
    const std::size_t pageCount = std::max<std::size_t>(1, (bytes.size() + kCollectionPageSize - 1) / kCollectionPageSize);
    c.pages.resize(pageCount);
    for (std::size_t p = 0; p < pageCount; ++p) {
        for (int s = 0; s < kSlotsPerPage; ++s) {
            const std::size_t start = p * kCollectionPageSize + std::size_t(s) * kCollectionSlotSize;
            if (start >= bytes.size()) break;
            PositionSlot slot;
            const std::size_t have = std::min(kCollectionSlotSize, bytes.size() - start);
            std::copy_n(reinterpret_cast<const std::uint8_t*>(bytes.data()) + start, have, slot.bytes.begin());
            std::string why;
            if (have < kCollectionSlotSize) {
                // Cut off by the end of the file: lost unless nothing was there.
                const bool blank = std::all_of(slot.bytes.begin(), slot.bytes.end(), [](std::uint8_t b) { return b == 0; });
                if (!blank) why = "cut off by the end of the file";
            } else {
                why = slot.Problem();
            }
            if (!why.empty()) {
                c.damaged.push_back({int(p), s, why});
                continue;  // the slot stays empty
            }
            c.pages[p].setSlot(s, slot);
        }
    }
    return c;
}

std::string DamagedCollectionMessage(const fs::path& path, const CollectionContents& contents) {
    std::string text = "\r"_sj + PathText(path) + " は壊れています。"_sj + "\r\r" + "読み込めなかった局面："_sj;
    for (std::size_t i = 0; i < contents.damaged.size(); ++i) {
        const DamagedSlot& d = contents.damaged[i];
        if (i > 0) text += "，"_sj;
        text += std::to_string(d.page + 1) + "頁の"_sj + std::to_string(d.slot + 1) + "番目"_sj;
    }
    text += "\r\r"_sj + "その他の局面は読み込みました。"_sj;
    return text;
}

bool WriteFileReplacing(const fs::path& path, const std::string& bytes, const fs::path& temp) {
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), 0);
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    std::error_code ec;
    if (ok) {
        fs::rename(temp, path, ec);
        ok = !ec;
    }
    if (!ok) fs::remove(temp, ec);
    return ok;
}

bool WriteCollection(const fs::path& path, const std::vector<CollectionPage>& pages, const fs::path& temp) {
    std::string bytes;
    bytes.reserve(pages.size() * kCollectionPageSize);
    for (const CollectionPage& page : pages) bytes.append(reinterpret_cast<const char*>(page.bytes.data()), page.bytes.size());
    return WriteFileReplacing(path, bytes, temp);
}

bool WriteCollectionPage(const fs::path& path, int page, const CollectionPage& contents, bool create) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (create ? O_TRUNC : 0), 0644);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, contents.bytes.data(), contents.bytes.size(), off_t(page) * off_t(kCollectionPageSize));
    ok = ::close(fd) == 0 && ok;
    return ok;
}

std::vector<CollectionPage> CompactPages(const std::vector<CollectionPage>& pages, int* count,
                                         std::optional<SlotPlace> insert, const PositionSlot& inserted) {
    std::vector<CollectionPage> out;
    CollectionPage buffer;
    int n = 0;
    auto put = [&](PositionSlot slot) {
        const int s = n % kSlotsPerPage;
        ++n;
        slot.setNumber(std::int16_t(n));
        buffer.setSlot(s, slot);
        if (s == kSlotsPerPage - 1) {
            out.push_back(buffer);
            buffer = CollectionPage{};
        }
    };
    for (std::size_t p = 0; p < pages.size(); ++p) {
        for (int s = 0; s < kSlotsPerPage; ++s) {
            if (insert && insert->page == int(p) && insert->slot == s) put(inserted);
            const PositionSlot slot = pages[p].slot(s);
            if (slot.filled()) put(slot);
        }
    }
    if (n % kSlotsPerPage != 0 || n == 0) out.push_back(buffer);
    if (count != nullptr) *count = n;
    return out;
}

int PositionCount(const std::vector<CollectionPage>& pages) {
    int n = 0;
    for (const CollectionPage& p : pages) n += p.FilledCount();
    return n;
}

}  // namespace movra
