// The shell call behind "打开网页".
#pragma once
#include <windows.h>

using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

// ShellExecuteA unless a test has put a recorder in its place.
extern ShellExecuteFn g_pfnShellExecute;
