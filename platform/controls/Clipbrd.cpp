#include "platform/controls/Clipbrd.h"

#include "platform/base/Strings.h"

namespace dcs {

UINT RegisterClipboardFormat(const std::string& Name)
{
    static std::map<std::string, UINT> formats;
    auto [it, added] = formats.try_emplace(LowerCase(Name), UINT(0xC000 + formats.size()));
    return it->second;
}

void TClipboard::SetData(UINT Format, std::string Bytes)
{
    if (!FOpen)
        FData.clear();
    FData[Format] = std::move(Bytes);
}

std::string TClipboard::GetData(UINT Format) const
{
    auto it = FData.find(Format);
    return it == FData.end() ? std::string() : it->second;
}

TClipboard& Clipboard()
{
    static TClipboard c;
    return c;
}

}  // namespace dcs
