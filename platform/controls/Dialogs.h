// Message boxes: a small modal form with the text and its buttons, on a nested message
// loop in which timers keep ticking. Tests install a hook that records each box and
// answers at once instead.
#pragma once

#include "platform/win/WinDefs.h"

#include <functional>
#include <string>

namespace dcs {

// Shows Text under Caption with the buttons Type asks for (MB_OK, MB_OKCANCEL, MB_YESNO)
// and answers the button pressed (IDOK, IDCANCEL, IDYES, IDNO); closing the box answers
// IDCANCEL (IDOK for a box with only OK). Owner 0: centred on the screen; otherwise
// centred over the owner's window.
int MessageBoxW(HWND Owner, const std::string& Text, const std::string& Caption, UINT Type);
inline int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption, UINT Type)
{
    return MessageBoxW(Owner, Text, Caption, Type);
}

// While set, every message box goes to the hook instead of the screen; its answer is
// the box's. Empty: boxes are shown again.
using TMessageBoxHook = std::function<int(HWND Owner, const std::string& Text, const std::string& Caption, UINT Type)>;
void SetMessageBoxHook(TMessageBoxHook Hook);

// Makes the application show exceptions that reach its loop in a message box.
void UseMessageBoxForExceptions();

}  // namespace dcs
