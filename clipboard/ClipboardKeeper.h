#pragma once

#include <cstdint>

namespace nebulo {

// The program that keeps a copy on the clipboard once the window is gone; it
// lies in the window's program's own folder under libexec.
inline constexpr const char* KeeperProgramName = "nebulo-keep-clipboard";

// Called as the window's program ends. When the clipboard still holds our
// picture, it stays there until another program copies something: a
// clipboard manager, where one runs, takes it as Qt exits; otherwise the
// picture is handed to a detached keeper process. Returns that process's id
// once it holds the clipboard, or 0.
int64_t KeepCopyAfterExit();

// The keeper's side: takes PNG bytes from Input up to its end, offers them
// (and the picture in every other type), writes one byte to Ready once it
// holds the clipboard, and runs until another program takes the clipboard.
// Returns the exit status.
int ServeKeptCopy(int Input, int Ready);

} // namespace nebulo
