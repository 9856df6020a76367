#include "platform/win/Application.h"

#include <cstdio>

namespace dcs {

TApplication* Application = nullptr;

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner)
{
    FHandle = AllocateHWnd([this](TMessage& M) { M.Result = DefWindowProc(FHandle, M.Msg, M.WParam, M.LParam); });
}

TApplication::~TApplication() { DeallocateHWnd(FHandle); }

bool TApplication::ProcessMessage()
{
    TMsg msg;
    if (!PeekMessage(msg, true))
        return false;
    if (msg.message == WM_QUIT)
        FTerminated = true;
    else
        DispatchMessage(msg);
    return true;
}

void TApplication::HandleMessage()
{
    if (!ProcessMessage())
        WaitMessage();
}

void TApplication::ProcessMessages()
{
    while (ProcessMessage()) {}
}

void TApplication::Run()
{
    while (!FTerminated) {
        try {
            HandleMessage();
        } catch (...) {
            HandleException(this);
        }
    }
}

void TApplication::ModalLoop(const std::function<bool()>& Done)
{
    while (!FTerminated && !Done()) {
        try {
            HandleMessage();
        } catch (...) {
            HandleException(this);
        }
    }
}

void TApplication::Terminate()
{
    // Posted to the application's own window, the quit reaches the loop's thread from
    // wherever it is asked for.
    PostMessage(FHandle, WM_QUIT, 0, 0);
}

void TApplication::HandleException(TObject* Sender)
{
    try {
        throw;
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        if (OnException)
            OnException(Sender, e);
        else
            ShowException(e);
    } catch (...) {
        // A thrown value that is no exception object is shown with an empty message.
        Exception e("");
        if (OnException)
            OnException(Sender, e);
        else
            ShowException(e);
    }
}

void TApplication::ShowException(const std::exception& E)
{
    std::string msg = E.what();
    if (FShowException) {
        FShowException(msg);
        return;
    }
    std::fprintf(stderr, "%s\n", msg.c_str());
}

}  // namespace dcs
