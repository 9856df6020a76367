// The device picker: a small modal dialog that lets the user pick an audio device by
// name from a list, stored as the form resource of TCKDeviceListForm. The caller fills
// ListBox->Items() with device names after creating it, then runs Execute.
#pragma once

#include "platform/controls/Buttons.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"

namespace dcs {

class TCKDeviceListForm : public TForm {
    DCS_CLASS(TCKDeviceListForm, TForm)

    // The list starts with the rows "None" and "Default".
    explicit TCKDeviceListForm(TComponent* AOwner);
    // The list starts with "None" when UseNone, then "Default" when UseDefault.
    static TCKDeviceListForm* CreateEx(TComponent* AOwner, bool UseNone, bool UseDefault);
    void AfterConstruction() override;

    // Selects the first row equal to DeviceName ignoring case (row 0 when none is),
    // shows the form modally and answers whether it closed with OK (the OK button or a
    // double click on a row).
    bool Execute(const std::string& DeviceName);
    bool Execute(const std::string& ACaption, const std::string& DeviceName);
    // The text of the selected row; empty when no row is selected.
    std::string GetSelection() const;
    void ListBoxDblClick(TObject* Sender);

    TPanel* Panel1 = nullptr;
    TPanel* Panel2 = nullptr;
    TBitBtn* OKButton = nullptr;
    TBitBtn* CancelButton = nullptr;
    TListBox* ListBox = nullptr;

private:
    TCKDeviceListForm(TComponent* AOwner, bool UseNone, bool UseDefault);
    bool FUseNone = true;
    bool FUseDefault = true;
};

// The first top-level window, in EnumWindows order, that belongs to the thread owning
// Wnd or has such a window among its ancestors; 0 when Wnd is no window (every window
// of a live thread has at least its own top-level ancestor to answer).
HWND FindThreadTopWindow(HWND Wnd);

}  // namespace dcs
