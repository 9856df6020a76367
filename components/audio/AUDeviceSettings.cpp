#include "components/audio/AUDeviceSettings.h"

#include "components/audio/AUAudioOut.h"
#include "platform/base/Strings.h"

namespace dcs {

namespace {

// False, with a warning to the player, when the device's capabilities cannot be read.
bool ReadDeviceName(TAUAudioOut* APlayer, UINT AIndex, std::string& AName)
{
    WAVEOUTCAPSW caps {};
    const MMRESULT r = waveOutGetDevCapsW(AIndex, &caps, sizeof(caps));
    if (r != MMSYSERR_NOERROR) {
        if (APlayer)
            APlayer->RaiseDeviceWarning("Can't get device capabilities.", r);
        return false;
    }
    AName = UTF16ToUTF8(caps.szPname);
    return true;
}

}  // namespace

void TAUAudioOutDeviceItem::DeclareProperties(TClassBuilder<TAUAudioOutDeviceItem>& P)
{
    P.String("DeviceName", &TAUAudioOutDeviceItem::FDeviceName, &TAUAudioOutDeviceItem::SetDeviceName);
}

TAUAudioOutDeviceItems::TAUAudioOutDeviceItems(TAUAudioOutDevice* AOwner)
    : TCKCollection(AOwner, TAUAudioOutDeviceItem::StaticClass())
{
}

void TAUAudioOutDeviceItems::ItemAdded(TCollectionItem* Item)
{
    auto* item = static_cast<TAUAudioOutDeviceItem*>(Item);
    std::vector<std::string> names;
    static_cast<TAUAudioOutDevice*>(GetOwner())->GetDeviceList(names);
    std::string chosen = "Default";
    int fewest = 22000;
    for (const std::string& name : names) {
        if (name.empty())
            continue;
        int uses = 0;
        for (int i = 0; i < Count(); ++i)
            if (Items(i) != Item && GetItem(i)->DeviceName() == name)
                ++uses;
        if (uses < fewest) {
            fewest = uses;
            chosen = name;
        }
    }
    item->SetDeviceName(chosen);
}

TAUAudioOutDevice::TAUAudioOutDevice(TAUAudioOut* AOwner, ICKLock& ALock)
    : TCKPersistent(AOwner, ALock), FPlayer(AOwner)
{
}

void TAUAudioOutDevice::DeclareProperties(TClassBuilder<TAUAudioOutDevice>& P)
{
    P.Object("AlternativeDevices", &TAUAudioOutDevice::AlternativeDevices, &TAUAudioOutDevice::SetAlternativeDevices);
    P.String("DeviceName", &TAUAudioOutDevice::FDeviceName, &TAUAudioOutDevice::SetDeviceName);
}

int TAUAudioOutDevice::FindDeviceIndex(const std::string& AName)
{
    const UINT count = waveOutGetNumDevs();
    std::string name;
    for (UINT i = 0; i < count; ++i) {
        // A device whose name cannot be read matches nothing: the other devices, the
        // alternatives and the default are still tried.
        if (ReadDeviceName(FPlayer, i, name) && name == AName)
            return int(i);
    }
    return -1;
}

void TAUAudioOutDevice::GetDeviceList(std::vector<std::string>& AValues)
{
    const UINT count = waveOutGetNumDevs();
    std::string name;
    for (UINT i = 0; i < count; ++i) {
        if (!ReadDeviceName(FPlayer, i, name))
            return;
        AValues.push_back(name);
    }
}

UINT TAUAudioOutDevice::GetDeviceID()
{
    const std::string name = FLock->Getter(FDeviceName);
    if (UpperCase(name) == "DEFAULT")
        return WAVE_MAPPER;
    if (int index = FindDeviceIndex(name); index != -1)
        return UINT(index);
    for (int i = 0; i < FAlternativeDevices.Count(); ++i) {
        const std::string alternative = FAlternativeDevices.GetItem(i)->DeviceName();
        if (UpperCase(alternative) == "DEFAULT")
            return WAVE_MAPPER;
        if (int index = FindDeviceIndex(alternative); index != -1)
            return UINT(index);
    }
    return WAVE_MAPPER;
}

}  // namespace dcs
