// Answers the system's modal dialogs (message boxes, file dialogs) from a
// helper thread while the test's own thread sits in the dialog's loop. Every
// wait is bounded; a dialog that a step fails to close is cancelled so the
// test cannot hang.
#pragma once
#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

inline std::string ClassOf(HWND h) {
    char cls[64] = {};
    ::GetClassNameA(h, cls, sizeof cls);
    return cls;
}

inline std::string TextOf(HWND h) {
    char buf[1024] = {};
    ::GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

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

    DialogAnswerer(DWORD uiThread, std::vector<Step> steps, DWORD timeoutMs = 15000)
        : m_thread([this, uiThread, steps = std::move(steps), timeoutMs] { Run(uiThread, steps, timeoutMs); }) {}
    ~DialogAnswerer() { Join(); }
    void Join() {
        if (m_thread.joinable()) m_thread.join();
    }
    // Every step found its dialog.
    bool AllAnswered() {
        Join();
        return m_answered;
    }
    const std::vector<Seen>& Dialogs() {
        Join();
        return m_seen;
    }

    // Presses a button of a dialog the way a click does.
    static void Press(HWND hDlg, int nID) {
        ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), (LPARAM)::GetDlgItem(hDlg, nID));
    }
    // Types a file name into a file dialog's name field and presses OK.
    static void EnterFileName(HWND hDlg, const std::string& name) {
        HWND hEdit = FindFileNameEdit(hDlg);
        if (hEdit) ::SendMessageA(hEdit, WM_SETTEXT, 0, (LPARAM)name.c_str());
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

private:
    struct Finder {
        std::set<HWND>* done;
        HWND found;
    };
    static BOOL CALLBACK FindDialog(HWND h, LPARAM lp) {
        auto* f = reinterpret_cast<Finder*>(lp);
        if (ClassOf(h) == "#32770" && ::IsWindowVisible(h) && !f->done->count(h)) {
            f->found = h;
            return FALSE;
        }
        return TRUE;
    }

    void Run(DWORD uiThread, const std::vector<Step>& steps, DWORD timeoutMs) {
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
            ::Sleep(100);   // let the dialog finish its initialisation
            m_seen.push_back({h, ::GetWindow(h, GW_OWNER), MessageBoxText(h), TextOf(h)});
            step.act(h);
        }
        // A dialog that is still open after its answer would hang the test: cancel it.
        for (HWND h : done) {
            DWORD start = ::GetTickCount();
            while (::IsWindow(h) && ::IsWindowVisible(h) && ::GetTickCount() - start < 3000) ::Sleep(20);
            if (::IsWindow(h) && ::IsWindowVisible(h)) {
                m_answered = false;
                Press(h, IDCANCEL);
            }
        }
    }

    static HWND WaitForDialog(DWORD uiThread, const std::set<HWND>& done, std::set<HWND>& skipped, HWND owner,
                              DWORD timeoutMs) {
        std::set<HWND> ignore = done;
        DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < timeoutMs) {
            Finder f{&ignore, nullptr};
            ::EnumThreadWindows(uiThread, &FindDialog, reinterpret_cast<LPARAM>(&f));
            if (f.found && (!owner || ::GetWindow(f.found, GW_OWNER) == owner)) return f.found;
            if (f.found) {   // a dialog of another owner: not the one this step waits for
                ignore.insert(f.found);
                skipped.insert(f.found);
                continue;
            }
            ::Sleep(20);
        }
        return nullptr;
    }

    std::vector<Seen> m_seen;
    bool m_answered = false;
    std::thread m_thread;
};

}  // namespace testsupport
