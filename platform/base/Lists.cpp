#include "platform/base/Lists.h"

#include "platform/base/Strings.h"

#include <algorithm>

namespace dcs {

namespace {

std::string IndexMessage(int index) { return "List index out of bounds (" + std::to_string(index) + ")"; }

}  // namespace

// ----------------------------------------------------------------------------- TList

TList::~TList()
{
    // A derived list has already emptied itself; what remains needs no notification
    // because the derived Notify no longer exists.
}

void TList::RaiseIndexError(int index) { throw EListError(IndexMessage(index)); }

void TList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        RaiseIndexError(index);
}

void TList::Notify(void*, TListNotification) {}

int TList::Add(void* item)
{
    FItems.push_back(item);
    if (item)
        Notify(item, lnAdded);
    return Count() - 1;
}

void TList::Insert(int index, void* item)
{
    if (index < 0 || index > Count())
        RaiseIndexError(index);
    FItems.insert(FItems.begin() + index, item);
    if (item)
        Notify(item, lnAdded);
}

void TList::Delete(int index)
{
    CheckIndex(index);
    void* item = FItems[size_t(index)];
    FItems.erase(FItems.begin() + index);
    if (item)
        Notify(item, lnDeleted);
}

int TList::Remove(void* item)
{
    const int index = IndexOf(item);
    if (index >= 0)
        Delete(index);
    return index;
}

void* TList::Extract(void* item)
{
    const int index = IndexOf(item);
    if (index < 0)
        return nullptr;
    FItems.erase(FItems.begin() + index);
    if (item)
        Notify(item, lnExtracted);
    return item;
}

int TList::IndexOf(void* item) const
{
    auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TList::Clear()
{
    SetCount(0);
    FItems.shrink_to_fit();
}

void TList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(FItems[size_t(index1)], FItems[size_t(index2)]);
}

void TList::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    void* item = FItems[size_t(curIndex)];
    FItems.erase(FItems.begin() + curIndex);
    FItems.insert(FItems.begin() + newIndex, item);
}

void TList::Pack() { FItems.erase(std::remove(FItems.begin(), FItems.end(), nullptr), FItems.end()); }

void TList::Sort(const TCompare& compare)
{
    std::stable_sort(FItems.begin(), FItems.end(), [&](void* a, void* b) { return compare(a, b) < 0; });
}

void* TList::Items(int index) const
{
    CheckIndex(index);
    return FItems[size_t(index)];
}

void TList::SetItems(int index, void* item)
{
    CheckIndex(index);
    void* old = FItems[size_t(index)];
    if (old == item)
        return;
    FItems[size_t(index)] = item;
    if (old)
        Notify(old, lnDeleted);
    if (item)
        Notify(item, lnAdded);
}

void TList::SetCount(int count)
{
    if (count < 0)
        throw EListError("List count out of bounds (" + std::to_string(count) + ")");
    if (count > Count()) {
        FItems.resize(size_t(count), nullptr);
        return;
    }
    // From the end, one at a time, so each deletion is notified with the list still
    // consistent (an owned object's destructor may look at the list).
    while (Count() > count)
        Delete(Count() - 1);
}

void TList::SetCapacity(int capacity)
{
    if (capacity < Count())
        throw EListError("List capacity out of bounds (" + std::to_string(capacity) + ")");
    if (size_t(capacity) > FItems.capacity())
        FItems.reserve(size_t(capacity));
}

// ----------------------------------------------------------------------- TObjectList

TObjectList::~TObjectList() { Clear(); }

void TObjectList::Notify(void* item, TListNotification action)
{
    if (FOwnsObjects && action == lnDeleted)
        delete static_cast<TObject*>(item);
}

// -------------------------------------------------------------------- TInterfaceList

TInterfaceList::~TInterfaceList() { Clear(); }

void TInterfaceList::CheckIndex(int index) const
{
    if (index < 0 || index >= int(FItems.size()))
        throw EListError(IndexMessage(index));
}

