#include <windows.h>

#include "platform.h"

namespace rfcemu {

void SleepMilliseconds(unsigned milliseconds) { Sleep(milliseconds); }

}  // namespace rfcemu
