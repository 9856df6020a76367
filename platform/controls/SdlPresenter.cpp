#include "platform/controls/SdlPresenter.h"

#include "platform/controls/GraphicsInternal.h"
#include "platform/win/Input.h"
#include "platform/win/PlatformFacts.h"

#include <SDL.h>
#include <cairo.h>

#include <cstring>

namespace dcs {

namespace {

constexpr UINT_PTR kPumpTimer = 1;

WPARAM ToVirtualKey(SDL_Keycode K)
{
    if (K >= SDLK_a && K <= SDLK_z)
        return WPARAM('A' + (K - SDLK_a));
    if (K >= SDLK_0 && K <= SDLK_9)
        return WPARAM('0' + (K - SDLK_0));
    if (K >= SDLK_F1 && K <= SDLK_F12)
        return VK_F1 + WPARAM(K - SDLK_F1);
    switch (K) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    default: return 0;
    }
}

WPARAM MouseKeys()
{
    uint32_t b = SDL_GetMouseState(nullptr, nullptr);
    SDL_Keymod m = SDL_GetModState();
    WPARAM k = 0;
    if (b & SDL_BUTTON(SDL_BUTTON_LEFT))
        k |= MK_LBUTTON;
    if (b & SDL_BUTTON(SDL_BUTTON_RIGHT))
        k |= MK_RBUTTON;
    if (b & SDL_BUTTON(SDL_BUTTON_MIDDLE))
        k |= MK_MBUTTON;
    if (m & KMOD_SHIFT)
        k |= MK_SHIFT;
    if (m & KMOD_CTRL)
        k |= MK_CONTROL;
    return k;
}

SDL_HitTestResult HitTest(SDL_Window*, const SDL_Point* Area, void* Data)
{
    HWND wnd = reinterpret_cast<HWND>(Data);
    TPoint s = ClientToScreen(wnd, {Area->x, Area->y});
    switch (SendMessage(wnd, WM_NCHITTEST, 0, MAKELPARAM(s.X, s.Y))) {
    case HTCAPTION: return SDL_HITTEST_DRAGGABLE;
    case HTLEFT: return SDL_HITTEST_RESIZE_LEFT;
    case HTRIGHT: return SDL_HITTEST_RESIZE_RIGHT;
    case HTTOP: return SDL_HITTEST_RESIZE_TOP;
    case HTBOTTOM: return SDL_HITTEST_RESIZE_BOTTOM;
    case HTTOPLEFT: return SDL_HITTEST_RESIZE_TOPLEFT;
    case HTTOPRIGHT: return SDL_HITTEST_RESIZE_TOPRIGHT;
    case HTBOTTOMLEFT: return SDL_HITTEST_RESIZE_BOTTOMLEFT;
    case HTBOTTOMRIGHT: return SDL_HITTEST_RESIZE_BOTTOMRIGHT;
    default: return SDL_HITTEST_NORMAL;
    }
}

}  // namespace

TSdlPresenter::TSdlPresenter()
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        throw EOSError(std::string("No display for the windows: ") + SDL_GetError());
    TPlatformFacts facts = PlatformFacts();
    SDL_Rect usable, full;
    if (SDL_GetDisplayBounds(0, &full) == 0)
        facts.Screen = {full.w, full.h};
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0)
        facts.WorkArea = TRect::Bounds(usable.x, usable.y, usable.w, usable.h);
    float ddpi = 0, hdpi = 0, vdpi = 0;
    if (SDL_GetDisplayDPI(0, &ddpi, &hdpi, &vdpi) == 0 && hdpi > 0 && vdpi > 0) {
        facts.DpiX = int(hdpi + 0.5f);
        facts.DpiY = int(vdpi + 0.5f);
    }
    SetPlatformFacts(facts);
    FPump = AllocateHWnd([this](TMessage& M) {
        if (M.Msg == WM_TIMER)
            PumpEvents();
    });
    SetTimer(FPump, kPumpTimer, 10);
}

