#include "platform/base/SysUtils.h"
