#include "ui/controls/DbgList.h"

namespace dcs::smooth {

void* TDbgList::GetItemsEx(int Index) const
{
    // Negative indexes are refused too: the list's own check would raise its own message.
    if (Index < 0 || Index >= Count())
        throw EDbgListError("Index out of bounds in list read access");
    return Items(Index);
}

void TDbgList::SetItemsEx(int Index, void* Value)
{
    if (Index < 0 || Index >= Count())
        throw EDbgListError("Index out of bounds in list write access");
    SetItems(Index, Value);
}

}  // namespace dcs::smooth
