// Names for values of integer types in stored forms: a colour is written "clRed" or
// "clBtnFace" instead of its number when it has a name, and read back from either.
// A type without names, or a value without one, is stored as a number. Tables are
// registered once at start-up; lookups take a lock (a shared table).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dcs {

using TIdentTable = std::vector<std::pair<std::string, int64_t>>;

// Names of the integer type TypeName (the property's type name, such as "TColor"). A
// second table for one type replaces the first.
void RegisterIntegerIdents(std::string TypeName, TIdentTable Table);
// Case-insensitive; false when the type or the name is unknown.
bool IdentToInt(std::string_view TypeName, std::string_view Ident, int64_t& Value);
// The first name of the value; false when it has none.
bool IntToIdent(std::string_view TypeName, int64_t Value, std::string& Ident);

}  // namespace dcs
