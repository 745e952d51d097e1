// Why each row's check ended as it did: the reasons the workers leave, kept
// by row id for the rows that have a verdict, and the tip that shows them.
#include <algorithm>
#include <new>

#include "urls/CheckThread.h"
#include "urls/CorvidView.h"

namespace {

const int kValidityColumn = 2;
// Below the cursor, clear of its arrow.
const int kTipOffsetY = 20;

}  // namespace

std::shared_ptr<ReasonSlot> CCorvidView::OpenReasonSlot(UrlRows::Id id) {
    m_reasons.erase(id);
    try {
        auto slot = std::make_shared<ReasonSlot>();
        m_reasonSlots[id] = slot;
        return slot;
    } catch (const std::bad_alloc&) {
        return nullptr;   // the row is checked all the same, without a reason
    }
}

void CCorvidView::CloseReasonSlot(UrlRows::Id id) {
    m_reasonSlots.erase(id);
}

// A slot not yet written belongs to a later worker for the same row: the row
// was reopened while an earlier worker still ran.
void CCorvidView::TakeReason(UrlRows::Id id, bool bKeep) {
    auto it = m_reasonSlots.find(id);
    if (it == m_reasonSlots.end() || !it->second->written.load(std::memory_order_acquire)) return;
    if (bKeep) {
        try {
            m_reasons[id] = std::move(it->second->reason);
        } catch (const std::bad_alloc&) {
        }
    }
    m_reasonSlots.erase(it);
}

void CCorvidView::ForgetReason(UrlRows::Id id) {
    m_reasons.erase(id);
}

void CCorvidView::ForgetAllReasons() {
    m_reasons.clear();
    m_reasonSlots.clear();
    m_tip.Hide();
}

void CCorvidView::PruneReasons() {
    for (auto it = m_reasons.begin(); it != m_reasons.end();) {
        if (m_rows.find(it->first)) ++it;
        else it = m_reasons.erase(it);
    }
    m_tip.Hide();
}

const ProbeReason* CCorvidView::ProbeReasonOf(int nRow) const {
    if (nRow < 0 || nRow >= GetRowCount()) return nullptr;
    auto it = m_reasons.find(m_rows.id(nRow));
    return it == m_reasons.end() ? nullptr : &it->second;
}

std::optional<std::string> CCorvidView::ReasonOf(int nRow) const {
    const ProbeReason* reason = ProbeReasonOf(nRow);
    if (!reason) return std::nullopt;
    return FormatReason(*reason);
}

// Shows the reason of the validity cell under ptClient, or nothing.
void CCorvidView::ShowReasonTip(POINT ptClient) {
    LVHITTESTINFO hit{};
    hit.pt = ptClient;
    ::SendMessageA(m_hWnd, LVM_SUBITEMHITTEST, 0, (LPARAM)&hit);
    std::optional<std::string> reason;
    if (hit.iSubItem == kValidityColumn) reason = ReasonOf(hit.iItem);
    if (!reason || !(hit.flags & LVHT_ONITEM)) {
        m_tip.Hide();
        return;
    }
    if (!m_tip.Create(m_hWnd)) return;
    // Under the cursor, from the cell's left edge: the validity column is the
    // last, and a tip started at the cursor would run off the screen.
    RECT cell{};
    cell.top = hit.iSubItem;
    cell.left = LVIR_BOUNDS;
    ::SendMessageA(m_hWnd, LVM_GETSUBITEMRECT, hit.iItem, (LPARAM)&cell);
    POINT pt{std::min(cell.left, ptClient.x), ptClient.y + kTipOffsetY};
    ::ClientToScreen(m_hWnd, &pt);
    m_tip.Show(pt, *reason);
}

// WM_MOUSEMOVE: the tip goes when the mouse leaves its cell, and the next
// rest of the mouse brings the next one.
void CCorvidView::OnMouseMove(POINT ptClient) {
    LVHITTESTINFO hit{};
    hit.pt = ptClient;
    ::SendMessageA(m_hWnd, LVM_SUBITEMHITTEST, 0, (LPARAM)&hit);
    if (m_tip.IsShown() && (hit.iItem != m_tipCell.x || hit.iSubItem != m_tipCell.y)) m_tip.Hide();
    m_tipCell = POINT{hit.iItem, hit.iSubItem};
    if (m_tip.IsShown()) return;
    TRACKMOUSEEVENT tme{sizeof tme, TME_HOVER | TME_LEAVE, m_hWnd, HOVER_DEFAULT};
    ::TrackMouseEvent(&tme);
}

// WM_MOUSEHOVER: the mouse rests.
void CCorvidView::OnMouseHover(POINT ptClient) {
    ShowReasonTip(ptClient);
}

// WM_MOUSELEAVE.
void CCorvidView::OnMouseLeave() {
    m_tip.Hide();
    m_tipCell = POINT{-1, -1};
}
