// The links of a pin that serves several pins at once: a source pin's links to its sinks,
// a multi-source sink's links to its sources. Both keep them, weigh them and send over
// them the same way, so the table is one part both own.
//
// The hot path is Send: one snapshot of the links under the owner's section, then each
// delivery with no section held, guarded by the owner's destroy lock. It touches no heap
// for up to KInlineLinks links.
#pragma once

#include "components/pins/PNOperations.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dcs {

class TPNBasicPin;
class TPNPin;
class IPNFormatConverter;
class IPNLock;

// One link.
struct TPNPinEntry {
    // The pin operations are handed to: the linked pin, or the pin of the converter put
    // in between.
    TPNBasicPin* ConnectionPin = nullptr;
    TPNBasicPin* RealPin = nullptr;  // the linked pin
    TPNBasicPin* NotifyAfterPin = nullptr;
    TGUID ConnectedID;
    TPNSubmit SubmitFunction;
    // The serving weight: raised by deliveries that changed data, lowered by every send;
    // lighter links are served first.
    int32_t ModificationLevel = 0;
    // The converter the link goes through, when the pin keeps it with the link (a
    // multi-source sink); the table's converter list holds the owning references.
    IntfPtr<IPNFormatConverter> Converter;

private:
    friend class TPNLinkTable;
    bool FReordered = false;  // visited by the current reorder pass
};

class TPNLinkTable {
public:
    using TEntries = std::vector<std::unique_ptr<TPNPinEntry>>;
    static constexpr size_t KInlineLinks = 32;

    // AOwner: the pin whose sections guard the table (not owned).
    explicit TPNLinkTable(TPNPin* AOwner);
    ~TPNLinkTable();
    TPNLinkTable(const TPNLinkTable&) = delete;
    TPNLinkTable& operator=(const TPNLinkTable&) = delete;

    // ---- the caller holds a section of the owner

    size_t Size() const { return FEntries.size(); }
    bool Empty() const { return FEntries.empty(); }
    TPNPinEntry& operator[](size_t AIndex) { return *FEntries[AIndex]; }
    TPNPinEntry& Front() { return *FEntries.front(); }
    TPNPinEntry& Back() { return *FEntries.back(); }
    TEntries::const_iterator begin() const { return FEntries.begin(); }
    TEntries::const_iterator end() const { return FEntries.end(); }
    // The last link to APin, or -1.
    int IndexOfRealPin(TPNBasicPin* APin) const;
    // Appends a link; it is served from the next send on.
    TPNPinEntry& Add(TPNBasicPin* ARealPin, TPNBasicPin* AConnectionPin, TPNBasicPin* ANotifyAfterPin);
    // Removing links counts as a change for sends running on other threads.
    void Erase(size_t AIndex);
    // Removes AEntry if it is still listed; answers whether it was.
    bool Remove(const TPNPinEntry* AEntry);
    void PopBack();
    void Clear();
    bool Holds(const TPNPinEntry* AEntry) const;
    // A link's connection pin changed: sends running on other threads check their copies.
    void Changed() { FGeneration.fetch_add(1, std::memory_order_release); }
    // Links ordered after APin are served in weight order from now on.
    void ForgetAfterPin(TPNBasicPin* APin);
    void ReplaceAfterPin(TPNBasicPin* AOldPin, TPNBasicPin* ANewPin);
    // The converters the links go through, owned here; dropped only outside the owner's
    // sections (freeing a converter unlinks its pins).
    std::vector<IntfPtr<IPNFormatConverter>>& Converters() { return FConverters; }
    // Under the owner's write section: every weight drops by one, links are stably
    // ordered by weight, then a link ordered after a pin whose link lies further on moves
    // to just behind it (one pass, in the order before it, so after-pins that loop
    // cannot make it go round). Allocates nothing.
    void Reorder();

    // ---- take the owner's read section

    int Count();
    // The linked pin of link AIndex; a range error beyond the links.
    TPNBasicPin* Get(int AIndex);
    int ConverterCount();
    IntfPtr<IPNFormatConverter> GetConverter(int AIndex);
    bool Contains(TPNBasicPin* APin);
    // The weight of the link to APin, 0 when there is none.
    int32_t Weight(TPNBasicPin* APin);
    // Whether a link to APin is there; its after-pin and type then go to the outputs.
    bool FindLink(TPNBasicPin* APin, TPNBasicPin** AAfterPin, TGUID* AID);
    bool NamesAfterPin(TPNBasicPin* APin);
    // The linked pins, copied so that the caller can call them with no section held.
    std::vector<TPNBasicPin*> RealPins();
    // Whether a linked pin has the full name APinName, or that name without its root form
    // when it shares the owner's root.
    bool IsLinkedTo(const std::string& APinName);

    // ---- sends

    // Delivers AOperation over every link (only those to AOnlyTo when set), after the
    // owner's state-linked pins. Takes the owner's sections itself and holds none while a
    // delivery runs; AUnlockAround (may be null) is a further lock whose levels the
    // calling thread gives up around each delivery. A converter shared by several links
    // is sent the operation once. Links removed while the send runs are not served. Once
    // done the links are reordered, unless they are being cut. Raises EPNException when
    // sends through the owner nest without end.
    TPNNotifyResult Send(IPNNotifyOperation* AOperation, TPNBasicPin* AOnlyTo, IPNLock* AUnlockAround);

    // Set while the owner cuts its links: a send then leaves the order alone.
    bool InDisconnect = false;
    // Sends through the owner running on this and other threads, nested included.
    int32_t InSending = 0;

private:
    TPNPin* FOwner;
    TEntries FEntries;
    std::vector<IntfPtr<IPNFormatConverter>> FConverters;
    // Changes whenever a link is removed or redirected, so a send can tell cheaply
    // whether the links it copied are all still there.
    std::atomic<uint32_t> FGeneration {0};
};

}  // namespace dcs
