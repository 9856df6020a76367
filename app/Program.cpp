#include "app/MainForm.h"
#include "app/PainForm.h"

#include "platform/controls/Dialogs.h"
#include "platform/controls/SdlPresenter.h"

#include <cstdlib>
#include <memory>

namespace dcs {

int RunProgram()
{
    TOwned<TApplication> app(Create<TApplication>(nullptr));
    Application = app.get();
    std::unique_ptr<TSdlPresenter> presenter;
    try {
        UseMessageBoxForExceptions();
        // DCS_HEADLESS=1 runs the program with no window on screen (tests, servers).
        const char* headless = std::getenv("DCS_HEADLESS");
        if (headless == nullptr || std::string(headless) != "1") {
            presenter = std::make_unique<TSdlPresenter>();
            SetPresenter(presenter.get());
        }
        Application->Initialize();
        Application->SetMainFormOnTaskBar(true);
        CreateForm(Form1);
        CreateForm(Form2);
        Form1->Show();
        Application->Run();
    } catch (const std::exception& e) {
        Application->ShowException(e);
    } catch (...) {
        Application->ShowException(Exception(""));
    }
    for (int i = Screen()->FormCount() - 1; i >= 0; --i)
        Free(Screen()->Forms(i));
    Form1 = nullptr;
    Form2 = nullptr;
    SetPresenter(nullptr);
    presenter.reset();
    Application = nullptr;
    return 0;
}

}  // namespace dcs
