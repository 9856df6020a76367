// The clipboard of this process: data in registered formats, placed and read on the GUI
// thread. (The program only copies its own fill descriptions between its controls.)
#pragma once

#include "platform/win/WinDefs.h"

#include <map>
#include <string>

namespace dcs {

constexpr UINT CF_TEXT = 1;

// The same name (ignoring case) always gives the same format number (0xC000 and up).
UINT RegisterClipboardFormat(const std::string& Name);

class TClipboard {
public:
    void Clear() { FData.clear(); }
    bool HasFormat(UINT Format) const { return FData.count(Format) != 0; }
    // Replaces everything on the clipboard unless it is open (between Open and Close,
    // several formats can be placed together).
    void SetData(UINT Format, std::string Bytes);
    std::string GetData(UINT Format) const;  // empty when absent
    std::string AsText() const { return GetData(CF_TEXT); }
    void SetAsText(const std::string& Text) { SetData(CF_TEXT, Text); }
    void Open() { ++FOpen; }
    void Close()
    {
        if (FOpen > 0)
            --FOpen;
    }

private:
    std::map<UINT, std::string> FData;
    int FOpen = 0;
};

TClipboard& Clipboard();

}  // namespace dcs
