// Which wave-out device a player opens: a device name with alternatives to try when that
// device is missing, stored with the player.
#pragma once

#include "components/pins/CKComponent.h"
#include "platform/waveout/WaveOut.h"

#include <string>
#include <vector>

namespace dcs {

class TAUAudioOut;

class TAUAudioOutDeviceItem : public TCKCollectionItem {
    DCS_CLASS(TAUAudioOutDeviceItem, TCKCollectionItem)
    using TCKCollectionItem::TCKCollectionItem;

    const std::string& DeviceName() const { return FDeviceName; }
    void SetDeviceName(const std::string& AValue) { FLock->Setter(FDeviceName, AValue); }
    std::string DisplayName() const override { return FDeviceName; }

    static void DeclareProperties(TClassBuilder<TAUAudioOutDeviceItem>& P);

private:
    std::string FDeviceName;
};

class TAUAudioOutDevice;

class TAUAudioOutDeviceItems : public TCKCollection {
    DCS_CLASS(TAUAudioOutDeviceItems, TCKCollection)
    explicit TAUAudioOutDeviceItems(TAUAudioOutDevice* AOwner);

    TAUAudioOutDeviceItem* Add() { return static_cast<TAUAudioOutDeviceItem*>(TCollection::Add()); }
    TAUAudioOutDeviceItem* GetItem(int AIndex) const { return static_cast<TAUAudioOutDeviceItem*>(Items(AIndex)); }

protected:
    // A new item takes the device name that the fewest items use already.
    void ItemAdded(TCollectionItem* Item) override;
};

// Which device a player opens: by name ("Default" in any letter case is the system's
// default device), else the first alternative that exists, else the default.
class TAUAudioOutDevice : public TCKPersistent {
    DCS_CLASS(TAUAudioOutDevice, TCKPersistent)
    TAUAudioOutDevice(TAUAudioOut* AOwner, ICKLock& ALock);

    const std::string& DeviceName() const { return FDeviceName; }
    void SetDeviceName(const std::string& AValue) { FLock->Setter(FDeviceName, AValue); }
    TAUAudioOutDeviceItems* AlternativeDevices() const
    {
        return const_cast<TAUAudioOutDeviceItems*>(&FAlternativeDevices);
    }
    void SetAlternativeDevices(TAUAudioOutDeviceItems* AValue) { FAlternativeDevices.Assign(AValue); }

    // A wave-out device index, or WAVE_MAPPER for the default device.
    UINT GetDeviceID();
    // Every device's name in index order.
    void GetDeviceList(std::vector<std::string>& AValues);
    // The device whose name is AName exactly, or -1; a device whose capabilities cannot
    // be read is a warning and matches nothing.
    int FindDeviceIndex(const std::string& AName);

    static void DeclareProperties(TClassBuilder<TAUAudioOutDevice>& P);

private:
    TAUAudioOut* FPlayer;
    std::string FDeviceName = "Default";
    TAUAudioOutDeviceItems FAlternativeDevices {this};
};

}  // namespace dcs
