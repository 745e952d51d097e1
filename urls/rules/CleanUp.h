// Clean-up and export of the URL list: which rows a removal keeps, which rows
// an export writes, and the bytes of the export file.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "urls/rules/UrlRows.h"

// Rows that count as invalid for removal and for "export invalid": every state
// but valid and unchecked, "执行中" included.
inline bool IsInvalidForCleanUp(Validity v) { return v != Validity::Valid && v != Validity::Unchecked; }

// Whether an export of this kind (0 all, 1 valid, 2 invalid, anything else
// all) writes a row in state v.
bool IsExportedByKind(Validity v, int nKind);

// Removes every row whose URL is byte-equal to the URL of a row above it, so
// the topmost row of each group stays with its number and state. Linear time:
// the rows are found through a hash table, not by comparing every pair.
// Returns the number of rows removed.
std::size_t RemoveDuplicateRows(UrlRows& rows);

// Removes the rows that IsInvalidForCleanUp; returns how many went.
std::size_t RemoveInvalidRows(UrlRows& rows);

// The export file's bytes for the rows of nKind, top to bottom: each URL as it
// is, followed by CR LF. The bytes go to `write` in chunks of about chunkBytes;
// a false from `write` stops the export.
struct ExportOutcome {
    std::size_t lines = 0;   // URLs formatted (all of them, unless a write failed)
    bool ok = true;          // every write succeeded
};
// The writing behind every export: `buffer` (what goes first) and then, for
// each row i in [0, count) that appendRow takes (true), what it appended; the
// bytes go to `write` in chunks of about chunkBytes, and a false stops it.
ExportOutcome WriteRowsInChunks(std::size_t count, std::string buffer,
                                const std::function<bool(std::size_t, std::string&)>& appendRow,
                                const std::function<bool(std::string_view)>& write, std::size_t chunkBytes);
ExportOutcome FormatExport(const UrlRows& rows, int nKind,
                           const std::function<bool(std::string_view)>& write,
                           std::size_t chunkBytes = 1 << 16);
