// The tab pager's page list: a pointer list whose checked item access raises its own
// messages ("Index out of bounds in list read access" / "... write access").
#pragma once

#include "platform/base/Lists.h"
#include "platform/base/SysUtils.h"

namespace dcs::smooth {

DCS_DECLARE_EXCEPTION(EDbgListError, Exception);

class TDbgList : public TList {
public:
    void* GetItemsEx(int Index) const;
    void SetItemsEx(int Index, void* Value);
};

}  // namespace dcs::smooth