TSdlPresenter::~TSdlPresenter()
{
    if (GetPresenter() == this)
        SetPresenter(nullptr);
    DeallocateHWnd(FPump);
    for (auto& [h, w] : FWindows) {
        if (w.Texture)
            SDL_DestroyTexture(w.Texture);
        if (w.Renderer)
            SDL_DestroyRenderer(w.Renderer);
        if (w.Window)
            SDL_DestroyWindow(w.Window);
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TSdlPresenter::TSdlWindow* TSdlPresenter::Find(HWND Wnd)
{
    auto it = FWindows.find(Wnd);
    return it == FWindows.end() ? nullptr : &it->second;
}

SDL_Window* TSdlPresenter::WindowOf(HWND Wnd) const
{
    auto it = FWindows.find(Wnd);
    return it == FWindows.end() ? nullptr : it->second.Window;
}

HWND TSdlPresenter::FindByWindowId(uint32_t Id) const
{
    for (auto& [h, w] : FWindows)
        if (SDL_GetWindowID(w.Window) == Id)
            return h;
    return 0;
}

TSdlPresenter::TSdlWindow& TSdlPresenter::Ensure(HWND Wnd)
{
    if (TSdlWindow* w = Find(Wnd))
        return *w;
    TRect r;
    GetWindowRect(Wnd, r);
    DWORD style = DWORD(GetWindowLongPtr(Wnd, GWL_STYLE));
    uint32_t flags = SDL_WINDOW_HIDDEN;
    if (style & WS_THICKFRAME)
        flags |= SDL_WINDOW_RESIZABLE;
    if (!(style & WS_CAPTION))
        flags |= SDL_WINDOW_BORDERLESS;
    DWORD ex = DWORD(GetWindowLongPtr(Wnd, GWL_EXSTYLE));
    if (ex & WS_EX_TOPMOST)
        flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    // A popup tool window is a hint: the desktop neither lists nor focuses it.
    if ((ex & WS_EX_TOOLWINDOW) && (style & WS_POPUP))
        flags |= SDL_WINDOW_TOOLTIP | SDL_WINDOW_SKIP_TASKBAR;
    TSdlWindow w;
    FApplying = true;
    w.Window = SDL_CreateWindow(GetWindowText(Wnd).c_str(), r.Left, r.Top, std::max(r.Width(), 1),
                                std::max(r.Height(), 1), flags);
    FApplying = false;
    if (!w.Window)
        throw EOSError(std::string("Cannot open a window: ") + SDL_GetError());
    w.Renderer = SDL_CreateRenderer(w.Window, -1, SDL_RENDERER_SOFTWARE);
    SDL_SetWindowHitTest(w.Window, HitTest, reinterpret_cast<void*>(Wnd));
    TSize minSize = ClampTrackSize(Wnd, {1, 1});
    SDL_SetWindowMinimumSize(w.Window, minSize.cx, minSize.cy);
    return FWindows[Wnd] = w;
}

void TSdlPresenter::WindowShown(HWND Wnd, bool Visible)
{
    if (!Visible) {
        if (TSdlWindow* w = Find(Wnd))
            SDL_HideWindow(w->Window);
        return;
    }
    TSdlWindow& w = Ensure(Wnd);
    SDL_ShowWindow(w.Window);
    if (auto* f = As<TCustomForm>(TWinControl::FindControl(Wnd))) {
        IconChanged(f);
        InvalidateRect(Wnd, nullptr, true);
        f->PaintNow();
    }
}

void TSdlPresenter::WindowMoved(HWND Wnd, const TRect& B)
{
    TSdlWindow* w = Find(Wnd);
    if (!w || FApplying)
        return;
    FApplying = true;
    SDL_SetWindowPosition(w->Window, B.Left, B.Top);
    SDL_SetWindowSize(w->Window, std::max(B.Width(), 1), std::max(B.Height(), 1));
    FApplying = false;
}

void TSdlPresenter::WindowTextChanged(HWND Wnd, const std::string& Text)
{
    if (TSdlWindow* w = Find(Wnd))
        SDL_SetWindowTitle(w->Window, Text.c_str());
}

void TSdlPresenter::WindowDestroyed(HWND Wnd)
{
    auto it = FWindows.find(Wnd);
    if (it == FWindows.end())
        return;
    if (it->second.Texture)
        SDL_DestroyTexture(it->second.Texture);
    SDL_DestroyRenderer(it->second.Renderer);
    SDL_DestroyWindow(it->second.Window);
    FWindows.erase(it);
}

void TSdlPresenter::Upload(HWND Wnd, TSdlWindow& W)
{
    auto* f = As<TCustomForm>(TWinControl::FindControl(Wnd));
    if (!f)
        return;
    TBackbuffer& bb = f->Backbuffer();
    if (!bb.Surface())
        return;
    if (!W.Texture || W.TexW != bb.Width() || W.TexH != bb.Height()) {
        if (W.Texture)
            SDL_DestroyTexture(W.Texture);
        W.Texture = SDL_CreateTexture(W.Renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, bb.Width(),
                                      bb.Height());
        W.TexW = bb.Width();
        W.TexH = bb.Height();
    }
    std::vector<uint32_t> px(size_t(bb.Width()) * bb.Height());
    for (int y = 0; y < bb.Height(); ++y)
        for (int x = 0; x < bb.Width(); ++x)
            px[size_t(y) * bb.Width() + x] = bb.Pixel(x, y) | 0xFF000000u;
    SDL_UpdateTexture(W.Texture, nullptr, px.data(), bb.Width() * 4);
    SDL_RenderClear(W.Renderer);
    SDL_RenderCopy(W.Renderer, W.Texture, nullptr, nullptr);
    SDL_RenderPresent(W.Renderer);
}

void TSdlPresenter::IconChanged(TCustomForm* Form)
{
    TSdlWindow* w = Find(Form->Handle());
    cairo_surface_t* icon = Form->Icon()->Surface();
    if (!w || !icon)
        return;
    int iw = Form->Icon()->Width(), ih = Form->Icon()->Height();
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, iw, ih, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!s)
        return;
    cairo_surface_flush(icon);
    const uint8_t* px = cairo_image_surface_get_data(icon);
    int stride = cairo_image_surface_get_stride(icon);
    for (int y = 0; y < ih; ++y) {
        auto* src = reinterpret_cast<const uint32_t*>(px + size_t(y) * stride);
        auto* dst = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + size_t(y) * s->pitch);
        for (int x = 0; x < iw; ++x)
            dst[x] = StraightPixel(src[x]);  // the desktop wants straight alpha
    }
    SDL_SetWindowIcon(w->Window, s);
    SDL_FreeSurface(s);
}

