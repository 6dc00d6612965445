#pragma once

namespace nebulo {

// What the window's process settles before Qt starts a thread: memory that a
// command frees stays for the next, and a reader that went away fails a
// write instead of ending the program.
void SettleProcess();

} // namespace nebulo
