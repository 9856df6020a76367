// Virtual backend: one engine for all its devices, pulled by the test.
#include "platform/waveout/WaveOutInternal.h"

#include <map>

namespace dcs {

namespace {

struct VirtualState {
    std::mutex Mutex;
    std::vector<std::string> Devices {"Virtual output"};
    unsigned Rate = 48000;
    std::map<WaveOutCall, std::deque<MMRESULT>> Faults;
    std::vector<waveout_virtual::OpenRecord> Opens;
    std::unique_ptr<WaveOutEngine> Engine;
    std::size_t Users = 0;
};

VirtualState& State()
{
    static VirtualState state;
    return state;
}

UINT NumDevs()
{
    std::lock_guard lock(State().Mutex);
    return static_cast<UINT>(State().Devices.size());
}

MMRESULT DeviceName(UINT id, std::string& name)
{
    VirtualState& st = State();
    std::lock_guard lock(st.Mutex);
    if (id == WAVE_MAPPER)
        id = 0;
    if (id >= st.Devices.size())
        return MMSYSERR_BADDEVICEID;
    name = st.Devices[id];
    return MMSYSERR_NOERROR;
}

MMRESULT Attach(WaveOutStream& stream)
{
    VirtualState& st = State();
    std::lock_guard lock(st.Mutex);
    if (!st.Engine)
        st.Engine = std::make_unique<WaveOutEngine>(st.Rate);
    if (MMRESULT r = st.Engine->Attach(stream))
        return r;
    ++st.Users;
    st.Opens.push_back({stream.DeviceId, stream.OpenFlags, stream.Format.Header});
    return MMSYSERR_NOERROR;
}

void Detach(WaveOutStream& stream)
{
    VirtualState& st = State();
    std::lock_guard lock(st.Mutex);
    stream.Engine->Detach(stream);
    --st.Users;
}

MMRESULT Fault(WaveOutCall call)
{
    VirtualState& st = State();
    std::lock_guard lock(st.Mutex);
    auto& q = st.Faults[call];
    if (q.empty())
        return MMSYSERR_NOERROR;
    MMRESULT r = q.front();
    q.pop_front();
    return r;
}

void Log(const std::string&) {}

}  // namespace

const WaveOutBackend kWaveOutVirtualBackend = {"virtual", NumDevs, DeviceName, Attach, Detach, Fault, Log};

namespace waveout_virtual {

bool Configure(std::vector<std::string> devices, unsigned rate)
{
    VirtualState& st = State();
    std::lock_guard lock(st.Mutex);
    if (st.Users != 0)
        return false;
    st.Devices = std::move(devices);
    st.Rate = rate;
    st.Faults.clear();
    st.Opens.clear();
    st.Engine.reset();
    return true;
}

void FailNext(WaveOutCall call, MMRESULT code)
{
    VirtualState& st = State();
    std::lock_guard lock(st.Mutex);
    st.Faults[call].push_back(code);
}

std::vector<float> Advance(std::size_t frames)
{
    VirtualState& st = State();
    std::vector<float> out(2 * frames, 0.0f);
    std::lock_guard lock(st.Mutex);
    if (st.Engine)
        st.Engine->Mix(out.data(), frames);
    return out;
}

std::vector<OpenRecord> Opens()
{
    std::lock_guard lock(State().Mutex);
    return State().Opens;
}

}  // namespace waveout_virtual
}  // namespace dcs
