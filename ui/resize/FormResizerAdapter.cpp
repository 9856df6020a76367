#include "ui/resize/FormResizer.h"

namespace dcs {

TResizeSeams ControlLayerSeams(TComponent* Owner)
{
    (void)Owner;
    return {};
}

}  // namespace dcs
