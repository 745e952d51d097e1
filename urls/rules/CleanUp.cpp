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
// linear probing at a load of at most one half keeps the probes short; the
// table holds positions + 1, 0 being an empty slot.
std::vector<std::uint8_t> FirstOccurrences(const UrlRows& rows) {
    const std::size_t n = rows.size();
    std::size_t capacity = 16;
    while (capacity < 2 * n) capacity *= 2;
    const std::size_t mask = capacity - 1;
    std::vector<std::uint32_t> table(capacity, 0);
    std::vector<std::uint8_t> first(n, 0);
    std::hash<std::string_view> hasher;
    for (std::size_t i = 0; i < n; ++i) {
        std::string_view url = rows.url(i);
        std::size_t slot = hasher(url) & mask;
        for (;;) {
            std::uint32_t held = table[slot];
            if (held == 0) {
                table[slot] = static_cast<std::uint32_t>(i + 1);
                first[i] = 1;
                break;
            }
            if (rows.url(held - 1) == url) break;
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

ExportOutcome FormatExport(const UrlRows& rows, int nKind,
                           const std::function<bool(std::string_view)>& write, std::size_t chunkBytes) {
    ExportOutcome out;
    if (chunkBytes == 0) chunkBytes = 1;
    std::string buffer;
    buffer.reserve(chunkBytes + 256);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!IsExportedByKind(rows.validity(i), nKind)) continue;
        buffer.append(rows.url(i));
        buffer.append("\r\n", 2);
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
