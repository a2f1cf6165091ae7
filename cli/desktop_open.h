// @brief Opening a file the way the desktop opens it.
#pragma once

#include <string>

namespace zvv {

enum class OpenOutcome { kOpened, kNoOpener, kFailed };

// The desktop's opener, xdg-open, found on PATH; empty when there is none.
std::string FindDesktopOpener();

// Runs `opener` on `target` and waits for it: kFailed when it reports a failure. What the
// opener prints goes to standard error, so that zvv's own output stays as it is.
OpenOutcome OpenWithDesktop(const std::string& opener, const std::string& target);

// Starts `opener` on `target` in the background and returns at once, for a target that stays
// open while zvv runs (a browser on zvv's own server). What the opener prints is discarded.
void StartWithDesktop(const std::string& opener, const std::string& target);

}  // namespace zvv
