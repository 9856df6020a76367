#include "components/audio/AUSignalGen.h"

#include "dsp/RampEntries.h"
#include "dsp/SignalGenerationEntries.h"

#include <cmath>
#include <cstdlib>

namespace dcs {

namespace {

const TEnumInfo SignalTypeInfo {"TAUSignalType",
                                {"atTone", "atTriangle", "atSquare", "atSawToothUp", "atSawToothDown"}};

constexpr double kTwoPiPrime = 2.0 * AUPiPrime;
constexpr double kTwoPi = 6.283185307179586;

// A phase as the tone and triangle entries take it, in [0, 2pi). They refuse any other
// value and leave it in place, so one such phase would silence every later buffer. 2pi
// is the same angle as 0, and a float just below 2pi may round up to it.
float RunningPhase(double APhase)
{
    if (!std::isfinite(APhase))
        return 0.0f;
    if (APhase >= 0.0 && APhase < kTwoPi && double(float(APhase)) < kTwoPi)
        return float(APhase);
    double r = std::fmod(APhase, kTwoPi);
    if (r < 0.0)
        r += kTwoPi;
    const float f = float(r);
    return double(f) >= 0.0 && double(f) < kTwoPi ? f : 0.0f;
}

// Half a period on from APhase, for the second wave of the square.
float HalfPeriodOn(double APhase)
{
    double p = APhase + AUPiPrime;
    if (p > kTwoPiPrime)
        p -= kTwoPiPrime;
    return RunningPhase(p);
}

// Nearest, ties to even; 0 for what does not fit.
int32_t RoundToInt(double AValue)
{
    if (!(std::fabs(AValue) < 2147483647.0))
        return 0;
    return int32_t(std::nearbyint(AValue));
}

}  // namespace

void TAUSignalGen::DeclareProperties(TClassBuilder<TAUSignalGen>& P)
{
    P.Float("Phase", "Single", &TAUSignalGen::Phase, &TAUSignalGen::SetPhase);
    P.Integer("Amplitude", &TAUSignalGen::Amplitude, &TAUSignalGen::SetAmplitude).Default(20000);
    P.Float("Frequency", "Double", &TAUSignalGen::Frequency, &TAUSignalGen::SetFrequency);
    P.Float("Asymmetry", "Double", &TAUSignalGen::Asymmetry, &TAUSignalGen::SetAsymmetry);
    P.Enum("SignalType", SignalTypeInfo, &TAUSignalGen::SignalType, &TAUSignalGen::SetSignalType).Default(atTone);
    P.Object("FrequencyPin", &TAUSignalGen::FrequencyPin);
}

TAUSignalGen::TAUSignalGen(TComponent* AOwner) : TAUCommonGen(AOwner)
{
    FFrequencyPin = Create<TPNFloatIntStatePin>(
        this, FLock, [this](TPNPin*, float AValue) { SetFrequency(double(AValue)); }, nullptr);
}

TAUSignalGen::~TAUSignalGen() { FreeAndNil(FFrequencyPin); }

void TAUSignalGen::SetAmplitude(int32_t AValue) { FLock->SetterMinMax(FAmplitude, AValue, 0, 32767); }

void TAUSignalGen::SetFrequency(double AValue)
{
    if (!(AValue >= 0.0))
        AValue = 0.0;
    IPNLockSection section = FLock->WriteLock();
    if (AValue == FFrequency)
        return;
    FFrequency = AValue;
    FFrequencyPin->SetValue(float(AValue));
}

void TAUSignalGen::SetSignalType(TAUSignalType AValue)
{
    IPNLockSection section = FLock->WriteLock();
    if (AValue == FSignalType)
        return;
    FSignalType = AValue;
    FIntPhase1 = HalfPeriodOn(FIntPhase);
}

void TAUSignalGen::SetPhase(float AValue)
{
    FLock->Setter(FPhase, AValue, [this] {
        FIntPhase = RunningPhase(FPhase);
        FIntPhase1 = RunningPhase(double(FPhase) + AUPiPrime);
    });
}

void TAUSignalGen::SetAsymmetry(double AValue) { FLock->SetterMinMax(FAsymmetry, AValue, -AUPiPrime, AUPiPrime); }

void TAUSignalGen::StartGenerating()
{
    IPNLockSection section = FLock->WriteLock();
    if (!section)
        return;
    FRampError = 0.0;
    FIntPhase = RunningPhase(FPhase);
    FIntPhase1 = HalfPeriodOn(FPhase);
    TAUCommonGen::StartGenerating();
}

void TAUSignalGen::UpdateSamplesPerCycle() { FSamplesPerCycle = RoundToInt(1.0 / (FFrequency / FIntRate)); }

void TAUSignalGen::SetInternalRate(double ARate)
{
    IPNLockSection section = FLock->WriteLock();
    if (FLock->SetterMin(FIntRate, ARate, 0.0))
        UpdateSamplesPerCycle();
}

void TAUSignalGen::FillSignal(IntfPtr<IAUAudioBuffer>& ABuffer, bool& /*ASubmit*/, bool& /*AStop*/)
{
    const double f = FFrequency / FIntRate;
    FSamplesPerCycle = RoundToInt(1.0 / f);
    const uint32_t n = ABuffer->GetSize();
    if (FIntVarBuffer->GetByteSize() != 2 * n)
        FIntVarBuffer = IntfPtr<ISGBlockBuffer>(new TSGBlockBuffer(2 * n));
    const int len = int(n);
    const Vps16s amplitude = Vps16s(uint16_t(uint32_t(FAmplitude)));
    switch (FSignalType) {
    case atTone:
        if (vpsTone_Direct_16s(reinterpret_cast<Vps16s*>(FIntVarBuffer->Write()), len, amplitude, float(f), &FIntPhase,
                               0) &
            0xFFFF)
            FIntVarBuffer->Zero();
        FIntPhase = RunningPhase(FIntPhase);
        break;
    case atTriangle:
        if (vpsTriangle_Direct_16s(reinterpret_cast<Vps16s*>(FIntVarBuffer->Write()), len, amplitude, float(f),
                                   float(FAsymmetry), &FIntPhase))
            FIntVarBuffer->Zero();
        FIntPhase = RunningPhase(FIntPhase);
        break;
    case atSquare: {
        // Two full-scale ramps half a period apart add up to a full-scale square; the
        // threshold then cuts it down to the amplitude.
        IntfPtr<ISGBlockBuffer> second(new TSGBlockBuffer(2 * n));
        auto* work = reinterpret_cast<Vps16s*>(FIntVarBuffer->Write());
        vpsTriangle_Direct_16s(work, len, 32767, float(f), float(AUPiPrime), &FIntPhase);
        vpsTriangle_Direct_16s(reinterpret_cast<Vps16s*>(second->Write()), len, 32767, float(f), float(-AUPiPrime),
                               &FIntPhase1);
        vpsAdd_16s_I(reinterpret_cast<const Vps16s*>(second->Read()), work, len);
        vpsThreshold_LTValGTVal_16s_I(work, len, Vps16s(-amplitude), Vps16s(-amplitude), amplitude, amplitude);
        FIntPhase = RunningPhase(FIntPhase);
        FIntPhase1 = RunningPhase(FIntPhase1);
        break;
    }
    case atSawToothUp:
        FillSawTooth(reinterpret_cast<int16_t*>(FIntVarBuffer->Modify()), len, std::abs(double(FAmplitude)), f,
                     &FIntPhase);
        break;
    case atSawToothDown:
        FillSawTooth(reinterpret_cast<int16_t*>(FIntVarBuffer->Modify()), len, -std::abs(double(FAmplitude)), f,
                     &FIntPhase);
        break;
    }
    CopyToChannels(FIntVarBuffer.Get(), ABuffer.Get());
}

void TAUSignalGen::FillSawTooth(int16_t* ADst, int ALength, double ALevel, double AFrequency, float* APhase)
{
    const int32_t period = FSamplesPerCycle;
    if (period <= 0 || !(AFrequency > 0.0)) {
        // No period to ramp over: a silent buffer.
        for (int i = 0; i < ALength; ++i)
            ADst[i] = 0;
        return;
    }
    const double step = 2.0 * ALevel / period;
    const int16_t top = int16_t(std::floor(ALevel));
    int32_t done = RoundToInt(0.5 * double(*APhase) / AUPiPrime / AFrequency);
    if (done < 0 || done > period)
        done = 0;  // a phase set from outside the range starts a fresh period
    int32_t first = period - done;
    const bool open = first + 1 > ALength;
    if (open)
        first = ALength - 1;
    FRampError += period - 1.0 / AFrequency;

    int written = 0;
    if (done > 0 || open) {
        int32_t carry = 0;
        if (std::fabs(FRampError) >= 1.0) {
            carry = int32_t(std::trunc(FRampError));
            FRampError -= carry;
        }
        first += carry;
        // The carried correction never makes the ramp run past the buffer.
        if (first > ALength - 1)
            first = ALength - 1;
        if (first >= 0) {
            vpsVectorRamp_16s(ADst, first + 1, float((done - carry) * step - ALevel), float(step));
            if (!open)
                ADst[first] = top;
            written = first + 1;
        }
    }
    while (ALength - written >= period + 1) {
        vpsVectorRamp_16s(ADst + written, period + 1, float(-ALevel), float(step));
        ADst[written + period] = top;
        written += period + 1;
    }
    int32_t reached;
    if (!open) {
        if (ALength > written)
            vpsVectorRamp_16s(ADst + written, ALength - written, float(-ALevel), float(step));
        reached = ALength - written;
    } else {
        reached = done + ALength;
    }
    *APhase = float(kTwoPiPrime * reached / period);
}

}  // namespace dcs
