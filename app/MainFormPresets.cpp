#include "app/MainFormPresets.h"

namespace dcs {

TPresetPairs PresetPairsOf(TForm1& AForm)
{
    TPresetPairs pairs;
    auto find = [&AForm](const std::string& AName) {
        TAUSignalGen* gen = As<TAUSignalGen>(AForm.FindComponent(AName));
        if (gen == nullptr)
            throw EComponentError("The main window's resource has no " + AName);
        return gen;
    };
    for (int k = 0; k < PresetPairCount; ++k) {
        pairs.Sg[size_t(k)] = find("sg" + std::to_string(k + 1));
        pairs.Sgr[size_t(k)] = find("sgr" + std::to_string(k + 1));
    }
    pairs.Name = &AForm.PresetName;
    pairs.Frequencies = &AForm.PresetFrequencies;
    return pairs;
}

}  // namespace dcs
