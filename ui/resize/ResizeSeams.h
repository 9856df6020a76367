// What the form resizer sees of the world: the form it sits on, that form's window and
// the desktop. The kit's logic talks only to these three, so it runs the same against
// the control layer (FormResizerAdapter.h) and against the fakes of its tests.
//
// All of it is GUI-thread only.
#pragma once

#include "platform/base/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace dcs {

// One component of the form (or of a frame on it).
class IResizeComponent {
public:
    virtual ~IResizeComponent() = default;
    virtual std::string Name() const = 0;
    virtual void SetName(const std::string& Name) = 0;
    virtual bool IsControl() const = 0;
    virtual bool IsFrame() const = 0;
    // The components this one owns itself (a frame's controls).
    virtual int ComponentCount() const = 0;
    virtual IResizeComponent* Component(int Index) = 0;

    virtual int Left() const = 0;
    virtual int Top() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetLeft(int V) = 0;
    virtual void SetTop(int V) = 0;
    virtual void SetWidth(int V) = 0;
    virtual void SetHeight(int V) = 0;

    virtual int FontSize() const = 0;
    virtual void SetFontSize(int V) = 0;
    virtual bool ParentFont() const = 0;
    virtual void SetParentFont(bool V) = 0;
    // Whether the component's class publishes a property of that name ("Font",
    // "Caption", "Text").
    virtual bool Publishes(std::string_view Property) const = 0;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& V) = 0;
};

enum class TResizeBorder {
    Other,
    Dialog,
    None
};

// The form the kit sits on.
class IResizeForm {
public:
    virtual ~IResizeForm() = default;
    virtual std::string Name() const = 0;
    // Whether the form class has a field that refers to the component of that name.
    virtual bool HasFieldFor(const std::string& ComponentName) const = 0;
    virtual int ComponentCount() const = 0;
    virtual IResizeComponent* Component(int Index) = 0;
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;
    virtual int FontSize() const = 0;
    virtual void SetFontSize(int V) = 0;
    virtual TResizeBorder BorderStyle() const = 0;
    virtual bool WindowStateMaximized() const = 0;
};

// The form's window.
class IResizeWindow {
public:
    virtual ~IResizeWindow() = default;
    // The key by which messages find the kit; makes the window when there is none.
    virtual uintptr_t Handle() = 0;
    // Puts the kit's window procedure in front of the window's own, or takes it away.
    virtual void Intercept(bool On) = 0;
    // Hands a message on to the procedure that was in place before Intercept(true).
    virtual intptr_t CallPrevious(uint32_t Msg, uintptr_t WParam, intptr_t LParam) = 0;
    virtual TRect Rect() const = 0;
    // Moves and sizes the window (outer rectangle) and repaints it.
    virtual void Move(int X, int Y, int Width, int Height) = 0;
    virtual bool Maximized() const = 0;
    virtual bool Minimized() const = 0;
    // While locked the window does not repaint; unlocking repaints it once.
    virtual void LockUpdate(bool Locked) = 0;
};

// The desktop.
class IResizeSystem {
public:
    virtual ~IResizeSystem() = default;
    virtual int ScreenWidth() const = 0;
    virtual int ScreenHeight() const = 0;
    virtual TRect TaskbarRect() const = 0;
    virtual bool TaskbarAutoHide() const = 0;
    virtual int DpiX() const = 0;
    virtual int DpiY() const = 0;
    virtual int OsMajor() const = 0;
    virtual int OsMinor() const = 0;
    virtual bool JapaneseLocale() const = 0;
    // The message hook of the calling thread (systems that cannot subclass).
    virtual void InstallHook() = 0;
    virtual void RemoveHook() = 0;
};

struct TResizeSeams {
    std::shared_ptr<IResizeForm> Form;
    std::shared_ptr<IResizeWindow> Window;
    std::shared_ptr<IResizeSystem> System;
};

}  // namespace dcs
