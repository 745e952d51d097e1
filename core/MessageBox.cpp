#include "core/MessageBox.h"

int SkeinMessageBox(HWND hOwner, const std::string& text, UINT type) {
    return ::MessageBoxA(hOwner, text.c_str(), "", type);
}
