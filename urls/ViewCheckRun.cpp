// Placeholder until the check run lands.
#include "urls/CorvidView.h"

void CCorvidView::OnDispatch(int) {}
BOOL CCorvidView::StartCheckThread(std::string, int) { return FALSE; }
void CCorvidView::OnUrlVerdict(UINT, WPARAM, LPARAM) {}
