#include "urls/CorvidDoc.h"

CCorvidDoc::~CCorvidDoc() = default;

// Nothing is ever stored through the document.
void CCorvidDoc::Serialize(CArchive&) {}

BOOL CCorvidDoc::OnNewDocument() {
    return CDocument::OnNewDocument();
}
