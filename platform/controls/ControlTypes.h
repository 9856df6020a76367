// The small shared vocabulary of the control layer: the control messages (CM_*) that
// controls send each other, shift states, mouse buttons, cursors and modal results.
#pragma once

#include "platform/win/WinDefs.h"

#include <cstdint>

namespace dcs {

constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 2;
constexpr UINT CM_COLORCHANGED = CM_BASE + 3;
constexpr UINT CM_FONTCHANGED = CM_BASE + 4;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 5;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 6;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 7;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 8;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 9;
constexpr UINT CM_ENTER = CM_BASE + 10;
constexpr UINT CM_EXIT = CM_BASE + 11;
constexpr UINT CM_DIALOGKEY = CM_BASE + 12;   // WParam: virtual key; Result 1 when used
constexpr UINT CM_DIALOGCHAR = CM_BASE + 13;  // WParam: character; Result 1 when used
constexpr UINT CM_MOUSEENTER = CM_BASE + 14;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 15;
constexpr UINT CM_CANCELMODE = CM_BASE + 16;  // LParam: the control that keeps the mode
constexpr UINT CM_HINTSHOW = CM_BASE + 17;    // LParam: THintInfo*; Result 0 lets it show
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 18;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 0x18;  // WParam: group index; LParam: the button

enum TShiftStateFlag : uint32_t {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6,
    ssTouch = 1u << 7,
};
using TShiftState = uint32_t;

enum TMouseButton {
    mbLeft,
    mbRight,
    mbMiddle
};

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crArrow = -2;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crHandPoint = -21;

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrClose = 8;

}  // namespace dcs
