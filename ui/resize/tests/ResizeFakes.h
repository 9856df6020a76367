// A fake form, window and desktop for the form resizer's tests: plain values the test
// sets and reads, with just enough behaviour (parent fonts, subclassing, repaint counts)
// to show what the kit does to them.
#pragma once

#include "platform/win/WinDefs.h"
#include "ui/resize/FormResizer.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace dcs::fake {

class FontSource {
public:
    virtual ~FontSource() = default;
    virtual int FontSize() const = 0;
};

class Comp : public IResizeComponent, public FontSource {
public:
    Comp(std::string AName, bool AControl, FontSource* AParent) : N(std::move(AName)), Control(AControl), P(AParent) {}

    std::string N;
    bool Control;
    bool Frame = false;
    FontSource* P;
    int L = 0, T = 0, W = 0, H = 0;
    int Font = 8;
    bool ParentFontOn = false;
    std::set<std::string> Published {"Font", "Caption"};
    std::string Txt;
    std::vector<std::unique_ptr<Comp>> Children;

    Comp& Bounds(int l, int t, int w, int h)
    {
        L = l;
        T = t;
        W = w;
        H = h;
        return *this;
    }
    Comp& Add(std::string AName, bool AControl = true)
    {
        Children.push_back(std::make_unique<Comp>(std::move(AName), AControl, this));
        return *Children.back();
    }

    std::string Name() const override { return N; }
    void SetName(const std::string& V) override { N = V; }
    bool IsControl() const override { return Control; }
    bool IsFrame() const override { return Frame; }
    int ComponentCount() const override { return static_cast<int>(Children.size()); }
    IResizeComponent* Component(int I) override { return Children.at(static_cast<size_t>(I)).get(); }
    int Left() const override { return L; }
    int Top() const override { return T; }
    int Width() const override { return W; }
    int Height() const override { return H; }
    void SetLeft(int V) override { L = V; }
    void SetTop(int V) override { T = V; }
    void SetWidth(int V) override { W = V; }
    void SetHeight(int V) override { H = V; }
    // A control following its parent's font reads the parent's; setting a size of its
    // own ends that, as in the control layer.
    int FontSize() const override { return ParentFontOn && P ? P->FontSize() : Font; }
    void SetFontSize(int V) override
    {
        Font = V;
        ParentFontOn = false;
    }
    bool ParentFont() const override { return ParentFontOn; }
    void SetParentFont(bool V) override
    {
        if (!V && ParentFontOn && P)
            Font = P->FontSize();
        ParentFontOn = V;
    }
    bool Publishes(std::string_view Prop) const override { return Published.count(std::string(Prop)) > 0; }
    std::string Text() const override { return Txt; }
    void SetText(const std::string& V) override { Txt = V; }
};

class Form : public IResizeForm, public FontSource {
public:
    std::string N = "Form1";
    std::set<std::string> Fields {"FormResizer1"};
    std::vector<std::unique_ptr<fake::Comp>> Items;
    int ClientW = 1210, ClientH = 736;
    int Font = 8;
    TResizeBorder Border = TResizeBorder::Other;
    bool StateMaximized = false;

    Form() { Add("FormResizer1", false); }
    fake::Comp& Add(std::string AName, bool AControl = true)
    {
        Items.push_back(std::make_unique<fake::Comp>(std::move(AName), AControl, this));
        return *Items.back();
    }
    fake::Comp& Get(const std::string& AName)
    {
        for (auto& c : Items)
            if (c->N == AName)
                return *c;
        throw std::out_of_range(AName);
    }

    std::string Name() const override { return N; }
    bool HasFieldFor(const std::string& C) const override { return Fields.count(C) > 0; }
    int ComponentCount() const override { return static_cast<int>(Items.size()); }
    IResizeComponent* Component(int I) override { return Items.at(static_cast<size_t>(I)).get(); }
    int ClientWidth() const override { return ClientW; }
    int ClientHeight() const override { return ClientH; }
    int FontSize() const override { return Font; }
    void SetFontSize(int V) override { Font = V; }
    TResizeBorder BorderStyle() const override { return Border; }
    bool WindowStateMaximized() const override { return StateMaximized; }
};

