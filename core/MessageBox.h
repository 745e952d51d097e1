// The program's one way of telling the user something.
#pragma once
#include <windows.h>
#include <string>

// Message box with the empty caption every message of the program uses.
int SkeinMessageBox(HWND hOwner, const std::string& text, UINT type = MB_OK);
