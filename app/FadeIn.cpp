#include "app/FadeIn.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace dcs {

void FadeIn(TAUSignalGen* AGen, int32_t ATarget)
{
    for (int step = 1; step <= FadeInSteps; ++step) {
        AGen->SetAmplitude(std::max<int32_t>(1, int32_t(int64_t(ATarget) * step / FadeInSteps)));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    AGen->SetAmplitude(ATarget);
}

}  // namespace dcs
