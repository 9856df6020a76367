#include "platform/classes/IntegerIdents.h"

#include "platform/base/Strings.h"

#include <map>
#include <mutex>

namespace dcs {

namespace {

struct TTables {
    std::mutex Lock;
    std::map<std::string, TIdentTable, std::less<>> ByType;
};

TTables& Tables()
{
    static TTables t;
    return t;
}

}  // namespace

void RegisterIntegerIdents(std::string TypeName, TIdentTable Table)
{
    TTables& t = Tables();
    std::lock_guard<std::mutex> g(t.Lock);
    t.ByType[std::move(TypeName)] = std::move(Table);
}

namespace {

// The first entry of TypeName's table that Match accepts.
template <class TMatch> bool Find(std::string_view TypeName, TMatch Match)
{
    TTables& t = Tables();
    std::lock_guard<std::mutex> g(t.Lock);
    auto it = t.ByType.find(TypeName);
    if (it == t.ByType.end())
        return false;
    for (const auto& [name, v] : it->second)
        if (Match(name, v))
            return true;
    return false;
}

}  // namespace

bool IdentToInt(std::string_view TypeName, std::string_view Ident, int64_t& Value)
{
    return Find(TypeName, [&](const std::string& Name, int64_t V) {
        if (!SameText(Name, Ident))
            return false;
        Value = V;
        return true;
    });
}

bool IntToIdent(std::string_view TypeName, int64_t Value, std::string& Ident)
{
    return Find(TypeName, [&](const std::string& Name, int64_t V) {
        if (V != Value)
            return false;
        Ident = Name;
        return true;
    });
}

}  // namespace dcs
