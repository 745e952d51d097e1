// Answers the modal loops of a thread (message boxes, file dialogs, popup
// menus) from a helper thread while that thread sits in the loop. Either step
// by step (one dialog after another, each with its own answer), or standing:
// every message box gets OK and every popup menu has the named item chosen
// (or is cancelled), until Stop(). Every wait is bounded and whatever a test
// leaves open is cancelled, so a test cannot hang in a modal loop.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "win/TestSupport.h"

namespace testsupport {

// The text of a message box (its static text control).
inline std::string MessageBoxText(HWND hBox) {
    return TextOf(::GetDlgItem(hBox, 0xFFFF));
}

class DialogAnswerer {
public:
    // One dialog to wait for and what to do with it. `owner` null accepts any owner;
    // the owner of a dialog is always a top-level window.
    struct Step {
        HWND owner;
        std::function<void(HWND)> act;
    };
    struct Seen {
        HWND hwnd;
        HWND owner;
        std::string text;   // message-box text, empty for other dialogs
        std::string caption;
    };
    // Step by step, for the dialogs of uiThread.
    DialogAnswerer(DWORD uiThread, std::vector<Step> steps, DWORD timeoutMs = 15000)
        : m_thread([this, uiThread, steps = std::move(steps), timeoutMs] { RunSteps(uiThread, steps, timeoutMs); }) {}
    // Standing, for the calling thread, choosing in every popup menu the item
    // with this text (cancelling a menu without it) once it was open menuHoldMs.
    explicit DialogAnswerer(std::string menuItem = {}, DWORD menuHoldMs = 0)
        : m_menuItem(std::move(menuItem)),
          m_thread([this, ui = ::GetCurrentThreadId(), menuHoldMs] { RunStanding(ui, menuHoldMs); }) {}
    ~DialogAnswerer() { Stop(); }
    void Stop() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
    }
    // Every step found its dialog (waits for the steps to end).
    bool AllAnswered() {
        if (m_thread.joinable()) m_thread.join();
        return m_answered;
    }
    std::vector<Seen> Dialogs() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_seen;
    }
    // Where each popup menu showed, on the screen.
    std::vector<RECT> MenuRects() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_menuRects;
    }

    // Presses a button of a dialog the way a click does.
    static void Press(HWND hDlg, int nID) {
        ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), (LPARAM)::GetDlgItem(hDlg, nID));
    }
    // Types a file name into a file dialog's name field and presses OK.
    static void EnterFileName(HWND hDlg, const std::string& name) {
        SendBounded(FindFileNameEdit(hDlg), WM_SETTEXT, 0, (LPARAM)name.c_str());
        Press(hDlg, IDOK);
    }
    static HWND FindFileNameEdit(HWND hDlg) {
        // Explorer style: the name combo box (0x47C) holds the edit; older: edit 0x480.
        if (HWND hCombo = ::GetDlgItem(hDlg, 0x47C)) {
            if (HWND hEdit = ::FindWindowExA(hCombo, nullptr, "Edit", nullptr)) return hEdit;
            return hCombo;
        }
        return ::GetDlgItem(hDlg, 0x480);
    }
    // The dialog has built what an answer acts on: a message box its text, a
    // file dialog its name field and folder view, any other dialog its buttons.
    static bool Ready(HWND h) {
        auto shown = [](HWND c) { return c && ::IsWindowVisible(c); };
        if (!shown(h)) return false;
        if (HWND name = FindFileNameEdit(h))
            return shown(name) && ::FindWindowExA(h, nullptr, "SHELLDLL_DefView", nullptr);
        if (HWND text = ::GetDlgItem(h, 0xFFFF)) return shown(text);
        return shown(::GetDlgItem(h, IDOK)) || shown(::GetDlgItem(h, IDCANCEL));
    }
    // Polls pred() until it holds or timeoutMs passes; for the helper thread.
    static bool PollUntil(const std::function<bool()>& pred, DWORD timeoutMs) {
        for (DWORD start = ::GetTickCount();; ::Sleep(10)) {
            if (pred()) return true;
            if (::GetTickCount() - start >= timeoutMs) return false;
        }
    }

