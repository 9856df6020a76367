// The writer rule of the smooth controls: a value is stored only when it differs.
#pragma once

namespace dcs::smooth {

// Stores Value into Field when they differ and answers whether it did.
template <class T> bool StoreChanged(T& Field, const T& Value)
{
    if (Field == Value)
        return false;
    Field = Value;
    return true;
}

}  // namespace dcs::smooth
