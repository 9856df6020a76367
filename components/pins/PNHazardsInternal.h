// Checks, in debug builds, of the two rules the pin framework relies on without being
// able to enforce them: a worker thread that holds a pin's section never creates or
// looks up pins (the main thread may, while it destroys a pin, lock every pin under the
// register section), and a thread inside a delivery never unlinks or destroys the pin
// that delivers (the destroy lock would wait for that very delivery). Private to the
// pin framework's sources.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace dcs {

class TPNBasicPin;

namespace pnhazard {

bool IsMainThread();

#ifndef NDEBUG
// Marks the calling thread as inside a delivery of APin for its lifetime.
class TDelivery {
public:
    explicit TDelivery(TPNBasicPin* APin);
    ~TDelivery();
    TDelivery(const TDelivery&) = delete;
    TDelivery& operator=(const TDelivery&) = delete;
};
bool InDeliveryOf(TPNBasicPin* APin);
bool HoldsPinSectionOffMainThread();
#else
class TDelivery {
public:
    explicit TDelivery(TPNBasicPin*) {}
};
inline bool InDeliveryOf(TPNBasicPin*) { return false; }
inline bool HoldsPinSectionOffMainThread() { return false; }
#endif

}  // namespace pnhazard

#ifndef NDEBUG
#define PN_ASSERT_HAZARD(Cond, Text)                                                                                   \
    do {                                                                                                               \
        if (!(Cond)) {                                                                                                 \
            std::fprintf(stderr, "pin framework hazard: %s\n", Text);                                                  \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)
#else
#define PN_ASSERT_HAZARD(Cond, Text) ((void)0)
#endif

}  // namespace dcs
