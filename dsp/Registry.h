// The vector primitive registry: one entry per external function name, each a typed
// function pointer with the external library's signature. At start-up every entry takes
// the function of that name from the optional external libraries when one exports it,
// and otherwise keeps the built-in fallback. Callers call the entry and never learn which
// one they got.
//
// Calling an entry:  #include "dsp/MemoryEntries.h"  ...  dcs::vpsCopy_8u(src, dst, n);
// The typed global is constant-initialised with its fallback, so it is callable even
// before start-up; start-up (DspStartup) only swaps in external functions. The fallback
// itself is dcs::fallback::vpsCopy_8u, for code that must not go through the registry.
//
// Adding a module (one .cpp and one .h per family of entries):
//   1. In the module's header, declare each entry once (inside namespace dcs):
//        DCS_DSP_DECLARE(VpsStatus, vpsCopy_8u, (const Vps8u* pSrc, Vps8u* pDst, int len))
//      This declares the typed global dcs::vpsCopy_8u (type vpsCopy_8u_fn) and the hidden
//      fallback dcs::fallback::vpsCopy_8u.
//   2. In the module's .cpp (inside namespace dcs): define the fallbacks in namespace
//      fallback, define each global once with DCS_DSP_DEFINE(vpsCopy_8u), list the
//      entries in registration order, and write the module's registration function:
//        constexpr DspEntryDef kMemoryEntries[] = { DCS_DSP_ENTRY(vpsCopy_8u), ... };
//        void RegisterMemoryEntries(DspRegistrar& r) { r.Add(kMemoryEntries); }
//      A name that two modules register is declared and defined by one of them only; the
//      other includes that header and lists DCS_DSP_ENTRY(name) too (same fallback).
//   3. Add one line DCS_DSP_MODULE(RegisterMemoryEntries) to dsp/DspModules.inc, under
//      the comment of its place in the start-up order.
// No self-registering static objects: static libraries drop unreferenced ones. The module
// list in DspModules.inc is what links every module in.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "dsp/DspTypes.h"
#include "platform/base/DynLib.h"

#define DCS_DSP_HIDDEN __attribute__((visibility("hidden")))

namespace dcs {

using DspProc = void (*)();

// One (name, fallback) pair of a module. assign stores the external function (or the
// fallback when external is null) into the typed global and returns what it stored.
struct DspEntryDef {
    const char* name;
    DspProc (*assign)(DspProc external);
};

// Handed to each module's registration function during start-up.
class DspRegistrar {
public:
    // Fills the entries in list order: the external function of each name when a loaded
    // library exports it, else the module's fallback.
    void Add(std::span<const DspEntryDef> entries);
};

using DspModuleFn = void (*)(DspRegistrar&);

// Idempotent, thread-safe start-up: loads the external libraries (silently skipping any
// that are missing or broken) and fills every entry. It runs during static initialisation
// of the program and, at the latest, on the first lookup by name.
void DspStartup();

// Optional, at the end of the program once no other thread calls an entry: puts every
// entry back on its fallback, then releases the colour, image and signal libraries (the
// core library stays loaded). An entry never points into a released library.
void DspShutdown();

// The function an entry holds after start-up, or null for a name nobody registered.
DspProc DspLookup(const char* name);

template <class Fn> Fn DspLookupAs(const char* name) { return reinterpret_cast<Fn>(DspLookup(name)); }

struct DspEntryInfo {
    std::string name;
    DspProc function;  // null only for an entry without fallback whose library is absent
    bool external;     // taken from an external library
};

// Every registered name (each once), in first-registration order.
std::vector<DspEntryInfo> DspRegisteredEntries();

// Export lookups of the loader (null when the library is absent or lacks the name).
DspProc LookupSignalFunction(const char* name);
DspProc LookupImageFunction(const char* name);  // image library, then colour library
DspProc LookupCoreFunction(const char* name);

// Tests only: puts every entry back on its fallback, releases the external libraries and
// runs start-up again (the library search reads DCS_LIBRARY_PATH anew). No other thread
// may call an entry meanwhile.
void DspRestartForTesting();

}  // namespace dcs

// Declares the typed entry `Name` and its hidden fallback `fallback::Name`.
#define DCS_DSP_DECLARE(Ret, Name, Params)                                                                             \
    using Name##_fn = Ret(*) Params;                                                                                   \
    extern Name##_fn Name;                                                                                             \
    namespace fallback {                                                                                               \
    DCS_DSP_HIDDEN Ret Name Params;                                                                                    \
    }

// Declares an entry that has no fallback (null unless a library exports it).
#define DCS_DSP_DECLARE_NO_FALLBACK(Ret, Name, Params)                                                                 \
    using Name##_fn = Ret(*) Params;                                                                                   \
    extern Name##_fn Name;

// Defines the typed global of an entry, initially its fallback (exactly once per name).
#define DCS_DSP_DEFINE(Name) Name##_fn Name = &fallback::Name;
#define DCS_DSP_DEFINE_NO_FALLBACK(Name) Name##_fn Name = nullptr;

// One element of a module's entry list.
#define DCS_DSP_ENTRY(Name)                                                                                            \
    ::dcs::DspEntryDef                                                                                                 \
    {                                                                                                                  \
#Name, [](::dcs::DspProc external) -> ::dcs::DspProc {                        \
            Name = external ? reinterpret_cast<Name##_fn>(external) : &fallback::Name; \
            return reinterpret_cast<::dcs::DspProc>(Name);                            \
        }                                        \
    }

#define DCS_DSP_ENTRY_NO_FALLBACK(Name)                                                                                \
    ::dcs::DspEntryDef                                                                                                 \
    {                                                                                                                  \
#Name, [](::dcs::DspProc external) -> ::dcs::DspProc {         \
            Name = reinterpret_cast<Name##_fn>(external);              \
            return external;                                           \
        }                                                       \
    }

namespace dcs {
// The signal loader's core entry; its fallback reports 0 (no particular processor).
DCS_DSP_DECLARE(int, vpGetCpuType, ())
}  // namespace dcs
