#include "platform/controls/Forms.h"

#include "platform/classes/Resources.h"
#include "platform/win/Application.h"
#include "platform/win/PlatformFacts.h"

#include <cairo.h>

#include <algorithm>

namespace dcs {

namespace {

TPresenter* CurrentPresenter = nullptr;
constexpr UINT CM_RELEASE = CM_BASE + 40;

const TEnumInfo kBorderStyles {"TFormBorderStyle",
                               {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}};
const TEnumInfo kBorderIcons {"TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}};
const TEnumInfo kPositions {"TPosition",
                            {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                             "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"}};

// GetDC of any window of a form draws on the form's backbuffer.
HBITMAP FormSurface(HWND Wnd)
{
    auto* f = As<TCustomForm>(TWinControl::FindControl(GetAncestorRoot(Wnd)));
    return f ? f->Backbuffer().Bitmap() : nullptr;
}

const bool kSurfaceProviderSet = [] {
    SetWindowSurfaceProvider(&FormSurface);
    return true;
}();

}  // namespace

void SetPresenter(TPresenter* P)
{
    CurrentPresenter = P;
    SetWindowObserver(P);
}

TPresenter* GetPresenter() { return CurrentPresenter; }

// ---------------------------------------------------------------------------------
// TSizeConstraints

void TSizeConstraints::DeclareProperties(TClassBuilder<TSizeConstraints>& P)
{
    P.Integer("MaxHeight", &TSizeConstraints::MaxHeight, &TSizeConstraints::MaxHeight).Default(0);
    P.Integer("MaxWidth", &TSizeConstraints::MaxWidth, &TSizeConstraints::MaxWidth).Default(0);
    P.Integer("MinHeight", &TSizeConstraints::MinHeight, &TSizeConstraints::MinHeight).Default(0);
    P.Integer("MinWidth", &TSizeConstraints::MinWidth, &TSizeConstraints::MinWidth).Default(0);
}

void TSizeConstraints::Assign(TPersistent* Source)
{
    if (auto* c = As<TSizeConstraints>(Source)) {
        MinWidth = c->MinWidth;
        MinHeight = c->MinHeight;
        MaxWidth = c->MaxWidth;
        MaxHeight = c->MaxHeight;
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------------
// TCustomForm

void TCustomForm::DeclareProperties(TClassBuilder<TCustomForm>& P)
{
    P.Component("ActiveControl", &TCustomForm::FActiveControl, &TCustomForm::SetActiveControl);
    P.Set("BorderIcons", "TBorderIcons", kBorderIcons, &TCustomForm::FBorderIcons, &TCustomForm::SetBorderIcons)
        .Default(kDefaultBorderIcons);
    P.Enum("BorderStyle", kBorderStyles, &TCustomForm::FBorderStyle, &TCustomForm::SetBorderStyle).Default(bsSizeable);
    P.String("Caption", &TControl::Caption, &TControl::SetCaption);
    P.Integer("ClientHeight", &TControl::ClientHeight, &TControl::SetClientHeight);
    P.Integer("ClientWidth", &TControl::ClientWidth, &TControl::SetClientWidth);
    P.Object("Constraints", &TCustomForm::Constraints, &TCustomForm::SetConstraints);
    P.Object("Icon", &TCustomForm::Icon, &TCustomForm::SetIcon);
    P.Boolean("KeyPreview", &TCustomForm::FKeyPreview, &TCustomForm::SetKeyPreview).Default(false);
    P.Boolean("OldCreateOrder", &TCustomForm::FOldCreateOrder, &TCustomForm::SetOldCreateOrder).Default(false);
    P.Enum("Position", kPositions, &TCustomForm::FPosition, &TCustomForm::SetPosition).Default(poDefaultPosOnly);
    P.Event("OnClose", &TCustomForm::OnClose, nullptr, "TCloseEvent");
    P.Event("OnCloseQuery", &TCustomForm::OnCloseQuery, nullptr, "TCloseQueryEvent");
    P.Event("OnCreate", &TCustomForm::OnCreate);
    P.Event("OnDestroy", &TCustomForm::OnDestroy);
    P.Event("OnHide", &TCustomForm::OnHide);
    P.Event("OnPaint", &TCustomForm::OnPaint);
    P.Event("OnShow", &TCustomForm::OnShow);
}

TCustomForm::TCustomForm(TComponent* AOwner)
    : TWinControl(AOwner), FConstraints(std::make_unique<TSizeConstraints>()), FIcon(std::make_unique<TIcon>())
{
    FIcon->OnChange = [this](TObject*) {
        if (CurrentPresenter && FHandle)
            CurrentPresenter->IconChanged(this);
    };
    SetVisibleFlagOnly(false);
    SetDefaultColor(clBtnFace);
    FControlStyle |= csAcceptsControls;
    FLeft = 0;
    FTop = 0;
    FWidth = 320;
    FHeight = 240;
    Screen()->FForms.push_back(this);
}

TCustomForm::~TCustomForm()
{
    if (TScreen* s = Screen()) {
        std::erase(s->FForms, this);
        if (s->FMainForm == this)
            s->FMainForm = nullptr;
    }
}

void TCustomForm::LeaveScreenList() { std::erase(Screen()->FForms, this); }

void TCustomForm::AfterConstruction()
{
    TWinControl::AfterConstruction();
    InitComponentFromResource(this);
    HandleNeeded();
    DoCreate();
}

void TCustomForm::BeforeDestruction()
{
    if (OnDestroy) {
        try {
            OnDestroy(this);
        } catch (...) {
            if (Application)
                Application->HandleException(this);
        }
    }
    if (FModal)
        FModalResult = mrCancel;
    TWinControl::BeforeDestruction();
}

void TCustomForm::DoCreate()
{
    if (OnCreate)
        OnCreate(this);
}

void TCustomForm::Loaded()
{
    TWinControl::Loaded();
    if (FActiveControl && FActiveControl->Owner() != this && FActiveControl->Owner() != Owner())
        FActiveControl = nullptr;
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FActiveControl)
        FActiveControl = nullptr;
}

void TCustomForm::GetChildren(const TGetChildProc& Proc, TComponent* Root)
{
    if (Root == this)
        for (int i = 0; i < ComponentCount(); ++i)
            if (!Components(i)->HasParent())
                Proc(Components(i));
    TWinControl::GetChildren(Proc, Root);
}

void TCustomForm::CreateParams(TCreateParams& P)
{
    TWinControl::CreateParams(P);
    P.WndParent = 0;
    P.Style = WS_CLIPCHILDREN;
    switch (FBorderStyle) {
    case bsNone: P.Style |= WS_POPUP; break;
    case bsSingle: P.Style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX; break;
    case bsSizeable: P.Style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX; break;
    case bsDialog: P.Style |= WS_CAPTION | WS_SYSMENU; break;
    case bsToolWindow:
        P.Style |= WS_CAPTION | WS_SYSMENU;
        P.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    case bsSizeToolWin:
        P.Style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
        P.ExStyle |= WS_EX_TOOLWINDOW;
        break;
    }
}

void TCustomForm::SetActiveControl(TWinControl* V)
{
    if (V == FActiveControl)
        return;
    if (V && GetParentForm(V) != this && !IsLoadingInChain())
        throw EInvalidOperation("Invalid active control");
    if (Visible() && V && !IsLoadingInChain())
        FocusControl(V);
    else
        FActiveControl = V;
}

void TCustomForm::FocusControl(TWinControl* Control)
{
    if (!Control || !Control->CanFocus() || !Visible()) {
        if (Control && !Visible())
            FActiveControl = Control;
        return;
    }
    dcs::SetFocus(Control->Handle());
}

void TCustomForm::SetFocusedControl(TWinControl* Control)
{
    if (Control == FActiveControl && Control && Control->Focused())
        return;
    TWinControl* old = FActiveControl;
    FActiveControl = Control;
    if (old && old != Control)
        old->Perform(CM_EXIT, 0, 0);
    if (Control && old != Control)
        Control->Perform(CM_ENTER, 0, 0);
}

void TCustomForm::ControlRemoving(TWinControl* Control)
{
    if (FActiveControl == Control ||
        (FActiveControl && Control->FHandle && IsChild(Control->FHandle, FActiveControl->FHandle)))
        FActiveControl = nullptr;
}

void TCustomForm::PlaceOnFirstShow()
{
    if (FPlaced)
        return;
    FPlaced = true;
    TRect area {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const TCustomForm* over = nullptr;
    if (FPosition == poOwnerFormCenter)
        over = As<TCustomForm>(Owner());
    else if (FPosition == poMainFormCenter)
        over = Screen()->MainForm() != this ? Screen()->MainForm() : nullptr;
    if (over)
        area = over->BoundsRect();
    else if (FPosition != poScreenCenter && FPosition != poDesktopCenter && FPosition != poOwnerFormCenter &&
             FPosition != poMainFormCenter)
        return;
    SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2, Width(), Height());
}

void TCustomForm::SetVisible(bool V)
{
    if (V == Visible())
        return;
    if (V) {
        PlaceOnFirstShow();
        SetVisibleFlagOnly(true);
        HWND h = Handle();
        ShowWindow(h, SW_SHOW);
        SetActiveWindow(h);
        TWinControl* focus = FActiveControl;
        if (!focus || !focus->CanFocus())
            focus = FindNextControl(nullptr, true, true, false);
        if (focus)
            FocusControl(focus);
        DoShow();
    } else {
        SetVisibleFlagOnly(false);
        if (FHandle) {
            if (GetActiveWindow() == FHandle)
                SetActiveWindow(0);
            ShowWindow(FHandle, SW_HIDE);
        }
        DoHide();
    }
}

void TCustomForm::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide()
{
    if (OnHide)
        OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action)
{
    if (OnClose)
        OnClose(this, Action);
}

bool TCustomForm::CloseQuery()
{
    bool can = true;
    if (OnCloseQuery)
        OnCloseQuery(this, can);
    return can;
}

void TCustomForm::Close()
{
    if (FModal) {
        FModalResult = mrCancel;
        return;
    }
    if (!CloseQuery())
        return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone)
        return;
    if (Screen()->MainForm() == this) {
        if (Application)
            Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: ShowWindow(Handle(), SW_MINIMIZE); break;
    case caFree: Release(); break;
    default: break;
    }
}

void TCustomForm::Release() { PostMessage(Handle(), CM_RELEASE, 0, 0); }

TModalResult TCustomForm::ShowModal()
{
    if (Visible() || FModal)
        throw EInvalidOperation("Cannot make a visible window modal");
    std::vector<HWND> disabled;
    EnumWindows([&](HWND h) {
        if (h != Handle() && GetWindowThreadProcessId(h, nullptr) == GetWindowThreadProcessId(Handle(), nullptr) &&
            IsWindowEnabled(h) && IsWindowVisible(h)) {
            EnableWindow(h, false);
            disabled.push_back(h);
        }
        return true;
    });
    HWND previousActive = GetActiveWindow();
    FModal = true;
    FModalResult = mrNone;
    auto restore = [&] {
        FModal = false;
        for (HWND h : disabled)
            EnableWindow(h, true);
        if (IsWindow(previousActive))
            SetActiveWindow(previousActive);
    };
    try {
        Show();
        auto done = [this] {
            if (FModalResult == mrNone)
                return false;
            // Closing through OnClose may still refuse.
            if (!CloseQuery()) {
                FModalResult = mrNone;
                return false;
            }
            TCloseAction action = caHide;
            DoClose(action);
            if (action == caNone) {
                FModalResult = mrNone;
                return false;
            }
            return true;
        };
        if (Application) {
            Application->ModalLoop(done);
        } else {
            while (!done()) {
                TMsg m;
                if (PeekMessage(m, true)) {
                    if (m.message == WM_QUIT) {
                        PostQuitMessage(int(m.wParam));
                        break;
                    }
                    DispatchMessage(m);
                } else {
                    WaitMessage();
                }
            }
        }
        Hide();
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return FModalResult;
}

void TCustomForm::PaintNow()
{
    if (!FHandle)
        return;
    if (FBackbuffer.Resize(FWidth, FHeight))
        InvalidateRect(FHandle, nullptr, true);
    TRect dirty = ComposeWindowTree(FHandle, FBackbuffer.Surface());
    if (!dirty.IsEmpty() && CurrentPresenter)
        CurrentPresenter->Present(this, dirty);
}

void TCustomForm::PaintWindow(TCanvas& Canvas)
{
    if (!OnPaint)
        return;
    FCanvas = &Canvas;
    try {
        OnPaint(this);
    } catch (...) {
        FCanvas = nullptr;
        throw;
    }
    FCanvas = nullptr;
}

void TCustomForm::WndProc(TMessage& M)
{
    switch (M.Msg) {
    case WM_PAINT:
        // Sent by the compositor for the form itself; posted (or sent by UpdateWindow)
        // to start a repaint of the whole tree.
        if (CurrentPaintContext())
            TWinControl::WndProc(M);
        else
            PaintNow();
        return;
    case WM_CLOSE: Close(); return;
    case CM_RELEASE: Free(this); return;
    case WM_GETMINMAXINFO: {
        auto* mmi = reinterpret_cast<MINMAXINFO*>(M.LParam);
        if (FConstraints->MinWidth > 0)
            mmi->ptMinTrackSize.X = FConstraints->MinWidth;
        if (FConstraints->MinHeight > 0)
            mmi->ptMinTrackSize.Y = FConstraints->MinHeight;
        if (FConstraints->MaxWidth > 0)
            mmi->ptMaxTrackSize.X = FConstraints->MaxWidth;
        if (FConstraints->MaxHeight > 0)
            mmi->ptMaxTrackSize.Y = FConstraints->MaxHeight;
        return;
    }
    case CM_DIALOGKEY: {
        WPARAM key = M.WParam;
        if (key == VK_TAB || key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) {
            bool forward = key == VK_TAB ? GetKeyState(int(VK_SHIFT)) >= 0 : (key == VK_RIGHT || key == VK_DOWN);
            SelectNext(FActiveControl, forward, true);
            M.Result = 1;
            return;
        }
        TWinControl::WndProc(M);
        return;
    }
    default: TWinControl::WndProc(M);
    }
}

// ---------------------------------------------------------------------------------
// TScreen

TScreen* Screen()
{
    static TScreen* s = new TScreen(nullptr);  // lives as long as the program
    return s;
}

TCustomForm* TScreen::ActiveForm() const
{
    for (TCustomForm* f : FForms)
        if (f->HandleAllocated() && f->Handle() == GetActiveWindow())
            return f;
    return nullptr;
}

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }
TRect TScreen::WorkAreaRect() const { return GetWorkArea(); }
int TScreen::PixelsPerInch() const { return PlatformFacts().DpiX; }

}  // namespace dcs
