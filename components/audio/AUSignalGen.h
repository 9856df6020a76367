// The waveform source: per buffer period a 16-bit mono signal of a chosen shape,
// frequency, amplitude and phase, which the base copies into every channel. The running
// phase is carried from buffer to buffer, so frequency, amplitude and shape changes
// between buffers do not break the wave.
#pragma once

#include "components/audio/AUCommonGen.h"
#include "components/pins/PNStatePins.h"

namespace dcs {

enum TAUSignalType {
    atTone,
    atTriangle,
    atSquare,
    atSawToothUp,
    atSawToothDown
};

// Just below pi, also as a float, so that +-pi' passes the triangle's asymmetry check.
inline constexpr double AUPiPrime = 3.141592621;

class TAUSignalGen : public TAUCommonGen {
    DCS_CLASS(TAUSignalGen, TAUCommonGen)

    // A tone of 500 Hz and amplitude 20000 that starts as soon as it is complete.
    explicit TAUSignalGen(TComponent* AOwner);
    ~TAUSignalGen() override;

    // Peak sample value, clamped to 0..32767.
    int32_t Amplitude() const { return FLock->Getter(FAmplitude); }
    void SetAmplitude(int32_t AValue);
    // Hz; anything not >= 0 becomes 0. The next buffer goes on from the phase reached.
    double Frequency() const { return FLock->Getter(FFrequency); }
    void SetFrequency(double AValue);
    TAUSignalType SignalType() const { return FLock->Getter(FSignalType); }
    void SetSignalType(TAUSignalType AValue);
    // The start phase in radians; written while running, the wave jumps to it.
    float Phase() const { return FLock->Getter(FPhase); }
    void SetPhase(float AValue);
    // Of the triangle, clamped to -pi'..+pi'.
    double Asymmetry() const { return FLock->Getter(FAsymmetry); }
    void SetAsymmetry(double AValue);
    // The running phase, in 0 .. 2pi.
    float CurrentPhase() const { return FLock->Getter(FIntPhase); }
    // A value arriving here is written to Frequency; Frequency changes are sent from here.
    TPNFloatIntStatePin* FrequencyPin() const { return FFrequencyPin; }

    static void DeclareProperties(TClassBuilder<TAUSignalGen>& P);

protected:
    void StartGenerating() override;
    void SetInternalRate(double ARate) override;
    void FillSignal(IntfPtr<IAUAudioBuffer>& ABuffer, bool& ASubmit, bool& AStop) override;

private:
    // One ramp per period of N samples, the rounding error of N carried.
    void FillSawTooth(int16_t* ADst, int ALength, double ALevel, double AFrequency, float* APhase);
    void UpdateSamplesPerCycle();

    float FIntPhase = 0.0f;
    float FIntPhase1 = 0.0f;
    float FPhase = 0.0f;
    int32_t FAmplitude = 20000;
    double FFrequency = 500.0;
    double FAsymmetry = 0.0;
    double FIntRate = 0.0;
    double FRampError = 0.0;
    int32_t FSamplesPerCycle = 0;
    TAUSignalType FSignalType = atTone;
    TPNFloatIntStatePin* FFrequencyPin = nullptr;
};

}  // namespace dcs
