#include "platform/controls/Dialogs.h"

#include "platform/controls/Buttons.h"
#include "platform/controls/Forms.h"

#include <algorithm>

namespace dcs {

namespace {

TMessageBoxHook& Hook()
{
    static TMessageBoxHook h;
    return h;
}

}  // namespace

void SetMessageBoxHook(TMessageBoxHook H) { Hook() = std::move(H); }

int MessageBoxW(HWND Owner, const std::string& Text, const std::string& Caption, UINT Type)
{
    if (Hook())
        return Hook()(Owner, Text, Caption, Type);
    struct TChoice {
        TBitBtnKind Kind;
        TModalResult Result;
        int Answer;
    };
    std::vector<TChoice> buttons;
    switch (Type & 0x0F) {
    case MB_OKCANCEL: buttons = {{bkOK, mrOk, IDOK}, {bkCancel, mrCancel, IDCANCEL}}; break;
    case MB_YESNO: buttons = {{bkYes, mrYes, IDYES}, {bkNo, mrNo, IDNO}}; break;
    default: buttons = {{bkOK, mrOk, IDOK}}; break;
    }
    TOwned<TForm> box(Create<TForm>(nullptr));
    box->SetCaption(Caption);
    box->SetBorderStyle(bsDialog);
    auto* label = Create<TLabel>(box.get());
    label->SetCaption(Text);
    label->SetBounds(16, 16, 0, 0);
    label->SetParent(box.get());
    int bw = 75, gap = 8;
    int rowW = int(buttons.size()) * bw + int(buttons.size() - 1) * gap;
    int w = std::max(label->Width() + 32, rowW + 32);
    int h = label->Height() + 16 + 16 + 25 + 12;
    box->SetBounds(0, 0, w, h);
    int x = (w - rowW) / 2;
    for (const auto& b : buttons) {
        auto* btn = Create<TBitBtn>(box.get());
        btn->SetKind(b.Kind);
        btn->SetBounds(x, h - 12 - 25, bw, 25);
        btn->SetParent(box.get());
        x += bw + gap;
    }
    TWinControl* over = TWinControl::FindControl(GetAncestorRoot(Owner));
    if (over) {
        TRect r = over->BoundsRect();
        box->SetBounds(r.Left + (r.Width() - w) / 2, r.Top + (r.Height() - h) / 2, w, h);
        box->SetPosition(poDesigned);
    } else {
        box->SetPosition(poScreenCenter);
    }
    TModalResult r = box->ShowModal();
    for (const auto& b : buttons)
        if (b.Result == r)
            return b.Answer;
    return buttons.size() == 1 ? IDOK : IDCANCEL;
}

void UseMessageBoxForExceptions()
{
    if (Application)
        Application->SetShowExceptionProc(
            [](const std::string& Message) { MessageBoxW(0, Message, "Error", MB_OK | MB_ICONERROR); });
}

}  // namespace dcs
