// What a probe found for a row. The values travel as the wParam of the
// worker's verdict message: they never change.
#pragma once

enum : int { kProbePage = 0, kProbeErrorPage = 1, kProbeNothing = 2 };
