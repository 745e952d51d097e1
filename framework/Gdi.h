// RAII wrappers for device contexts and GDI objects: each releases exactly
// what it obtained, in its destructor.
#pragma once
#include <windows.h>

// A device context obtained with GetDC / GetWindowDC / GetDCEx, released on scope exit.
class CWindowDCBase {
public:
    CWindowDCBase(const CWindowDCBase&) = delete;
    CWindowDCBase& operator=(const CWindowDCBase&) = delete;
    ~CWindowDCBase() {
        if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
    }
    HDC m_hDC = nullptr;
    operator HDC() const { return m_hDC; }

protected:
    CWindowDCBase(HWND hWnd, HDC hDC) : m_hDC(hDC), m_hWnd(hWnd) {}
    HWND m_hWnd;
};

class CClientDC : public CWindowDCBase {
public:
    explicit CClientDC(HWND hWnd) : CWindowDCBase(hWnd, ::GetDC(hWnd)) {}
};

class CWindowDC : public CWindowDCBase {
public:
    explicit CWindowDC(HWND hWnd) : CWindowDCBase(hWnd, ::GetWindowDC(hWnd)) {}
};

// GetDCEx with flags (DCX_WINDOW, DCX_CACHE, DCX_LOCKWINDOWUPDATE, ...).
class CDCEx : public CWindowDCBase {
public:
    CDCEx(HWND hWnd, HRGN hrgnClip, DWORD flags) : CWindowDCBase(hWnd, ::GetDCEx(hWnd, hrgnClip, flags)) {}
};

// BeginPaint in the constructor, EndPaint in the destructor.
class CPaintDC {
public:
    explicit CPaintDC(HWND hWnd) : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
    HDC m_hDC = nullptr;
    PAINTSTRUCT m_ps{};
    operator HDC() const { return m_hDC; }

private:
    HWND m_hWnd;
};

// A memory device context compatible with another one; deleted on scope exit.
class CMemoryDC {
public:
    explicit CMemoryDC(HDC hdcRef) : m_hDC(::CreateCompatibleDC(hdcRef)) {}
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    ~CMemoryDC() {
        if (m_hDC) ::DeleteDC(m_hDC);
    }
    HDC m_hDC;
    operator HDC() const { return m_hDC; }
};

// Owns one GDI object (bitmap, brush, pen, font, region) and deletes it.
template <class T>
class CGdiObject {
public:
    explicit CGdiObject(T h = nullptr) : m_h(h) {}
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    ~CGdiObject() {
        if (m_h) ::DeleteObject(m_h);
    }
    T m_h;
    operator T() const { return m_h; }
};

// Selects an object into a DC for the scope and restores the previous one.
class CSelectObject {
public:
    CSelectObject(HDC hDC, HGDIOBJ hObj) : m_hDC(hDC), m_hOld(::SelectObject(hDC, hObj)) {}
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;
    ~CSelectObject() {
        if (m_hOld) ::SelectObject(m_hDC, m_hOld);
    }

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

// Saves the DC's state for the scope (clipping, colours, modes).
class CSaveDC {
public:
    explicit CSaveDC(HDC hDC) : m_hDC(hDC), m_nSaved(::SaveDC(hDC)) {}
    CSaveDC(const CSaveDC&) = delete;
    CSaveDC& operator=(const CSaveDC&) = delete;
    ~CSaveDC() {
        if (m_nSaved) ::RestoreDC(m_hDC, m_nSaved);
    }

private:
    HDC m_hDC;
    int m_nSaved;
};

// The half-tone (checkerboard) brush of the process, created once, never deleted.
HBRUSH GetHalftoneBrush();

// A 3-D frame: top and left in clrTopLeft, bottom and right in clrBottomRight.
void Draw3dRect(HDC hDC, const RECT& rc, COLORREF clrTopLeft, COLORREF clrBottomRight);
