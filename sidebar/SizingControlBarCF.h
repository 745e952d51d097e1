// CSizingControlBarCF: a grip-band sizing bar that repaints its non-client
// area whenever its title changes. Nothing in the program creates one.
#pragma once
#include "sidebar/SizingControlBarG.h"

class CSizingControlBarCF : public CSizingControlBarG {
public:
    CSizingControlBarCF() = default;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};
