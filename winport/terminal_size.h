// @brief The size of the terminal behind a descriptor (POSIX builds only; not
// a Windows interface).
#pragma once

// The window of the terminal on `fd`, in character cells. False, and nothing
// written, when `fd` is no terminal or the terminal reports no size.
bool WinportTerminalSize(int fd, int* columns, int* rows);
