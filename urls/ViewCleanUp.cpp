// Placeholder until clean-up and export land.
#include "urls/CorvidView.h"

void CCorvidView::RemoveDuplicateUrls() {}
void CCorvidView::RemoveInvalidUrls() {}
void CCorvidView::ExportUrls(int) {}
