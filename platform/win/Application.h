// The application object: the GUI thread's message loop, nested modal loops, and the
// place where an exception that reaches the loop is shown.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/win/Messages.h"

#include <exception>
#include <functional>
#include <string>

namespace dcs {

// Shows an exception's message to the user. The default writes it to standard error;
// the user interface installs one that opens a message box.
using TShowExceptionProc = std::function<void(const std::string& Message)>;

class TApplication : public TComponent {
    DCS_CLASS(TApplication, TComponent)

    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    void Initialize() {}
    // Dispatches messages until Terminate; an exception from a handler is handed to
    // HandleException and the loop goes on.
    void Run();
    // Ends the loop after the message being handled (through WM_QUIT, which also ends
    // any nested loop). May be called from any thread.
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Dispatches everything that is pending now, without waiting.
    void ProcessMessages();
    // Dispatches one message, waiting for one when there is none.
    void HandleMessage();
    // A nested loop (a modal window's): runs until Done answers true or the application
    // terminates; timers and posted messages keep being dispatched meanwhile.
    void ModalLoop(const std::function<bool()>& Done);

    // Call from a catch block: the current exception goes to OnException when set, else
    // to ShowException. EAbort is silent.
    void HandleException(TObject* Sender);
    void ShowException(const std::exception& E);
    std::function<void(TObject* Sender, const std::exception& E)> OnException;
    void SetShowExceptionProc(TShowExceptionProc Proc) { FShowException = std::move(Proc); }

    // The application's hidden window, on the thread that created the application.
    HWND Handle() const { return FHandle; }
    bool MainFormOnTaskBar() const { return FMainFormOnTaskBar; }
    void SetMainFormOnTaskBar(bool Value) { FMainFormOnTaskBar = Value; }

private:
    bool ProcessMessage();

    HWND FHandle = 0;
    bool FTerminated = false;
    bool FMainFormOnTaskBar = false;
    TShowExceptionProc FShowException;
};

// The program's application object (created by whoever runs the program; tests make
// their own).
extern TApplication* Application;

}  // namespace dcs
