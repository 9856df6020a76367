#include "components/audio/buffers/MDSimpleMediaBuffer.h"

namespace dcs {

bool TMDTimeStamp::Available() const { return FIntBuffer->MediaContainer()->TimeStampAvailable(); }
void TMDTimeStamp::SetAvailable(bool value) { FIntBuffer->MediaContainer()->SetTimeStampAvailable(value); }
int64_t TMDTimeStamp::BeginTime() const { return FIntBuffer->MediaContainer()->TimeStampBegin(); }
void TMDTimeStamp::SetBeginTime(int64_t value) { FIntBuffer->MediaContainer()->SetTimeStampBegin(value); }
int64_t TMDTimeStamp::EndTime() const { return FIntBuffer->MediaContainer()->TimeStampEnd(); }
void TMDTimeStamp::SetEndTime(int64_t value) { FIntBuffer->MediaContainer()->SetTimeStampEnd(value); }

}  // namespace dcs