class Window : public IResizeWindow {
public:
    uintptr_t H = 0x100;
    bool Intercepting = false;
    TRect R = TRect::Bounds(100, 100, 1216, 775);
    bool Max = false, Min = false;
    int Locks = 0;
    int Paints = 0;  // repaints the kit caused
    int PaintsWhileLocked = 0;
    std::vector<TRect> Moves;
    std::vector<UINT> OwnMessages;  // what reached the window's own procedure

    // Delivers a message the way the window system would: through the kit's procedure
    // while it is in front of the window's own.
    intptr_t Send(UINT Msg, WPARAM W = 0, LPARAM L = 0)
    {
        if (Intercepting)
            return TFormResizer::ResizeWindowProc(H, Msg, W, L);
        return Own(Msg, W, L);
    }
    intptr_t Own(UINT Msg, WPARAM, LPARAM)
    {
        OwnMessages.push_back(Msg);
        return 7;
    }
    intptr_t Size(int Cx, int Cy) { return Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(Cx, Cy)); }

    uintptr_t Handle() override { return H; }
    void Intercept(bool On) override { Intercepting = On; }
    intptr_t CallPrevious(uint32_t Msg, uintptr_t W, intptr_t L) override { return Own(Msg, W, L); }
    TRect Rect() const override { return R; }
    void Move(int X, int Y, int W, int Hh) override
    {
        R = TRect::Bounds(X, Y, W, Hh);
        Moves.push_back(R);
        Repaint();
    }
    bool Maximized() const override { return Max; }
    bool Minimized() const override { return Min; }
    void LockUpdate(bool Locked) override
    {
        Locks += Locked ? 1 : -1;
        if (!Locked)
            Repaint();
    }
    void Repaint()
    {
        if (Locks > 0)
            ++PaintsWhileLocked;
        else
            ++Paints;
    }
};

class System : public IResizeSystem {
public:
    int SW = 1920, SH = 1080;
    TRect Bar {0, 1040, 1920, 1080};
    bool AutoHide = false;
    int Dpi = 96;
    int Major = 6, Minor = 2;
    bool Ja = false;
    int Hooks = 0;

    int ScreenWidth() const override { return SW; }
    int ScreenHeight() const override { return SH; }
    TRect TaskbarRect() const override { return Bar; }
    bool TaskbarAutoHide() const override { return AutoHide; }
    int DpiX() const override { return Dpi; }
    int DpiY() const override { return Dpi; }
    int OsMajor() const override { return Major; }
    int OsMinor() const override { return Minor; }
    bool JapaneseLocale() const override { return Ja; }
    void InstallHook() override { ++Hooks; }
    void RemoveHook() override { --Hooks; }
};

// One form with its window, desktop and kit.
struct Rig {
    std::shared_ptr<Form> F = std::make_shared<Form>();
    std::shared_ptr<Window> Wnd = std::make_shared<Window>();
    std::shared_ptr<System> Sys = std::make_shared<System>();
    TOwned<TFormResizer> Kit;

    TFormResizer& Make()
    {
        Kit.reset(Create<TFormResizer>(nullptr, TResizeSeams {F, Wnd, Sys}));
        Kit->SetName("FormResizer1");
        return *Kit;
    }
    // Makes the kit if needed and loads it with a stored design layout.
    TFormResizer& Load(int FrmW = 1210, int FrmH = 736, int Dpi = 96)
    {
        if (!Kit)
            Make();
        Kit->SetDesignLayout(FrmW, FrmH, Dpi, Dpi);
        Kit->Loaded();
        return *Kit;
    }
};

}  // namespace dcs::fake
