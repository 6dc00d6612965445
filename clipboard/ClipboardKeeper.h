#pragma once

namespace nebulo {

// The program that keeps a copy on the clipboard once the window is gone; it
// lies in the window's program's own folder under libexec.
inline constexpr const char* KeeperProgramName = "nebulo-keep-clipboard";

// Called as the window's program ends. When the clipboard still holds our
// picture, it stays there until another program copies something. On X11 a
// detached keeper process takes the clipboard over and, where a clipboard
// manager runs, hands the copy to it; on Wayland wl-copy keeps the PNG. This
// program ends within about a second either way, and Qt's own wait for a
// clipboard manager as it ends never comes into play.
void KeepCopyAfterExit();

// The keeper's side: takes PNG bytes from Input up to its end, offers the
// picture, writes one byte to Ready once it holds the clipboard, and runs
// until another program takes the clipboard or a clipboard manager says it
// has saved the copy. Returns the exit status.
int ServeKeptCopy(int Input, int Ready);

} // namespace nebulo
