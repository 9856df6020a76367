// Which pins may hold a pointer to which: the pins a destroyed pin has to tell. Telling
// every live pin made freeing a graph of a few thousand pins quadratic, and each of
// those calls took the lock of a component that might be busy streaming. A pin that
// stores a pointer to another notes it here; the index may name more pins than still
// hold one (a reference dropped later is not taken out), never fewer. Private to the pin
// framework's sources.
#pragma once

#include <vector>

namespace dcs {

class TPNBasicPin;

// AReferrer may from now on hold a pointer to ATarget. Takes the index's own lock, a
// leaf lock (nothing else is taken under it), so it may be called under any pin lock.
// Ignored unless both pins are registered.
void NotePinReference(TPNBasicPin* AReferrer, TPNBasicPin* ATarget);

namespace pnreferrers {

// The register's side. The caller holds the pin register section for each of these,
// which keeps every pin the index names alive until it calls Remove for it.

// APin joins the index, ordered after every pin already in it.
void Add(TPNBasicPin* APin);
// APin leaves the index; answers the pins that may refer to it, the latest added first
// (the order a walk of the register from its end would meet them).
std::vector<TPNBasicPin*> Remove(TPNBasicPin* APin);
// Whether APin is still in the index (not freed by an earlier notification).
bool Contains(TPNBasicPin* APin);

}  // namespace pnreferrers

}  // namespace dcs
