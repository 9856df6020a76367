#include "dsp/Registry.h"

#include <cstring>
#include <mutex>
#include <unordered_map>

namespace dcs {

#define DCS_DSP_MODULE(fn) void fn(DspRegistrar&);
#include "dsp/DspModules.inc"
#undef DCS_DSP_MODULE

namespace {

constexpr DspModuleFn kModules[] = {
#define DCS_DSP_MODULE(fn) &fn,
#include "dsp/DspModules.inc"
#undef DCS_DSP_MODULE
};

struct RegistryState {
    HMODULE imageLibrary = nullptr;   // "vpi-5.1.dll"
    HMODULE colorLibrary = nullptr;   // "vpcc-5.1.dll"
    HMODULE signalLibrary = nullptr;  // "vps-5.1.dll"
    HMODULE coreLibrary = nullptr;    // "vpcore-5.1.dll"
    std::vector<DspEntryInfo> entries;
    std::unordered_map<std::string, std::size_t> index;
    std::vector<const DspEntryDef*> defs;  // every registration, to put entries back
};

RegistryState& State()
{
    static RegistryState state;
    return state;
}

std::once_flag gStartOnce;

DspProc Lookup(const char* name)
{
    if (std::strncmp(name, "vpi", 3) == 0)
        return LookupImageFunction(name);
    if (std::strncmp(name, "vps", 3) == 0)
        return LookupSignalFunction(name);
    return LookupCoreFunction(name);
}

void RunStartup()
{
    RegistryState& s = State();
    s.imageLibrary = LoadLibrary("vpi-5.1.dll");
    s.colorLibrary = LoadLibrary("vpcc-5.1.dll");
    s.signalLibrary = LoadLibrary("vps-5.1.dll");
    s.coreLibrary = LoadLibrary("vpcore-5.1.dll");
    DspRegistrar registrar;
    for (DspModuleFn module : kModules)
        module(registrar);
}

// Runs at program load, before main and before any thread, so the registry is complete
// and read-only by the time anything calls through it concurrently.
[[maybe_unused]] const bool gStartedAtLoad = (DspStartup(), true);

}  // namespace

void DspRegistrar::Add(std::span<const DspEntryDef> entries)
{
    RegistryState& s = State();
    for (const DspEntryDef& def : entries) {
        const DspProc external = Lookup(def.name);
        const DspProc stored = def.assign(external);
        s.defs.push_back(&def);
        const auto [it, added] = s.index.try_emplace(def.name, s.entries.size());
        if (added)
            s.entries.push_back({def.name, stored, external != nullptr});
        else
            s.entries[it->second] = {def.name, stored, external != nullptr};
    }
}

void DspStartup() { std::call_once(gStartOnce, RunStartup); }

DspProc DspLookup(const char* name)
{
    DspStartup();
    if (!name)
        return nullptr;
    const RegistryState& s = State();
    const auto it = s.index.find(name);
    return it == s.index.end() ? nullptr : s.entries[it->second].function;
}

std::vector<DspEntryInfo> DspRegisteredEntries()
{
    DspStartup();
    return State().entries;
}

DspProc LookupSignalFunction(const char* name) { return GetProcAddress(State().signalLibrary, name); }

DspProc LookupImageFunction(const char* name)
{
    const RegistryState& s = State();
    if (DspProc p = GetProcAddress(s.imageLibrary, name))
        return p;
    return GetProcAddress(s.colorLibrary, name);
}

DspProc LookupCoreFunction(const char* name) { return GetProcAddress(State().coreLibrary, name); }

namespace {

void ReleaseLibraries(bool includingCore)
{
    RegistryState& s = State();
    for (const DspEntryDef* def : s.defs)
        s.entries[s.index.at(def->name)] = {def->name, def->assign(nullptr), false};
    for (HMODULE* lib : {&s.colorLibrary, &s.imageLibrary, &s.signalLibrary, &s.coreLibrary}) {
        if (lib == &s.coreLibrary && !includingCore)
            continue;
        if (*lib)
            FreeLibrary(*lib);
        *lib = nullptr;
    }
}

}  // namespace

void DspShutdown()
{
    DspStartup();
    ReleaseLibraries(false);
}

void DspRestartForTesting()
{
    DspStartup();
    ReleaseLibraries(true);
    RegistryState& s = State();
    s.entries.clear();
    s.index.clear();
    s.defs.clear();
    RunStartup();
}

// ---- the signal loader's core entry ---------------------------------------------------

namespace fallback {
int vpGetCpuType() { return 0; }
}  // namespace fallback

DCS_DSP_DEFINE(vpGetCpuType)

namespace {
constexpr DspEntryDef kCoreEntry[] = {DCS_DSP_ENTRY(vpGetCpuType)};
}  // namespace

void RegisterCoreEntry(DspRegistrar& r) { r.Add(kCoreEntry); }

}  // namespace dcs