void TSdlPresenter::Present(TCustomForm* Form, const TRect&)
{
    if (TSdlWindow* w = Find(Form->Handle()))
        Upload(Form->Handle(), *w);
}

bool TSdlPresenter::ReadPixels(HWND Wnd, std::vector<uint32_t>& Pixels, int& Width, int& Height)
{
    TSdlWindow* w = Find(Wnd);
    if (!w)
        return false;
    Upload(Wnd, *w);  // the software renderer reads back what was drawn last
    SDL_GetRendererOutputSize(w->Renderer, &Width, &Height);
    Pixels.assign(size_t(Width) * Height, 0);
    return SDL_RenderReadPixels(w->Renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, Pixels.data(), Width * 4) == 0;
}

void TSdlPresenter::PumpEvents()
{
    SDL_Event e;
    while (SDL_PollEvent(&e))
        Deliver(e);
}

void TSdlPresenter::Deliver(const SDL_Event& E)
{
    switch (E.type) {
    case SDL_MOUSEMOTION:
        if (HWND h = FindByWindowId(E.motion.windowID))
            DeliverMouse(h, WM_MOUSEMOVE, {E.motion.x, E.motion.y}, MouseKeys());
        return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        HWND h = FindByWindowId(E.button.windowID);
        if (!h)
            return;
        bool down = E.type == SDL_MOUSEBUTTONDOWN;
        UINT msg = E.button.button == SDL_BUTTON_RIGHT ? (down ? WM_RBUTTONDOWN : WM_RBUTTONUP)
            : E.button.button == SDL_BUTTON_MIDDLE     ? (down ? WM_MBUTTONDOWN : WM_MBUTTONUP)
                                                       : (down ? WM_LBUTTONDOWN : WM_LBUTTONUP);
        DeliverMouse(h, msg, {E.button.x, E.button.y}, MouseKeys());
        return;
    }
    case SDL_MOUSEWHEEL: {
        HWND h = FindByWindowId(E.wheel.windowID);
        if (!h)
            return;
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        WPARAM keys = MouseKeys() | (WPARAM(uint16_t(int16_t(E.wheel.y * WHEEL_DELTA))) << 16);
        DeliverMouse(h, WM_MOUSEWHEEL, {x, y}, keys);
        return;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        WPARAM vk = ToVirtualKey(E.key.keysym.sym);
        if (!vk)
            return;
        bool alt = E.key.keysym.mod & KMOD_ALT;
        bool down = E.type == SDL_KEYDOWN;
        DeliverKey(alt ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP), vk);
        // Alt with a letter or digit is an accelerator; SDL sends no text for it.
        if (down && alt && ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')))
            DeliverKey(WM_SYSCHAR, vk >= 'A' && vk <= 'Z' ? vk - 'A' + 'a' : vk);
        if (down && (vk == VK_RETURN || vk == VK_ESCAPE || vk == VK_BACK || vk == VK_TAB))
            DeliverKey(WM_CHAR, vk == VK_RETURN ? 13 : vk == VK_ESCAPE ? 27 : vk == VK_BACK ? 8 : 9);
        return;
    }
    case SDL_TEXTINPUT:
        for (const char* p = E.text.text; *p; ++p)
            DeliverKey(WM_CHAR, static_cast<unsigned char>(*p));
        return;
    case SDL_WINDOWEVENT: {
        HWND h = FindByWindowId(E.window.windowID);
        if (!h)
            return;
        switch (E.window.event) {
        case SDL_WINDOWEVENT_CLOSE: PostMessage(h, WM_CLOSE, 0, 0); return;
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
            TSize s = ClampTrackSize(h, {E.window.data1, E.window.data2});
            TRect r = GetWindowBounds(h);
            FApplying = true;
            SetWindowPos(h, 0, r.Left, r.Top, s.cx, s.cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
            FApplying = false;
            return;
        }
        case SDL_WINDOWEVENT_MOVED:
            FApplying = true;
            SetWindowPos(h, 0, E.window.data1, E.window.data2, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
            FApplying = false;
            return;
        case SDL_WINDOWEVENT_LEAVE: DeliverMouseLeave(h); return;
        case SDL_WINDOWEVENT_EXPOSED:
            if (TSdlWindow* w = Find(h))
                Upload(h, *w);
            return;
        case SDL_WINDOWEVENT_FOCUS_GAINED: SetActiveWindow(h); return;
        case SDL_WINDOWEVENT_MINIMIZED: ShowWindow(h, SW_MINIMIZE); return;
        case SDL_WINDOWEVENT_RESTORED:
            if (IsIconic(h))
                ShowWindow(h, SW_RESTORE);
            return;
        default: return;
        }
    }
    default: return;
    }
}

}  // namespace dcs
