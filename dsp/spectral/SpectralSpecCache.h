// FFT specs kept between convolution and correlation calls. Building the tables of a large
// spec costs far more than the transforms of one call, so the specs these calls make
// (flag 2: inverse divided by N) stay here, least recently used first out, up to a byte
// budget. A spec is only read by transforms, so one spec serves any number of threads.
#pragma once

#include <memory>

#include "dsp/spectral/FftSpec.h"

namespace dcs {

using SharedFftSpec = std::shared_ptr<FftSpec>;

// The complex or real spec of `order` with flag 2, from the cache or newly made (then
// kept). Null with the set-up's status in *status when it cannot be made; nothing is kept
// then. Takes the cache's lock; safe from any thread. The spec lives while any holder
// keeps its pointer, even once the cache has let it go.
SharedFftSpec SpectralSpecAcquire(bool complex, int order, VpsStatus* status) noexcept;

// Lets every kept spec go (each is freed once its last holder lets go). Takes the lock.
void SpectralSpecCacheClear() noexcept;

}  // namespace dcs
