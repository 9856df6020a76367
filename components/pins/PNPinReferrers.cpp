#include "components/pins/PNPinReferrers.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace dcs {

namespace {

struct TEntry {
    uint64_t Order = 0;
    std::vector<TPNBasicPin*> Referrers;  // pins that may point at this one
    std::vector<TPNBasicPin*> Targets;    // pins this one may point at
};

struct TIndex {
    std::mutex Mutex;
    std::unordered_map<TPNBasicPin*, TEntry> Entries;
    uint64_t NextOrder = 0;
};

TIndex& Index()
{
    static auto* index = new TIndex;  // outlives every static pin owner
    return *index;
}

void AddOnce(std::vector<TPNBasicPin*>& AList, TPNBasicPin* APin)
{
    if (std::find(AList.begin(), AList.end(), APin) == AList.end())
        AList.push_back(APin);
}

void EraseOne(std::vector<TPNBasicPin*>& AList, TPNBasicPin* APin)
{
    const auto it = std::find(AList.begin(), AList.end(), APin);
    if (it != AList.end()) {
        *it = AList.back();
        AList.pop_back();
    }
}

}  // namespace

void NotePinReference(TPNBasicPin* AReferrer, TPNBasicPin* ATarget)
{
    if (!AReferrer || !ATarget || AReferrer == ATarget)
        return;
    TIndex& x = Index();
    std::lock_guard lock(x.Mutex);
    const auto referrer = x.Entries.find(AReferrer);
    const auto target = x.Entries.find(ATarget);
    if (referrer == x.Entries.end() || target == x.Entries.end())
        return;
    AddOnce(target->second.Referrers, AReferrer);
    AddOnce(referrer->second.Targets, ATarget);
}

namespace pnreferrers {

void Add(TPNBasicPin* APin)
{
    TIndex& x = Index();
    std::lock_guard lock(x.Mutex);
    x.Entries[APin].Order = x.NextOrder++;
}

std::vector<TPNBasicPin*> Remove(TPNBasicPin* APin)
{
    TIndex& x = Index();
    std::vector<std::pair<uint64_t, TPNBasicPin*>> ordered;
    {
        std::lock_guard lock(x.Mutex);
        const auto it = x.Entries.find(APin);
        if (it == x.Entries.end())
            return {};
        for (TPNBasicPin* t : it->second.Targets)
            if (auto target = x.Entries.find(t); target != x.Entries.end())
                EraseOne(target->second.Referrers, APin);
        for (TPNBasicPin* r : it->second.Referrers)
            if (auto referrer = x.Entries.find(r); referrer != x.Entries.end()) {
                EraseOne(referrer->second.Targets, APin);
                ordered.emplace_back(referrer->second.Order, r);
            }
        x.Entries.erase(it);
    }
    std::sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<TPNBasicPin*> result;
    result.reserve(ordered.size());
    for (const auto& o : ordered)
        result.push_back(o.second);
    return result;
}

bool Contains(TPNBasicPin* APin)
{
    TIndex& x = Index();
    std::lock_guard lock(x.Mutex);
    return x.Entries.contains(APin);
}

}  // namespace pnreferrers

}  // namespace dcs