int TInterfaceList::Add(const Item& item)
{
    std::lock_guard guard(FLock);
    FItems.push_back(item);
    return int(FItems.size()) - 1;
}

void TInterfaceList::Insert(int index, const Item& item)
{
    std::lock_guard guard(FLock);
    if (index < 0 || index > int(FItems.size()))
        throw EListError(IndexMessage(index));
    FItems.insert(FItems.begin() + index, item);
}

void TInterfaceList::Delete(int index)
{
    Item released;  // dropped after the lock: its destructor may reach back into us
    std::lock_guard guard(FLock);
    CheckIndex(index);
    released = std::move(FItems[size_t(index)]);
    FItems.erase(FItems.begin() + index);
}

int TInterfaceList::Remove(const Item& item)
{
    Item released;
    std::lock_guard guard(FLock);
    const int index = IndexOf(item);
    if (index >= 0) {
        released = std::move(FItems[size_t(index)]);
        FItems.erase(FItems.begin() + index);
    }
    return index;
}

int TInterfaceList::IndexOf(const Item& item) const
{
    std::lock_guard guard(FLock);
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i] == item)
            return int(i);
    return -1;
}

void TInterfaceList::Clear()
{
    std::vector<Item> released;
    {
        std::lock_guard guard(FLock);
        released.swap(FItems);
    }
}

void TInterfaceList::Exchange(int index1, int index2)
{
    std::lock_guard guard(FLock);
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(FItems[size_t(index1)], FItems[size_t(index2)]);
}

TInterfaceList::Item TInterfaceList::Last() const
{
    std::lock_guard guard(FLock);
    return Items(int(FItems.size()) - 1);
}

TInterfaceList::Item TInterfaceList::Items(int index) const
{
    std::lock_guard guard(FLock);
    CheckIndex(index);
    return FItems[size_t(index)];
}

void TInterfaceList::SetItems(int index, const Item& item)
{
    Item released;
    std::lock_guard guard(FLock);
    CheckIndex(index);
    released = std::exchange(FItems[size_t(index)], item);
}

int TInterfaceList::Count() const
{
    std::lock_guard guard(FLock);
    return int(FItems.size());
}

// ----------------------------------------------------------------------- TStringList

TStringList::~TStringList() { Clear(); }

void TStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EStringListError(IndexMessage(index));
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const
{
    return FCaseSensitive ? CompareStr(a, b) : CompareText(a, b);
}

void TStringList::FreeObject(TObject* object)
{
    if (FOwnsObjects)
        delete object;
}

int TStringList::AddObject(const std::string& s, TObject* object)
{
    int index = Count();
    if (FSorted && Find(s, index)) {
        if (FDuplicates == dupIgnore)
            return index;
        if (FDuplicates == dupError)
            throw EStringListError("String list does not allow duplicates");
    }
    FItems.insert(FItems.begin() + index, Entry {s, object});
    return index;
}

void TStringList::InsertObject(int index, const std::string& s, TObject* object)
{
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted list");
    if (index < 0 || index > Count())
        throw EStringListError(IndexMessage(index));
    FItems.insert(FItems.begin() + index, Entry {s, object});
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    TObject* object = FItems[size_t(index)].Object;
    FItems.erase(FItems.begin() + index);
    FreeObject(object);
}

void TStringList::Clear()
{
    std::vector<Entry> old;
    old.swap(FItems);
    for (Entry& e : old)
        FreeObject(e.Object);
}

void TStringList::Exchange(int index1, int index2)
{
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted list");
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(FItems[size_t(index1)], FItems[size_t(index2)]);
}

int TStringList::IndexOf(const std::string& s) const
{
    if (FSorted) {
        int index;
        return Find(s, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(FItems[size_t(i)].S, s) == 0)
            return i;
    return -1;
}

int TStringList::IndexOfObject(const TObject* object) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[size_t(i)].Object == object)
            return i;
    return -1;
}

