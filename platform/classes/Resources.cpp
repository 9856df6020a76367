#include "platform/classes/Resources.h"

#include "platform/base/Streams.h"
#include "platform/base/Strings.h"
#include "platform/classes/TextForm.h"

#include <map>
#include <memory>
#include <mutex>

namespace dcs {

namespace {

struct TResource {
    std::string Data;
    bool Binary = false;
};

struct TResources {
    std::mutex Lock;
    std::map<std::string, std::shared_ptr<const TResource>> Texts;  // by lower-case class name
};

TResources& Res()
{
    static TResources r;
    return r;
}

std::shared_ptr<const TResource> Find(std::string_view ClassName)
{
    TResources& r = Res();
    std::lock_guard<std::mutex> g(r.Lock);
    auto it = r.Texts.find(LowerCase(ClassName));
    return it == r.Texts.end() ? nullptr : it->second;
}

}  // namespace

void RegisterComponentResource(const std::string& ClassName, std::string Text)
{
    TResources& r = Res();
    std::lock_guard<std::mutex> g(r.Lock);
    r.Texts[LowerCase(ClassName)] = std::make_shared<const TResource>(TResource {std::move(Text), false});
}

void RegisterComponentResourceData(const std::string& ClassName, std::string Binary)
{
    TResources& r = Res();
    std::lock_guard<std::mutex> g(r.Lock);
    r.Texts[LowerCase(ClassName)] = std::make_shared<const TResource>(TResource {std::move(Binary), true});
}

std::string ComponentResourceData(std::string_view ClassName)
{
    auto res = Find(ClassName);
    if (!res)
        return {};
    if (res->Binary)
        return res->Data;
    TMemoryStream bin;
    ObjectTextToBinary(res->Data, bin);
    return std::string(static_cast<const char*>(bin.Memory()), size_t(bin.Size()));
}

bool HasComponentResource(std::string_view ClassName) { return Find(ClassName) != nullptr; }

bool InitComponentFromResource(TComponent* Instance)
{
    for (TClass c = Instance->ClassType(); c; c = c->ClassParent())
        if (auto res = Find(c->ClassName())) {
            if (res->Binary) {
                TMemoryStream bin;
                bin.WriteBuffer(res->Data.data(), int64_t(res->Data.size()));
                bin.SetPosition(0);
                ReadComponentFromStream(bin, Instance);
            } else {
                ReadComponentFromText(res->Data, Instance);
            }
            return true;
        }
    return false;
}

}  // namespace dcs
