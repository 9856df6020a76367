#include "components/audio/CKDeviceListFormUnit.h"

#include "platform/base/Strings.h"

namespace dcs {

namespace forms {
bool Link_TCKDeviceListForm();  // the embedded form resource
}

TCKDeviceListForm::TCKDeviceListForm(TComponent* AOwner) : TCKDeviceListForm(AOwner, true, true) {}

TCKDeviceListForm::TCKDeviceListForm(TComponent* AOwner, bool UseNone, bool UseDefault)
    : TForm(AOwner), FUseNone(UseNone), FUseDefault(UseDefault)
{
    forms::Link_TCKDeviceListForm();
    RegisterMethod("ListBoxDblClick", TNotifyEvent([this](TObject* S) { ListBoxDblClick(S); }));
}

TCKDeviceListForm* TCKDeviceListForm::CreateEx(TComponent* AOwner, bool UseNone, bool UseDefault)
{
    auto* f = new TCKDeviceListForm(AOwner, UseNone, UseDefault);
    try {
        f->AfterConstruction();
    } catch (...) {
        delete f;
        throw;
    }
    return f;
}

void TCKDeviceListForm::AfterConstruction()
{
    TForm::AfterConstruction();  // reads the stored form
    Panel1 = As<TPanel>(FindComponent("Panel1"));
    Panel2 = As<TPanel>(FindComponent("Panel2"));
    OKButton = As<TBitBtn>(FindComponent("OKButton"));
    CancelButton = As<TBitBtn>(FindComponent("CancelButton"));
    ListBox = As<TListBox>(FindComponent("ListBox"));
    if (!ListBox || !OKButton || !CancelButton)
        throw EComponentError("The device list form's resource is incomplete");
    ListBox->Items().Clear();
    if (FUseNone)
        ListBox->Items().Add("None");
    if (FUseDefault)
        ListBox->Items().Add("Default");
}

bool TCKDeviceListForm::Execute(const std::string& DeviceName)
{
    ListBox->SetItemIndex(0);
    std::string wanted = UpperCase(DeviceName);
    for (int i = 0; i < ListBox->Items().Count(); ++i)
        if (UpperCase(ListBox->Items()[i]) == wanted) {
            ListBox->SetItemIndex(i);
            break;
        }
    return ShowModal() == mrOk;
}

bool TCKDeviceListForm::Execute(const std::string& ACaption, const std::string& DeviceName)
{
    SetCaption(ACaption);
    return Execute(DeviceName);
}

std::string TCKDeviceListForm::GetSelection() const
{
    int i = ListBox->ItemIndex();
    return i >= 0 ? ListBox->Items()[i] : std::string();
}

void TCKDeviceListForm::ListBoxDblClick(TObject*) { SetModalResult(mrOk); }

HWND FindThreadTopWindow(HWND Wnd)
{
    uint32_t thread = GetWindowThreadProcessId(Wnd, nullptr);
    if (!thread)
        return 0;
    HWND found = 0;
    EnumWindows([&](HWND W) {
        for (HWND h = W; h; h = GetParent(h))
            if (GetWindowThreadProcessId(h, nullptr) == thread) {
                found = W;
                return false;
            }
        return true;
    });
    return found;
}

}  // namespace dcs
