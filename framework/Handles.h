// Owners of the system's handles: kernel objects (files, threads, events),
// menus and registry keys. Each closes what it holds exactly once, when it goes
// or when told to; a moved-from owner holds nothing.
#pragma once
#include <windows.h>

namespace afx_handles {

struct KernelTraits {
    using Type = HANDLE;
    // The system answers "no handle" with null or INVALID_HANDLE_VALUE depending on the call.
    static bool IsNone(HANDLE h) { return h == nullptr || h == INVALID_HANDLE_VALUE; }
    static bool Close(HANDLE h) { return ::CloseHandle(h) != FALSE; }
};

struct MenuTraits {
    using Type = HMENU;
    static bool IsNone(HMENU h) { return h == nullptr; }
    static bool Close(HMENU h) { return ::DestroyMenu(h) != FALSE; }
};

struct RegKeyTraits {
    using Type = HKEY;
    static bool IsNone(HKEY h) { return h == nullptr; }
    static bool Close(HKEY h) { return ::RegCloseKey(h) == ERROR_SUCCESS; }
};

template <class Traits>
class COwned {
public:
    using Type = typename Traits::Type;

    COwned() = default;
    explicit COwned(Type h) : m_h(h) {}
    COwned(const COwned&) = delete;
    COwned& operator=(const COwned&) = delete;
    COwned(COwned&& other) noexcept : m_h(other.Detach()) {}
    COwned& operator=(COwned&& other) noexcept {
        if (this != &other) {
            Close();
            m_h = other.Detach();
        }
        return *this;
    }
    ~COwned() { Close(); }

    bool IsValid() const { return !Traits::IsNone(m_h); }
    Type Get() const { return m_h; }
    // For calls that hand a new handle back through a pointer; whatever was held is closed first.
    Type* Receive() {
        Close();
        return &m_h;
    }
    Type Detach() {
        Type h = m_h;
        m_h = Type{};
        return h;
    }
    // False when the system would not close it: for a file written to, the
    // last chance to hear that its data did not reach the disk.
    bool Close() {
        if (Traits::IsNone(m_h)) return true;
        bool ok = Traits::Close(m_h);
        m_h = Type{};
        return ok;
    }

private:
    Type m_h{};
};

}  // namespace afx_handles

using CHandle = afx_handles::COwned<afx_handles::KernelTraits>;
using CMenuHandle = afx_handles::COwned<afx_handles::MenuTraits>;
using CRegKey = afx_handles::COwned<afx_handles::RegKeyTraits>;
