// Application messages: every request, completion and verdict travels as one of these.
// All are posted, never sent; each is acted on only by the window it is posted to.
#pragma once
#include "core/rules/ProbeResult.h"

enum : unsigned int {
    UM_REQ_IMPORT = 1026,              // panel -> frame
    UM_IMPORT = 1027,                  // frame -> view
    UM_LIST_LOADED = 1028,             // view -> frame, wParam = LIST_LOAD*, lParam = rows in the list
    UM_ENABLE_IMPORT = 1029,           // frame -> panel
    UM_REQ_START = 1030,               // panel -> frame
    UM_DISPATCH = 1031,                // frame -> view, lParam = free worker slots
    UM_RUN_FINISHED = 1032,            // view -> frame
    UM_RESET_START = 1033,             // frame -> panel
    UM_RUNNING_COUNT = 1034,           // view -> frame, lParam = running workers
    UM_REQ_EXPORT = 1036,              // panel -> frame, lParam = export kind
    UM_URL_VALID = 1037,               // worker -> view
    UM_URL_VERDICT = 1038,             // worker -> view, wParam = kProbe* code
    UM_EXPORT = 1039,                  // frame -> view, lParam = export kind
    UM_ENABLE_EXPORT = 1040,           // frame -> panel, wParam = export kind
    UM_EXPORTED = 1041,                // view -> frame, wParam = kind, lParam = lines written
    UM_REQ_CLEAN_INVALID = 1042,       // panel -> frame
    UM_CLEAN_INVALID = 1043,           // frame -> view
    UM_INVALID_CLEANED = 1044,         // view -> frame, lParam = rows removed
    UM_ENABLE_CLEAN_INVALID = 1045,    // frame -> panel
    UM_REQ_CLEAN_DUPLICATES = 1046,    // panel -> frame
    UM_CLEAN_DUPLICATES = 1047,        // frame -> view (request); view -> frame, lParam = rows removed
    UM_ENABLE_CLEAN_DUPLICATES = 1048, // frame -> panel
    UM_REQ_STOP = 1049,                // panel -> frame
};

// The whole range (WM_USER + 2 .. + 25), acted on in PreTranslateMessage.
inline bool IsAppMessage(unsigned int msg) { return msg >= UM_REQ_IMPORT && msg <= UM_REQ_STOP; }

// Export kinds (lParam of UM_REQ_EXPORT and UM_EXPORT, wParam of UM_EXPORTED).
enum : int { EXPORT_ALL = 0, EXPORT_VALID = 1, EXPORT_INVALID = 2, EXPORT_OTHER = 10, EXPORT_REPORT = 20 };

// wParam of UM_LIST_LOADED: the list was (re)loaded, or an import failed and
// left the list and the status bar as they were.
enum : int { LIST_LOADED = 0, LIST_LOAD_FAILED = 1 };