private:
    static BOOL CALLBACK Collect(HWND h, LPARAM lp) {
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
        return TRUE;
    }
    static std::vector<HWND> WindowsOf(DWORD thread) {
        std::vector<HWND> out;
        ::EnumThreadWindows(thread, &Collect, (LPARAM)&out);
        return out;
    }
    void Record(HWND h, bool menu = false) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (menu) m_menuRects.push_back(ScreenRect(h));
        else m_seen.push_back({h, ::GetWindow(h, GW_OWNER), MessageBoxText(h), TextOf(h)});
    }

    void RunSteps(DWORD uiThread, const std::vector<Step>& steps, DWORD timeoutMs) {
        std::set<HWND> done;
        m_answered = true;
        for (const Step& step : steps) {
            std::set<HWND> skipped;
            HWND h = WaitForDialog(uiThread, done, skipped, step.owner, timeoutMs);
            if (!h) {
                // A dialog with another owner than expected still blocks the test.
                m_answered = false;
                for (HWND other : skipped)
                    if (::IsWindow(other)) Press(other, IDCANCEL);
                return;
            }
            done.insert(h);
            Record(h);
            step.act(h);
        }
        // A dialog that is still open after its answer would hang the test: cancel it.
        for (HWND h : done) {
            if (!PollUntil([h] { return !::IsWindow(h) || !::IsWindowVisible(h); }, 3000)) {
                m_answered = false;
                Press(h, IDCANCEL);
            }
        }
    }

    static HWND WaitForDialog(DWORD uiThread, const std::set<HWND>& done, std::set<HWND>& skipped, HWND owner,
                              DWORD timeoutMs) {
        HWND found = nullptr;
        PollUntil(
            [&] {
                for (HWND h : WindowsOf(uiThread)) {
                    if (ClassOf(h) != "#32770" || !::IsWindowVisible(h) || done.count(h) || skipped.count(h)) continue;
                    if (owner && ::GetWindow(h, GW_OWNER) != owner) {
                        skipped.insert(h);   // not the one this step waits for
                        continue;
                    }
                    if (Ready(h)) return (found = h) != nullptr;
                }
                return false;
            },
            timeoutMs);
        return found;
    }

    void RunStanding(DWORD uiThread, DWORD menuHoldMs) {
        std::set<HWND> handled;
        PollUntil(
            [&] {
                for (HWND h : WindowsOf(uiThread)) {
                    if (handled.count(h) || !::IsWindowVisible(h)) continue;
                    std::string cls = ClassOf(h);
                    if (cls == "#32770" && Ready(h)) {
                        handled.insert(h);
                        Record(h);
                        Press(h, IDOK);
                    } else if (cls == "#32768") {
                        handled.insert(h);
                        Record(h, true);
                        ::Sleep(menuHoldMs);
                        // Down arrows to the item (the first selects the first item), then Enter.
                        int downs = m_menuItem.empty() ? 0 : ItemPosition(h, m_menuItem) + 1;
                        for (int i = 0; i < downs; ++i) ::PostMessageA(h, WM_KEYDOWN, VK_DOWN, 0);
                        ::PostMessageA(h, WM_KEYDOWN, downs > 0 ? VK_RETURN : VK_ESCAPE, 0);
                    }
                }
                return m_stop.load();
            },
            INFINITE);
    }

    // Position of the item among the open menu's items, separators not counted; -1 if absent.
    static int ItemPosition(HWND hMenuWnd, const std::string& text) {
        HMENU menu = (HMENU)::SendMessageA(hMenuWnd, MN_GETHMENU, 0, 0);
        for (int i = 0, pos = 0, n = ::GetMenuItemCount(menu); i < n; ++i) {
            if (::GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR) continue;
            char buf[256] = {};
            ::GetMenuStringA(menu, i, buf, sizeof buf, MF_BYPOSITION);
            if (text == buf) return pos;
            ++pos;
        }
        return -1;
    }

    const std::string m_menuItem;
    std::mutex m_mutex;
    std::vector<Seen> m_seen;
    std::vector<RECT> m_menuRects;
    bool m_answered = false;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace testsupport