bool TStringList::Find(const std::string& s, int& index) const
{
    // Lower bound: with duplicates the first equal entry is found.
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (CompareStrings(FItems[size_t(mid)].S, s) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    index = lo;
    return lo < Count() && CompareStrings(FItems[size_t(lo)].S, s) == 0;
}

void TStringList::Sort()
{
    std::stable_sort(FItems.begin(), FItems.end(),
                     [this](const Entry& a, const Entry& b) { return CompareStrings(a.S, b.S) < 0; });
}

const std::string& TStringList::Strings(int index) const
{
    CheckIndex(index);
    return FItems[size_t(index)].S;
}

void TStringList::SetStrings(int index, const std::string& s)
{
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted list");
    CheckIndex(index);
    FItems[size_t(index)].S = s;
}

TObject* TStringList::Objects(int index) const
{
    CheckIndex(index);
    return FItems[size_t(index)].Object;
}

void TStringList::SetObjects(int index, TObject* object)
{
    CheckIndex(index);
    TObject* old = std::exchange(FItems[size_t(index)].Object, object);
    if (old != object)
        FreeObject(old);
}

void TStringList::SetSorted(bool value)
{
    if (value && !FSorted)
        Sort();
    FSorted = value;
}

void TStringList::SetCaseSensitive(bool value)
{
    if (value == FCaseSensitive)
        return;
    FCaseSensitive = value;
    if (FSorted)
        Sort();
}

std::string TStringList::Text() const
{
    std::string out;
    for (const Entry& e : FItems) {
        out += e.S;
        out += '\n';
    }
    return out;
}

void TStringList::SetText(std::string_view text)
{
    Clear();
    size_t i = 0;
    while (i < text.size()) {
        size_t j = i;
        while (j < text.size() && text[j] != '\n' && text[j] != '\r')
            ++j;
        Add(std::string(text.substr(i, j - i)));
        if (j < text.size() && text[j] == '\r')
            ++j;
        if (j < text.size() && text[j] == '\n')
            ++j;
        i = j;
    }
}

std::string TStringList::CommaText() const
{
    std::string out;
    for (size_t i = 0; i < FItems.size(); ++i) {
        if (i > 0)
            out += ',';
        const std::string& s = FItems[i].S;
        const bool quote = s.empty() || std::any_of(s.begin(), s.end(), [](char c) {
                               return static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '"';
                           });
        if (!quote) {
            out += s;
            continue;
        }
        out += '"';
        for (char c : s) {
            if (c == '"')
                out += '"';
            out += c;
        }
        out += '"';
    }
    return out;
}

void TStringList::SetCommaText(std::string_view text)
{
    Clear();
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && blank(text[i]))
        ++i;
    while (i < n) {
        std::string item;
        if (text[i] == '"') {
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            while (i < n && text[i] != ',' && !blank(text[i]))
                item += text[i++];
        }
        Add(item);
        while (i < n && blank(text[i]))
            ++i;
        if (i < n && text[i] == ',') {
            ++i;
            while (i < n && blank(text[i]))
                ++i;
            if (i == n)
                Add("");  // a trailing comma ends with an empty item
        }
    }
}

// ----------------------------------------------------------------------- TThreadList

void TThreadList::Add(void* item)
{
    std::lock_guard guard(FLock);
    if (FDuplicates != dupAccept && FList.IndexOf(item) >= 0) {
        if (FDuplicates == dupError)
            throw EListError("List does not allow duplicates");
        return;
    }
    FList.Add(item);
}

void TThreadList::Remove(void* item)
{
    std::lock_guard guard(FLock);
    FList.Remove(item);
}

void TThreadList::Clear()
{
    std::lock_guard guard(FLock);
    FList.Clear();
}

TList* TThreadList::LockList()
{
    FLock.lock();
    return &FList;
}

void TThreadList::UnlockList() { FLock.unlock(); }

}  // namespace dcs
