#include "urls/rules/CleanUp.h"

#include <cstdint>
#include <string>
#include <vector>

bool IsExportedByKind(Validity v, int nKind) {
    switch (nKind) {
    case 1:
        return v == Validity::Valid;
    case 2:
        return IsInvalidForCleanUp(v);
    default:
        return true;
    }
}

namespace {

// Marks the first row of every group of byte-equal URLs. Open addressing with
// linear probing at a load of at most one half keeps the probes short. Each
// slot keeps the URL's hash beside the row's position + 1 (0 = empty), so a
// probe touches the row's text only when the hashes agree; on a million rows
// the cost is cache misses, not instructions, and the table's slot for a row
// a few rows ahead is fetched while the current one is probed.
std::vector<std::uint8_t> FirstOccurrences(const UrlRows& rows) {
    struct Slot {
        std::uint32_t position;   // row + 1; 0 for an empty slot
        std::uint32_t hash;
    };
    const std::size_t n = rows.size();
    std::size_t capacity = 16;
    while (capacity < 2 * n) capacity *= 2;
    const std::size_t mask = capacity - 1;
    std::vector<Slot> table(capacity, Slot{0, 0});
    std::vector<std::uint32_t> hashes(n);
    std::hash<std::string_view> hasher;
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t h = hasher(rows.url(i));
        hashes[i] = static_cast<std::uint32_t>(h ^ (h >> 16 >> 16));
    }
    constexpr std::size_t kAhead = 8;
    std::vector<std::uint8_t> first(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        if (i + kAhead < n) __builtin_prefetch(&table[hashes[i + kAhead] & mask]);
        const std::uint32_t hash = hashes[i];
        std::size_t slot = hash & mask;
        for (;;) {
            Slot& s = table[slot];
            if (s.position == 0) {
                s = Slot{static_cast<std::uint32_t>(i + 1), hash};
                first[i] = 1;
                break;
            }
            if (s.hash == hash && rows.url(s.position - 1) == rows.url(i)) break;
            slot = (slot + 1) & mask;
        }
    }
    return first;
}

}  // namespace

std::size_t RemoveDuplicateRows(UrlRows& rows) {
    if (rows.size() < 2) return 0;
    // The whole mask is computed before any row moves: the table refers to rows
    // by their original positions, which compaction reuses.
    std::vector<std::uint8_t> keep = FirstOccurrences(rows);
    return rows.retain([&](std::size_t i) { return keep[i] != 0; });
}

std::size_t RemoveInvalidRows(UrlRows& rows) {
    return rows.retain([&](std::size_t i) { return !IsInvalidForCleanUp(rows.validity(i)); });
}

ExportOutcome WriteRowsInChunks(std::size_t count, std::string buffer,
                                const std::function<bool(std::size_t, std::string&)>& appendRow,
                                const std::function<bool(std::string_view)>& write, std::size_t chunkBytes) {
    ExportOutcome out;
    if (chunkBytes == 0) chunkBytes = 1;
    buffer.reserve(buffer.size() + chunkBytes + 256);
    for (std::size_t i = 0; i < count; ++i) {
        if (!appendRow(i, buffer)) continue;
        ++out.lines;
        if (buffer.size() >= chunkBytes) {
            if (!write(buffer)) {
                out.ok = false;
                return out;
            }
            buffer.clear();
        }
    }
    if (!buffer.empty() && !write(buffer)) out.ok = false;
    return out;
}

ExportOutcome FormatExport(const UrlRows& rows, int nKind,
                           const std::function<bool(std::string_view)>& write, std::size_t chunkBytes) {
    auto appendRow = [&](std::size_t i, std::string& buffer) {
        if (!IsExportedByKind(rows.validity(i), nKind)) return false;
        buffer.append(rows.url(i));
        buffer.append("\r\n", 2);
        return true;
    };
    return WriteRowsInChunks(rows.size(), std::string(), appendRow, write, chunkBytes);
}
