// Pin lists: the named lists of pins components publish. The placeholders a list holds
// while a window loads, and the name lookups, come with the placeholder.
#pragma once

#include "components/pins/PNUnloadedPin.h"

#include <string>
#include <vector>

namespace dcs {

// The named list of pins a component publishes (a mixer's inputs, a splitter's outputs).
// Entries keep a stored name (empty for the default "Pin [i]"); while a window loads,
// placeholders keep the places of pins not created yet and are hidden from Count.
class TPNPinList : public TPNObject {
    DCS_CLASS(TPNPinList, TPNObject)

    TPNPinList(TComponent* AOwner, bool AIsPinsOwner);
    // The list's sections also give up the owner's lock while they wait.
    TPNPinList(TComponent* AOwner, IntfPtr<IPNLock> AOwnerLock, bool AIsPinsOwner);
    ~TPNPinList() override;

    IPNLockSection ReadLock() override;
    IPNLockSection WriteLock() override;
    void DefineProperties(TFiler& Filer) override;

    // Real pins only.
    int Count();
    // Raises ERangeError for an index outside 0 .. Count-1.
    TPNBasicPin* GetPin(int AItem);
    void SetPin(int AItem, TPNBasicPin* APin);
    std::string GetName(int AItem);
    std::string GetStoredName(int AItem);
    void SetName(int AItem, const std::string& AName);
    void SetPinName(TPNBasicPin* APin, const std::string& AName);

    void Add(TPNBasicPin* AItem) { AddNamed(AItem, ""); }
    void AddNamed(TPNBasicPin* AItem, const std::string& AName);
    void Insert(int AIndex, TPNBasicPin* AItem) { InsertNamed(AIndex, AItem, ""); }
    void InsertNamed(int AIndex, TPNBasicPin* AItem, const std::string& AName);
    void Delete(int AIndex);
    void Remove(TPNBasicPin* AItem);
    void Clear();
    void Swap(int AIndex1, int AIndex2);
    int IndexOf(TPNBasicPin* AItem);

    // Entries including placeholders, and their pins (loading; diagnostics).
    int EntryCount();
    TPNBasicPin* EntryPin(int AIndex);
    int UnloadedCount();

    TComponent* Owner() const { return FOwner; }
    bool PinsOwner() const { return FPinsOwner; }
    // The list's path in its owner ("InputPins").
    std::string Name();
    // The entry path of APin ("InputPins._Pin0" or "InputPins.Pin [0]"); "" when absent.
    std::string EntryPath(TPNBasicPin* APin, bool AIdentForm);

    int LastIndicatedCount = -1;

private:
    struct TEntry {
        std::string Name;
        TPNBasicPin* Pin;
    };
    void Purge();
    void DropPlaceholderEntry(int AIndex, std::vector<TPNPlaceholderRef>& AReleased);
    void TakeOwnerPinList(TPNBasicPin* AItem);
    static TPNPlaceholderRef LetGo(TPNBasicPin* APlaceholder);

    bool HasLinkedPins();
    void ReadPins(TReader& Reader);
    void WritePins(TWriter& Writer);
    TPNBasicPin* EntryForReading(int AItem, TPNPinType AFarType);
    void ResolveAt(int AItem, TPNPinType AFarType, const std::string& AIdent, const std::string& ADisplay,
                   const std::string& AAfter);
    std::string Adjust(const std::string& AName);

    TComponent* FOwner;
    IntfPtr<IPNLock> FOwnerLock;
    std::vector<TEntry> FPinsList;
    bool FPinsOwner;
    int FUnloadedCount = 0;
    std::string FLoadFormName;
    bool FInUnload = false;
};

}  // namespace dcs
