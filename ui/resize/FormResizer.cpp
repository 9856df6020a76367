#include "ui/resize/FormResizer.h"

#include "platform/base/Format.h"
#include "platform/base/Strings.h"
#include "platform/base/SysUtils.h"
#include "platform/classes/Streaming.h"
#include "ui/resize/FormResizerInternal.h"

#include <algorithm>

namespace dcs {

using namespace resize_detail;

namespace resize_detail {
TResizeUnit& Unit()
{
    static TResizeUnit unit;
    return unit;
}
}  // namespace resize_detail

namespace {

const TEnumInfo kFormPositions {"TResizeFormPos",
                                {"rpDefault", "rpTopLeft", "rpTopCenter", "rpTopRight", "rpMiddleLeft",
                                 "rpMiddleCenter", "rpMiddleRight", "rpBottomLeft", "rpBottomCenter", "rpBottomRight"}};

bool StartsWithKitName(const std::string& Text) { return Text.compare(0, 7, "RKitAdd") == 0; }

}  // namespace

void TFormResizer::DeclareProperties(TClassBuilder<TFormResizer>& P)
{
    P.Enum("FormPos", kFormPositions, &TFormResizer::FFormPos, &TFormResizer::SetFormPos).NoDefault();
    P.Integer("FormWidth", &TFormResizer::FFormWidth, &TFormResizer::SetFormWidth).NoDefault();
    P.Integer("FormHeight", &TFormResizer::FFormHeight, &TFormResizer::SetFormHeight).NoDefault();
    P.Integer("FormMaxWidth", &TFormResizer::FFormMaxWidth, &TFormResizer::SetFormMaxWidth).NoDefault();
    P.Integer("FormMaxHeight", &TFormResizer::FFormMaxHeight, &TFormResizer::SetFormMaxHeight).NoDefault();
    P.Integer("FormMinWidth", &TFormResizer::FFormMinWidth, &TFormResizer::SetFormMinWidth).NoDefault();
    P.Integer("FormMinHeight", &TFormResizer::FFormMinHeight, &TFormResizer::SetFormMinHeight).NoDefault();
    P.Boolean("ResizeFont", &TFormResizer::FResizeFont, &TFormResizer::SetResizeFont).NoDefault();
    P.String("NoResizeFntCtl", &TFormResizer::FNoResizeFntCtl, &TFormResizer::SetNoResizeFntCtl);
    P.String("NoResizeCtl", &TFormResizer::FNoResizeCtl, &TFormResizer::SetNoResizeCtl);
    P.Boolean("Enabled", &TFormResizer::FEnabled, &TFormResizer::SetEnabled).NoDefault();
    P.Boolean("ValidTaskbar", &TFormResizer::FValidTaskbar, &TFormResizer::SetValidTaskbar).NoDefault();
    P.Event("OnExitResize", &TFormResizer::OnExitResize, nullptr, "TExitResizeEvent");
}

TFormResizer::TFormResizer(TComponent* AOwner) : TFormResizer(AOwner, ControlLayerSeams(AOwner)) {}

TFormResizer::TFormResizer(TComponent* AOwner, TResizeSeams Seams) : TComponent(AOwner), FSeams(std::move(Seams))
{
    TResizeUnit& u = Unit();
    ++u.Live;
    if (!FSeams.System)
        return;
    u.Japanese = FSeams.System->JapaneseLocale();
    if (Designing())
        return;
    u.OsMajor = FSeams.System->OsMajor();
    u.OsMinor = FSeams.System->OsMinor();
    // One hook serves every kit of the thread; a second one would only be orphaned.
    if (u.OsMajor == 4 && !u.Hook) {
        FSeams.System->InstallHook();
        u.Hook = FSeams.System;
    }
}

TFormResizer::~TFormResizer()
{
    TResizeUnit& u = Unit();
    --u.Live;
    std::erase(u.Kits, this);
    // Give the window its own procedure back; left in place, the kit's procedure would
    // no longer find the kit nor the way on to the form's own handler.
    if (FIntercepting) {
        SetIntercepting(false);
    }
    // The hook is shared: it goes with the last kit.
    if (u.Hook && u.Live == 0) {
        u.Hook->RemoveHook();
        u.Hook.reset();
    }
}

const std::vector<TFormResizer*>& TFormResizer::FormResizerList() { return Unit().Kits; }

bool TFormResizer::Japanese() const
{
    if (FSeams.System)
        Unit().Japanese = FSeams.System->JapaneseLocale();
    return Unit().Japanese;
}

// Kind: 'A' below zero, 'B' below the minimum, 'C' above the maximum, 'D' below the
// size, 'E' above the size. Axis: "Width" or "Height".
void TFormResizer::SizeError(char Kind, const char* Axis) const
{
    bool ja = Japanese();
    if (Kind == 'A')
        throw EInvalidOperation(ja ? "0 以上の値を入れてください" : "Set this value equal to or greater than 0");
    bool greater = Kind == 'B' || Kind == 'D';
    std::string prop = std::string(Kind == 'B' ? "FormMin" : Kind == 'C' ? "FormMax" : "Form") + Axis;
    if (ja)
        throw EInvalidOperation(prop + (greater ? " 以上の値を入れてください" : " 以下の値を入れてください"));
    throw EInvalidOperation(std::string("Set this value equal to or ") + (greater ? "greater" : "less") + " than the " +
                            prop);
}

// A value of 0 is always taken; otherwise the checks run in order and the first that
// fails refuses the value.
void TFormResizer::StoreSize(int& Field, int V, const char* Axis, bool Fail2, char Kind2, bool Fail3, char Kind3)
{
    if (V != 0) {
        if (V < 0)
            SizeError('A', Axis);
        if (Fail2)
            SizeError(Kind2, Axis);
        if (Fail3)
            SizeError(Kind3, Axis);
    }
    Field = V;
}

void TFormResizer::SetFormWidth(int V)
{
    StoreSize(FFormWidth, V, "Width", V < FFormMinWidth, 'B', FFormMaxWidth != 0 && V > FFormMaxWidth, 'C');
}

void TFormResizer::SetFormHeight(int V)
{
    StoreSize(FFormHeight, V, "Height", V < FFormMinHeight, 'B', FFormMaxHeight != 0 && V > FFormMaxHeight, 'C');
}

void TFormResizer::SetFormMaxWidth(int V)
{
    StoreSize(FFormMaxWidth, V, "Width", FFormMinWidth != 0 && V < FFormMinWidth, 'B',
              FFormWidth != 0 && V < FFormWidth, 'D');
}

void TFormResizer::SetFormMaxHeight(int V)
{
    StoreSize(FFormMaxHeight, V, "Height", FFormMinHeight != 0 && V < FFormMinHeight, 'B',
              FFormHeight != 0 && V < FFormHeight, 'D');
}

void TFormResizer::SetFormMinWidth(int V)
{
    StoreSize(FFormMinWidth, V, "Width", FFormMaxWidth != 0 && V > FFormMaxWidth, 'C',
              FFormWidth != 0 && V > FFormWidth, 'E');
}

void TFormResizer::SetFormMinHeight(int V)
{
    StoreSize(FFormMinHeight, V, "Height", FFormMaxHeight != 0 && V > FFormMaxHeight, 'C',
              FFormHeight != 0 && V > FFormHeight, 'E');
}

void TFormResizer::ParseNames(const std::string& Text, std::vector<std::string>& List)
{
    List.clear();
    size_t start = 0;
    for (size_t semi; (semi = Text.find(';', start)) != std::string::npos; start = semi + 1)
        List.push_back(Text.substr(start, semi - start));
    if (start < Text.size())
        List.push_back(Text.substr(start));
}

void TFormResizer::SetNoResizeFntCtl(const std::string& V)
{
    FNoResizeFntCtl = V;
    if (!Designing())
        ParseNames(V, FNoResizeFntCtls);
}

void TFormResizer::SetNoResizeCtl(const std::string& V)
{
    FNoResizeCtl = V;
    if (!Designing())
        ParseNames(V, FNoResizeCtls);
}

namespace {
bool InList(const std::vector<std::string>& List, const std::string& Name)
{
    return std::any_of(List.begin(), List.end(), [&](const std::string& s) { return SameText(s, Name); });
}
}  // namespace

bool TFormResizer::InNoResizeCtls(const std::string& Name) const { return InList(FNoResizeCtls, Name); }
bool TFormResizer::InNoResizeFntCtls(const std::string& Name) const { return InList(FNoResizeFntCtls, Name); }

void TFormResizer::SetDesignLayout(int FrmW, int FrmH, int DpiW, int DpiH)
{
    FDesignFrmW = FrmW;
    FDesignFrmH = FrmH;
    FDesignDpiW = DpiW;
    FDesignDpiH = DpiH;
}

// A kit stored without a design size or resolution has nothing to scale from: every
// scale would divide by zero.
bool TFormResizer::HasLayout() const
{
    return FDesignFrmW > 0 && FDesignFrmH > 0 && FDesignDpiW > 0 && FDesignDpiH > 0;
}

void TFormResizer::DefineProperties(TFiler& Filer)
{
    TComponent::DefineProperties(Filer);
    auto define = [&](const char* Name, int TFormResizer::*Field, auto Current) {
        Filer.DefineProperty(
            Name, [this, Field](TReader& R) { this->*Field = R.ReadInteger(); },
            [this, Field, Current](TWriter& W) { W.WriteInteger(Current ? Current() : this->*Field); }, true);
    };
    IResizeForm* form = FSeams.Form.get();
    IResizeSystem* sys = FSeams.System.get();
    using TGet = std::function<int()>;
    define("DesignFrmW", &TFormResizer::FDesignFrmW, form ? TGet([form] { return form->ClientWidth(); }) : TGet());
    define("DesignFrmH", &TFormResizer::FDesignFrmH, form ? TGet([form] { return form->ClientHeight(); }) : TGet());
    define("DesignDpiW", &TFormResizer::FDesignDpiW, sys ? TGet([sys] { return sys->DpiX(); }) : TGet());
    define("DesignDpiH", &TFormResizer::FDesignDpiH, sys ? TGet([sys] { return sys->DpiY(); }) : TGet());
}

TCtrlInfo TFormResizer::MakeLoadRecord(IResizeComponent& C, long double Rx)
{
    TCtrlInfo r;
    r.Name = C.Name();
    if (C.Publishes("Font")) {
        r.ParentFont = r.OrgParentFont = C.ParentFont();
        if (!r.ParentFont)
            C.SetFontSize(DivRound(C.FontSize(), static_cast<double>(Rx)));
        r.Font = C.FontSize();
        r.OldFontSize = C.FontSize();
    }
    r.Left = C.Left();
    r.Top = C.Top();
    r.Width = C.Width();
    r.Height = C.Height();
    return r;
}

void TFormResizer::Loaded()
{
    TComponent::Loaded();
    if (Designing() || !FSeams.Form || !FSeams.Window || !FSeams.System)
        return;
    IResizeForm& form = *FSeams.Form;
    FOwnerWidth = FDesignFrmW;
    FOwnerHeight = FDesignFrmH;
    FRunDpiW = FSeams.System->DpiX();
    FRunDpiH = FSeams.System->DpiY();
    bool layout = HasLayout() && FRunDpiW > 0 && FRunDpiH > 0;
    double rx = 1.0, ry = 1.0;
    if (layout) {
        rx = static_cast<double>(static_cast<long double>(FDesignDpiW) / FRunDpiW);
        ry = static_cast<double>(static_cast<long double>(FDesignDpiH) / FRunDpiH);
    }
    if (!form.HasFieldFor(Name()))
        return;
    TResizeUnit& u = Unit();
    u.Kits.push_back(this);
    FListed = true;
    FOwnerFormName = form.Name();
    FOwnerHandle = FSeams.Window->Handle();
    FOwnerFont = form.FontSize();

    if (layout) {
        form.SetFontSize(DivRound(form.FontSize(), rx));
        FOwnerFont = form.FontSize();

        int s = 0;
        for (int i = 0; i < form.ComponentCount(); ++i) {
            IResizeComponent& comp = *form.Component(i);
            int c = comp.ComponentCount();
            if (c > 0) {
                s += c;
                if (!comp.IsFrame())
                    c = 0;
            }
            if (comp.IsControl() && !InNoResizeCtls(comp.Name())) {
                TCtrlInfo r = MakeLoadRecord(comp, rx);
                r.ChildCtlCnt = c;
                FCtrls.push_back(std::move(r));
            }
            for (int k = 0; k < c; ++k) {
                IResizeComponent& child = *comp.Component(k);
                if (child.IsControl() && !InNoResizeCtls(child.Name())) {
                    TCtrlInfo r = MakeLoadRecord(child, rx);
                    r.ParentName = comp.Name();
                    FChildCtrls.push_back(std::move(r));
                }
            }
        }

        double sx = rx, sy = ry;
        TResizeBorder border = form.BorderStyle();
        if ((border == TResizeBorder::Dialog || border == TResizeBorder::None) && FFormWidth == 0 && FFormHeight == 0)
            sx = sy = 1.0;
        if (border == TResizeBorder::None && form.WindowStateMaximized()) {
            sx = rx;
            sy = ry;
        }
        auto place = [&](IResizeComponent& c, TCtrlInfo& r) {
            c.SetLeft(DivRound(r.Left, sx));
            c.SetTop(DivRound(r.Top, sy));
            c.SetWidth(DivRound(r.Width, sx));
            c.SetHeight(DivRound(r.Height, sy));
            r.Left = r.OldLeft = c.Left();
            r.Top = r.OldTop = c.Top();
            r.Width = r.OldWidth = c.Width();
            r.Height = r.OldHeight = c.Height();
        };
        for (int i = 0; i < form.ComponentCount(); ++i) {
            IResizeComponent& comp = *form.Component(i);
            if (comp.IsControl() && !InNoResizeCtls(comp.Name()))
                if (TCtrlInfo* r = FindRecord(comp.Name()))
                    place(comp, *r);
            for (int k = 0; k < comp.ComponentCount(); ++k) {
                IResizeComponent& child = *comp.Component(k);
                if (child.IsControl() && !InNoResizeCtls(child.Name()))
                    if (TCtrlInfo* r = FindChildRecord(comp.Name(), child.Name()))
                        place(child, *r);
            }
        }
        FCtlCnt = form.ComponentCount();
        FChildCtlCnt = s;
    }

    if (u.OsMajor > 4)
        SetIntercepting(true);
}

TCtrlInfo* TFormResizer::FindRecord(const std::string& Name)
{
    for (TCtrlInfo& r : FCtrls)
        if (r.Name == Name)
            return &r;
    return nullptr;
}

TCtrlInfo* TFormResizer::FindChildRecord(const std::string& Frame, const std::string& Name)
{
    for (TCtrlInfo& r : FChildCtrls)
        if (r.ParentName == Frame && r.Name == Name)
            return &r;
    return nullptr;
}

void TFormResizer::RegisterControl(IResizeComponent& C, const std::string& FrameName, int ChildCount)
{
    ++FAddCnt;
    if (Trim(C.Name()).empty())
        C.SetName(Format("RKitAdd%.4d", FAddCnt));
    if (C.Publishes("Caption") && StartsWithKitName(C.Text()))
        C.SetText("");
    if (C.Publishes("Text") && StartsWithKitName(C.Text()))
        C.SetText("");
    TCtrlInfo r;
    r.Name = C.Name();
    if (FPrevScaleX != 0) {
        r.Left = DivRound(C.Left(), FPrevScaleX);
        r.Width = DivRound(C.Width(), FPrevScaleX);
    }
    if (FPrevScaleY != 0) {
        r.Top = DivRound(C.Top(), FPrevScaleY);
        r.Height = DivRound(C.Height(), FPrevScaleY);
    }
    r.OldLeft = C.Left();
    r.OldTop = C.Top();
    r.OldWidth = C.Width();
    r.OldHeight = C.Height();
    if (C.Publishes("Font")) {
        r.Font = C.FontSize();
        r.ParentFont = r.OrgParentFont = C.ParentFont();
        if (FPrevScaleF != 0) {
            r.Font = DivRound(C.FontSize(), FPrevScaleF);
            r.OldFontSize = C.FontSize();
        }
    }
    r.ParentName = FrameName;
    r.ChildCtlCnt = ChildCount;
    (FrameName.empty() ? FCtrls : FChildCtrls).push_back(std::move(r));
}

void TFormResizer::CountComponents(int& N, int& S) const
{
    IResizeForm& form = *FSeams.Form;
    N = form.ComponentCount();
    S = 0;
    for (int i = 0; i < N; ++i)
        S += form.Component(i)->ComponentCount();
}

void TFormResizer::RegisterNewControls()
{
    IResizeForm& form = *FSeams.Form;
    for (int i = 0; i < form.ComponentCount(); ++i) {
        IResizeComponent& comp = *form.Component(i);
        if (!comp.IsControl() || InNoResizeCtls(comp.Name()) || FindRecord(comp.Name()))
            continue;
        int c = comp.IsFrame() ? comp.ComponentCount() : 0;
        RegisterControl(comp, "", c);
        for (int k = 0; k < c; ++k) {
            IResizeComponent& child = *comp.Component(k);
            if (child.IsControl() && !InNoResizeCtls(child.Name()) && !FindChildRecord(comp.Name(), child.Name()))
                RegisterControl(child, comp.Name(), 0);
        }
    }
    CountComponents(FCtlCnt, FChildCtlCnt);
}

void TFormResizer::RemoveMissingControls()
{
    IResizeForm& form = *FSeams.Form;
    auto findControl = [&](const std::string& Name) -> IResizeComponent* {
        for (int i = 0; i < form.ComponentCount(); ++i) {
            IResizeComponent* c = form.Component(i);
            if (c->IsControl() && c->Name() == Name)
                return c;
        }
        return nullptr;
    };
    std::vector<bool> dropChild(FChildCtrls.size(), false);
    std::vector<bool> drop(FCtrls.size(), false);
    for (size_t i = 0; i < FCtrls.size(); ++i) {
        TCtrlInfo& r = FCtrls[i];
        IResizeComponent* c = findControl(r.Name);
        if (!c) {
            if (r.ChildCtlCnt > 0)
                for (size_t k = 0; k < FChildCtrls.size(); ++k)
                    if (FChildCtrls[k].ParentName == r.Name)
                        dropChild[k] = true;
            drop[i] = true;
        } else if (c->IsFrame() && c->ComponentCount() > 0) {
            for (size_t k = 0; k < FChildCtrls.size(); ++k) {
                if (dropChild[k] || FChildCtrls[k].ParentName != r.Name)
                    continue;
                bool present = false;
                for (int j = 0; j < c->ComponentCount() && !present; ++j)
                    present = c->Component(j)->Name() == FChildCtrls[k].Name;
                if (!present) {
                    dropChild[k] = true;
                    r.ChildCtlCnt = std::max(0, r.ChildCtlCnt - 1);
                }
            }
        }
    }
    auto compact = [](std::vector<TCtrlInfo>& List, const std::vector<bool>& Drop) {
        size_t out = 0;
        for (size_t i = 0; i < List.size(); ++i)
            if (!Drop[i])
                List[out++] = std::move(List[i]);
        List.resize(out);
    };
    compact(FCtrls, drop);
    compact(FChildCtrls, dropChild);
    CountComponents(FCtlCnt, FChildCtlCnt);
}

void TFormResizer::DynamicAdd()
{
    if (FSeams.Form)
        RegisterNewControls();
}

void TFormResizer::DynamicDelete()
{
    if (FSeams.Form)
        RemoveMissingControls();
}

}  // namespace dcs
