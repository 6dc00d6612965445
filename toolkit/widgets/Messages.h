#pragma once

#include "toolkit/core/Types.h"

#include <cstdint>

class QWidget;

namespace nebulo {

// A message record as the application's queue hands it to the message hook.
struct TMsg {
    QWidget* Window = nullptr; // the window it is addressed to
    uint32_t Message = 0;
    uintptr_t WParam = 0;
    intptr_t LParam = 0;
    uint32_t Time = 0;
    TPoint Pt;
};

constexpr uint32_t WM_SYSCOMMAND = 274;

// The standard window commands of a system menu.
constexpr uintptr_t SC_MINIMIZE = 0xF020;
constexpr uintptr_t SC_MAXIMIZE = 0xF030;
constexpr uintptr_t SC_CLOSE = 0xF060;
constexpr uintptr_t SC_RESTORE = 0xF120;

// The message a system menu entry posts when chosen.
inline TMsg SystemCommandMessage(QWidget* Window, uintptr_t Command)
{
    TMsg Msg;
    Msg.Window = Window;
    Msg.Message = WM_SYSCOMMAND;
    Msg.WParam = Command;
    return Msg;
}

} // namespace nebulo
