#include "components/pins/PNBasicPin.h"

#include <mutex>
#include <shared_mutex>

namespace dcs {

int TPNPinStreamType::IndexOf(const TGUID& AID) const
{
    for (size_t i = 0; i < FTypes.size(); ++i)
        if (FTypes[i].ID == AID)
            return int(i);
    return -1;
}

void TPNPinStreamType::AddType(const TGUID& AID, TPNSubmit ASubmitFunction)
{
    int i = IndexOf(AID);
    if (i >= 0)
        FTypes[size_t(i)].SubmitFunction = ASubmitFunction;
    else
        FTypes.push_back({AID, ASubmitFunction});
}

void TPNPinStreamType::RemoveType(const TGUID& AID)
{
    int i = IndexOf(AID);
    if (i >= 0)
        FTypes.erase(FTypes.begin() + i);
}

void TPNPinStreamType::SwapPosition(int AIndex1, int AIndex2)
{
    std::swap(FTypes.at(size_t(AIndex1)), FTypes.at(size_t(AIndex2)));
}

// ---------------------------------------------------------------------- registries

namespace {

struct TStreamTypeEntry {
    TGUID ID;
    std::string Name;
    TPNGlobalSubmit SendFunction = nullptr;
};

// Written at start-up and read from every thread; the guard costs one uncontended atomic
// on reads and keeps late registrations (tests, plug-ins) safe.
struct TRegistries {
    std::shared_mutex Guard;
    std::vector<TStreamTypeEntry> StreamTypes;
    std::vector<TPNTypeConverterEntry> Converters;
};

TRegistries& Registries()
{
    static TRegistries r;
    return r;
}

int FindStreamTypeLocked(const TRegistries& r, const TGUID& AID)
{
    for (size_t i = 0; i < r.StreamTypes.size(); ++i)
        if (r.StreamTypes[i].ID == AID)
            return int(i);
    return -1;
}

int FindOrAddLocked(TRegistries& r, const TGUID& AID)
{
    int i = FindStreamTypeLocked(r, AID);
    if (i >= 0)
        return i;
    r.StreamTypes.push_back({AID, "", nullptr});
    return int(r.StreamTypes.size()) - 1;
}

}  // namespace

int FindOrAddStreamType(const TGUID& AID)
{
    auto& r = Registries();
    std::unique_lock g(r.Guard);
    return FindOrAddLocked(r, AID);
}

void RegisterStreamTypeName(const TGUID& AID, const std::string& AName)
{
    auto& r = Registries();
    std::unique_lock g(r.Guard);
    r.StreamTypes[size_t(FindOrAddLocked(r, AID))].Name = AName;
}

void RegisterStreamTypeSendFunction(const TGUID& AID, TPNGlobalSubmit ASendFunction)
{
    auto& r = Registries();
    std::unique_lock g(r.Guard);
    r.StreamTypes[size_t(FindOrAddLocked(r, AID))].SendFunction = ASendFunction;
}

std::string StreamTypeIDToText(const TGUID& AID)
{
    if (AID.IsNull())
        return "NIL ID";
    auto& r = Registries();
    std::shared_lock g(r.Guard);
    int i = FindStreamTypeLocked(r, AID);
    if (i >= 0)
        return r.StreamTypes[size_t(i)].Name;
    return AID.ToString();
}

std::string GetStreamTypeName(const TGUID& AID) { return AID.IsNull() ? std::string() : StreamTypeIDToText(AID); }

TPNGlobalSubmit GetStreamTypeSendFunction(const TGUID& AID)
{
    auto& r = Registries();
    std::shared_lock g(r.Guard);
    int i = FindStreamTypeLocked(r, AID);
    return i >= 0 ? r.StreamTypes[size_t(i)].SendFunction : nullptr;
}

int FindTypeConverter(const TGUID& AInputID, const TGUID& AOutputID)
{
    auto& r = Registries();
    std::shared_lock g(r.Guard);
    for (size_t i = 0; i < r.Converters.size(); ++i)
        if (r.Converters[i].InputID == AInputID && r.Converters[i].OutputID == AOutputID)
            return int(i);
    return -1;
}

void RegisterTypeConverter(const TGUID& AInputID, const TGUID& AOutputID, TClass AConverterClass)
{
    auto& r = Registries();
    std::unique_lock g(r.Guard);
    for (auto& e : r.Converters)
        if (e.InputID == AInputID && e.OutputID == AOutputID) {
            e.ConverterClass = AConverterClass;
            return;
        }
    r.Converters.push_back({AInputID, AOutputID, AConverterClass});
}

TClass GetTypeConverterClass(const TGUID& AInputID, const TGUID& AOutputID)
{
    auto& r = Registries();
    std::shared_lock g(r.Guard);
    for (auto& e : r.Converters)
        if (e.InputID == AInputID && e.OutputID == AOutputID)
            return e.ConverterClass;
    return nullptr;
}

std::vector<TPNTypeConverterEntry> TypeConverters()
{
    auto& r = Registries();
    std::shared_lock g(r.Guard);
    return r.Converters;
}

void ClearStreamTypeRegistries()
{
    auto& r = Registries();
    std::unique_lock g(r.Guard);
    r.StreamTypes.clear();
    r.Converters.clear();
}

TGUID FindRegisteredConverter(const TPNPinStreamType& AOffered, TPNBasicPin* ASink, TClass& AClass)
{
    auto registry = TypeConverters();
    for (size_t e = registry.size(); e-- > 0;)
        for (int i = AOffered.Count(); i-- > 0;)
            if (AOffered.GetID(i) == registry[e].InputID && ASink->SupportsType(registry[e].OutputID) == S_OK) {
                AClass = registry[e].ConverterClass;
                return registry[e].InputID;
            }
    return GUID_NULL;
}

bool InheritsFromClassName(TClass AClass, std::string_view AName)
{
    for (TClass c = AClass; c; c = c->ClassParent())
        if (c->ClassName() == AName)
            return true;
    return false;
}

TComponent* GetRootComponent(TComponent* C)
{
    while (C) {
        TComponent* o = C->Owner();
        if (!o || InheritsFromClassName(o->ClassType(), "TApplication") ||
            InheritsFromClassName(C->ClassType(), "TDataModule") ||
            InheritsFromClassName(C->ClassType(), "TCustomForm") || InheritsFromClassName(C->ClassType(), "TFrame"))
            return C;
        C = o;
    }
    return nullptr;
}

}  // namespace dcs
