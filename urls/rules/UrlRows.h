// The URL list's rows: row number, URL and validity state, kept in one text
// arena so that a million-row list costs tens of megabytes, not hundreds.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The validity text of a row is its state; these are the only texts it takes.
enum class Validity : std::uint8_t { Unchecked, Running, Valid, Invalid, Timeout, Malformed, Ignored };

// The exact GBK text shown for a state ("" for Unchecked).
const char* ValidityText(Validity v);
// The state whose text is exactly `text`, if any.
std::optional<Validity> ValidityFromText(std::string_view text);

class UrlRows {
public:
    // Every row gets an id that is never given again in this process, so that a
    // verdict finds its row after removals and re-imports. Ids ascend with position.
    using Id = std::uint32_t;

    std::size_t size() const { return m_rows.size(); }
    bool empty() const { return m_rows.empty(); }
    void clear();
    void reserve(std::size_t rows, std::size_t textBytes);

    Id append(int number, std::string_view url, Validity v = Validity::Unchecked);

    int number(std::size_t i) const { return m_rows[i].number; }
    std::string_view url(std::size_t i) const {
        return std::string_view(m_text.data() + m_rows[i].offset, m_rows[i].length);
    }
    Validity validity(std::size_t i) const { return m_rows[i].validity; }
    Id id(std::size_t i) const { return m_rows[i].id; }

    void setNumber(std::size_t i, int number) { m_rows[i].number = number; }
    void setUrl(std::size_t i, std::string_view url);
    void setValidity(std::size_t i, Validity v) { m_rows[i].validity = v; }

    // Position of the row with this id, if it is still in the list.
    std::optional<std::size_t> find(Id id) const;

    void erase(std::size_t i);
    // Removes every row for which keep(i) is false, in one pass; returns how many went.
    template <class Keep>
    std::size_t retain(Keep keep) {
        std::size_t out = 0;
        for (std::size_t i = 0; i < m_rows.size(); ++i)
            if (keep(i)) m_rows[out++] = m_rows[i];
        std::size_t removed = m_rows.size() - out;
        m_rows.resize(out);
        return removed;
    }

private:
    struct Row {
        std::uint32_t offset;
        std::uint32_t length;
        std::int32_t number;
        Id id;
        Validity validity;
    };
    std::vector<Row> m_rows;
    std::string m_text;
    static Id s_nextId;
};
