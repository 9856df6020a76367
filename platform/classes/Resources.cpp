#include "platform/classes/Resources.h"

#include "platform/base/Strings.h"
#include "platform/classes/TextForm.h"

#include <map>
#include <memory>
#include <mutex>

namespace dcs {

namespace {

struct TResources {
    std::mutex Lock;
    std::map<std::string, std::shared_ptr<const std::string>> Texts;  // by lower-case class name
};

TResources& Res()
{
    static TResources r;
    return r;
}

std::shared_ptr<const std::string> Find(std::string_view ClassName)
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
    r.Texts[LowerCase(ClassName)] = std::make_shared<const std::string>(std::move(Text));
}

bool HasComponentResource(std::string_view ClassName)
{
    return Find(ClassName) != nullptr;
}

bool InitComponentFromResource(TComponent* Instance)
{
    for (TClass c = Instance->ClassType(); c; c = c->ClassParent())
        if (auto text = Find(c->ClassName())) {
            ReadComponentFromText(*text, Instance);
            return true;
        }
    return false;
}

}  // namespace dcs
