#include "urls/rules/UrlRows.h"

#include <algorithm>
#include <stdexcept>

UrlRows::Id UrlRows::s_nextId = 1;

namespace {
const char* const kTexts[] = {"", "执行中", "OK", "无效!", "超时!", "格式不正确！", "用户忽略！"};
}

const char* ValidityText(Validity v) {
    return kTexts[static_cast<int>(v)];
}

std::optional<Validity> ValidityFromText(std::string_view text) {
    for (int i = 0; i < 7; ++i)
        if (text == kTexts[i]) return static_cast<Validity>(i);
    return std::nullopt;
}

void UrlRows::clear() {
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_text.clear();
    m_text.shrink_to_fit();
}

void UrlRows::reserve(std::size_t rows, std::size_t textBytes) {
    m_rows.reserve(rows);
    m_text.reserve(textBytes);
}

UrlRows::Id UrlRows::append(int number, std::string_view url, Validity v) {
    if (m_text.size() + url.size() > 0xFFFFFFFFu) throw std::length_error("URL list text too large");
    Row row{static_cast<std::uint32_t>(m_text.size()), static_cast<std::uint32_t>(url.size()), number,
            s_nextId++, v};
    m_text.append(url);
    m_rows.push_back(row);
    return row.id;
}

void UrlRows::setUrl(std::size_t i, std::string_view url) {
    if (url.size() <= m_rows[i].length) {   // fits where the old text was
        std::copy(url.begin(), url.end(), m_text.begin() + m_rows[i].offset);
        m_rows[i].length = static_cast<std::uint32_t>(url.size());
        return;
    }
    if (m_text.size() + url.size() > 0xFFFFFFFFu) throw std::length_error("URL list text too large");
    m_rows[i].offset = static_cast<std::uint32_t>(m_text.size());
    m_rows[i].length = static_cast<std::uint32_t>(url.size());
    m_text.append(url);
}

std::optional<std::size_t> UrlRows::find(Id id) const {
    auto it = std::lower_bound(m_rows.begin(), m_rows.end(), id,
                               [](const Row& r, Id key) { return r.id < key; });
    if (it == m_rows.end() || it->id != id) return std::nullopt;
    return static_cast<std::size_t>(it - m_rows.begin());
}

void UrlRows::erase(std::size_t i) {
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(i));
}
