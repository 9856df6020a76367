#include "ui/controls/RawResources.h"

#include "platform/base/Strings.h"

#include <map>
#include <memory>
#include <mutex>

namespace dcs::smooth {

namespace {
struct Registry {
    std::mutex Lock;
    std::map<std::string, std::shared_ptr<const std::vector<uint8_t>>> Items;
    // Replaced blobs stay alive: a caller may still hold the pointer it was given.
    std::vector<std::shared_ptr<const std::vector<uint8_t>>> Retired;
};
Registry& Get()
{
    static Registry r;
    return r;
}
}  // namespace

void RegisterRawResource(const std::string& Name, std::vector<uint8_t> Bytes)
{
    Registry& r = Get();
    std::lock_guard<std::mutex> g(r.Lock);
    auto& slot = r.Items[UpperCase(Name)];
    if (slot)
        r.Retired.push_back(slot);
    slot = std::make_shared<const std::vector<uint8_t>>(std::move(Bytes));
}

const std::vector<uint8_t>* FindRawResource(const std::string& Name)
{
    Registry& r = Get();
    std::lock_guard<std::mutex> g(r.Lock);
    auto it = r.Items.find(UpperCase(Name));
    return it == r.Items.end() ? nullptr : it->second.get();
}

}  // namespace dcs::smooth
