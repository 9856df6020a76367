// Clock threads shared by the generators of one period. With one clock thread per
// generator, a graph of a thousand generators wakes a thousand threads every period;
// here every generator of a period is a member of one clock thread of that period, which
// runs each member's buffer work once per period, in the order they joined. Each member
// still gets exactly one run per period, as many after a late wake-up as it missed, and
// none once it has left.
//
// The shared thread is named after the component of its first member, as a clock thread
// of its own would be ("sg1.TSGClockGen"); it ends when its last member leaves.
#pragma once

#include "components/audio/SGClockGen.h"

#include <cstdint>

namespace dcs {

class TSGSharedClockGroup;

class TSGSharedClockMember : public TSGClock {
public:
    // Joins the shared clock of AInterval (starting it when it is the first member).
    // AEvent runs on the shared thread once per period from the next period on. An
    // interval of 0 or less never runs.
    // Members of another AKind never share a thread (the mixers' clocks run apart from
    // the generators' of the same period, so that no mixer waits for a generator's turn).
    static TSGSharedClockMember* Create(const TComponent* AOwner, int64_t AInterval, TSGClockGenEvent AEvent,
                                        int AKind = 0);
    // Leaves; waits while this member's event runs on the shared thread (unless called
    // from that thread). The last member to leave ends the thread.
    ~TSGSharedClockMember() override;

    int64_t Interval() const override { return FInterval; }

    // Shared clock threads alive now, and the members of the one of AInterval.
    static int SharedClocks();
    static int Members(int64_t AInterval, int AKind = 0);

private:
    friend class TSGSharedClockGroup;
    TSGSharedClockMember(int64_t AInterval, TSGClockGenEvent AEvent, int AKind)
        : FInterval(AInterval), FKind(AKind), FEvent(std::move(AEvent))
    {
    }

    int64_t FInterval;
    int FKind;
    TSGClockGenEvent FEvent;
    TSGSharedClockGroup* FGroup = nullptr;
};

}  // namespace dcs
