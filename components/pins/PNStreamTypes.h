// A pin's list of stream types, and the two process-wide registries: stream types (names
// and send functions) and the format converters between pairs of types.
#pragma once

#include "components/pins/PNOperations.h"
#include "platform/classes/Classes.h"

#include <string>
#include <string_view>
#include <vector>

namespace dcs {

struct TPNPinTypeEntry {
    TGUID ID;
    TPNSubmit SubmitFunction;
};

// The types a pin offers or handles, in its order of preference: the later an entry,
// the more it is preferred.
class TPNPinStreamType {
public:
    // Replaces the submit function of an existing entry in place, else appends.
    void AddType(const TGUID& AID, TPNSubmit ASubmitFunction);
    void RemoveType(const TGUID& AID);
    void ClearTypes() { FTypes.clear(); }
    void SwapPosition(int AIndex1, int AIndex2);
    const TGUID& GetID(int AIndex) const { return FTypes.at(size_t(AIndex)).ID; }
    TPNSubmit GetSubmitFunc(int AIndex) const { return FTypes.at(size_t(AIndex)).SubmitFunction; }
    int Count() const { return int(FTypes.size()); }
    int IndexOf(const TGUID& AID) const;
    bool Contains(const TGUID& AID) const { return IndexOf(AID) >= 0; }

private:
    std::vector<TPNPinTypeEntry> FTypes;
};

// Scratch copy of a type list, made for one choice.
class TPNPinTypeRestricted : public TPNPinStreamType {
public:
    bool Ordered = false;
};

// --------------------------------------------------------------------- registries

// Stream-type registry. Filled by the start-up of the modules that define types.
int FindOrAddStreamType(const TGUID& AID);
void RegisterStreamTypeName(const TGUID& AID, const std::string& AName);
void RegisterStreamTypeSendFunction(const TGUID& AID, TPNGlobalSubmit ASendFunction);
// "NIL ID" for the nil id, the registered name (even an empty one), else the braced text.
std::string StreamTypeIDToText(const TGUID& AID);
// Empty for the nil id, else StreamTypeIDToText.
std::string GetStreamTypeName(const TGUID& AID);
TPNGlobalSubmit GetStreamTypeSendFunction(const TGUID& AID);

// Converter registry: converter classes (descendants of TPNFormatConverter) by pair.
int FindTypeConverter(const TGUID& AInputID, const TGUID& AOutputID);
void RegisterTypeConverter(const TGUID& AInputID, const TGUID& AOutputID, TClass AConverterClass);
TClass GetTypeConverterClass(const TGUID& AInputID, const TGUID& AOutputID);
struct TPNTypeConverterEntry {
    TGUID InputID;
    TGUID OutputID;
    TClass ConverterClass;
};
// A copy of the registry in registration order (lookups walk it from the last entry).
std::vector<TPNTypeConverterEntry> TypeConverters();
class TPNBasicPin;
// Walks the converter registry from its last entry and AOffered from its last type for
// a converter from an offered type to a type ASink supports: answers that offered type
// and the class, or the nil id.
TGUID FindRegisteredConverter(const TPNPinStreamType& AOffered, TPNBasicPin* ASink, TClass& AClass);
// Empties both registries (the framework's shutdown; tests).
void ClearStreamTypeRegistries();

// True when the class or one of its ancestors has that class name.
bool InheritsFromClassName(TClass AClass, std::string_view AName);
// Climbs owners to the root: a component without owner, whose owner is the application,
// that is a data module, or that is a form or frame.
TComponent* GetRootComponent(TComponent* C);

}  // namespace dcs
