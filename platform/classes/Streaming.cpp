#include "platform/classes/Classes.h"
namespace dcs {
void TComponent::ReadState(TReader&) {}
void TComponent::WriteState(TWriter&) {}
}
