// CCorvidDoc: the application's one document. It holds nothing; the rows belong to the view.
#pragma once
#include "framework/Document.h"

class CCorvidDoc : public CDocument {
public:
    CCorvidDoc() = default;
    ~CCorvidDoc() override;
    void Serialize(CArchive& ar) override;
    BOOL OnNewDocument() override;
};
