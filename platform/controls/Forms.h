// Forms (top-level windows made of controls), the screen, and the presenter that makes
// forms visible.
//
// A form class that has a stored tree (see platform/classes/Resources.h) reads it into
// itself when it is created, so its components, properties, links and event bindings
// come up as stored; OnCreate runs afterwards. A form paints its whole tree into its
// backbuffer, which the presenter shows (the SDL window) or a test reads (headless).
#pragma once

#include "platform/controls/Compositor.h"
#include "platform/controls/Controls.h"
#include "platform/controls/GraphicFormats.h"
#include "platform/win/Application.h"

namespace dcs {

enum TFormBorderStyle {
    bsNone,
    bsSingle,
    bsSizeable,
    bsDialog,
    bsToolWindow,
    bsSizeToolWin
};
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TCloseAction {
    caNone,
    caHide,
    caFree,
    caMinimize
};
enum TBorderIcon {
    biSystemMenu,
    biMinimize,
    biMaximize,
    biHelp
};
using TBorderIcons = uint32_t;  // bit i = TBorderIcon i
constexpr TBorderIcons kDefaultBorderIcons = 1u << biSystemMenu | 1u << biMinimize | 1u << biMaximize;
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TCustomForm;

// Turns top-level forms into something a person sees. The headless default shows
// nothing: tests read the forms' backbuffers.
class TPresenter : public IWindowObserver {
public:
    // The form's backbuffer changed inside Dirty (form client coordinates).
    virtual void Present(TCustomForm* Form, const TRect& Dirty) = 0;
    // The form's icon changed (or was cleared).
    virtual void IconChanged(TCustomForm* Form) { (void)Form; }
};
// The presenter in force (null: headless). Installing one also makes it the window
// observer. The caller keeps it alive while installed.
void SetPresenter(TPresenter* Presenter);
TPresenter* GetPresenter();

class TSizeConstraints : public TPersistent {
    DCS_CLASS(TSizeConstraints, TPersistent)

    TSizeConstraints() = default;
    int MinWidth = 0;
    int MinHeight = 0;
    int MaxWidth = 0;  // 0: no limit
    int MaxHeight = 0;
    void Assign(TPersistent* Source) override;

    static void DeclareProperties(TClassBuilder<TSizeConstraints>& P);
};

class TCustomForm : public TWinControl {
    DCS_CLASS(TCustomForm, TWinControl)

    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle V) { FBorderStyle = V; }
    // Kept for the presenter; without biSystemMenu the window offers no system menu.
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons V) { FBorderIcons = V; }
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition V) { FPosition = V; }
    TSizeConstraints* Constraints() const { return FConstraints.get(); }
    void SetConstraints(TSizeConstraints* V) { FConstraints->Assign(V); }
    bool OldCreateOrder() const { return FOldCreateOrder; }
    void SetOldCreateOrder(bool V) { FOldCreateOrder = V; }
    // The window's icon; empty for none.
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(TIcon* V) { FIcon->Assign(V); }
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool V) { FKeyPreview = V; }

    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* V);
    // Focuses Control (moving CM_EXIT / CM_ENTER along); the form must be showing.
    void FocusControl(TWinControl* Control);
    // Called by a control that received the focus.
    void SetFocusedControl(TWinControl* Control);
    void ControlRemoving(TWinControl* Control);

    void SetVisible(bool V) override;
    bool Showing() const override { return Visible(); }
    void Close();
    // Runs OnCloseQuery; false when a handler refuses.
    virtual bool CloseQuery();
    // Shows the form modally on a nested message loop (timers keep ticking) and answers
    // the modal result once one is set; every other form is disabled meanwhile.
    TModalResult ShowModal();
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult V) { FModalResult = V; }
    bool Modal() const { return FModal; }
    // Frees the form once the messages being handled are done.
    void Release();

    TBackbuffer& Backbuffer() { return FBackbuffer; }
    // Paints what is invalid into the backbuffer now (and presents it).
    void PaintNow();
    // Valid while the form paints (OnPaint).
    TCanvas* Canvas() const { return FCanvas; }

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    void WndProc(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    bool HasParent() const override { return false; }
    // The form's components without a parent (timers, actions, image lists) come
    // first, then its controls.
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

    static void DeclareProperties(TClassBuilder<TCustomForm>& P);

protected:
    void CreateParams(TCreateParams& Params) override;
    void PaintWindow(TCanvas& Canvas) override;
    virtual void DoCreate();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    void PlaceOnFirstShow();
    // For top-level windows that are no forms of the program (hint windows).
    void LeaveScreenList();

private:
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons = kDefaultBorderIcons;
    TPosition FPosition = poDefaultPosOnly;
    std::unique_ptr<TSizeConstraints> FConstraints;
    std::unique_ptr<TIcon> FIcon;
    bool FOldCreateOrder = false;
    bool FKeyPreview = false;
    TWinControl* FActiveControl = nullptr;
    TModalResult FModalResult = mrNone;
    bool FModal = false;
    bool FPlaced = false;
    TBackbuffer FBackbuffer;
    TCanvas* FCanvas = nullptr;
};

class TForm : public TCustomForm {
    DCS_CLASS(TForm, TCustomForm)

    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

class TScreen : public TComponent {
    DCS_CLASS(TScreen, TComponent)

    explicit TScreen(TComponent* AOwner) : TComponent(AOwner) {}
    int FormCount() const { return static_cast<int>(FForms.size()); }
    TCustomForm* Forms(int Index) const { return FForms.at(static_cast<size_t>(Index)); }
    TCustomForm* ActiveForm() const;
    // The first form made with CreateForm.
    TCustomForm* MainForm() const { return FMainForm; }
    void SetMainForm(TCustomForm* F) { FMainForm = F; }
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor V) { FCursor = V; }
    int Width() const;
    int Height() const;
    TRect WorkAreaRect() const;
    int PixelsPerInch() const;

private:
    friend class TCustomForm;
    std::vector<TCustomForm*> FForms;
    TCustomForm* FMainForm = nullptr;
    TCursor FCursor = crDefault;
};

// The program's screen object (made on first use).
TScreen* Screen();

// Creates a form of class T owned by the application object and stores it in Ref; the
// first form made this way becomes the main form. Closing the main form ends the
// program.
template <class T> void CreateForm(T*& Ref, TComponent* Owner = nullptr)
{
    Ref = Create<T>(Owner ? Owner : Application);
    if (!Screen()->MainForm())
        Screen()->SetMainForm(Ref);
}

}  // namespace dcs
