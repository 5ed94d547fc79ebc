// The little the emulator needs from the operating system beyond the
// standard library; one implementation per platform.
#pragma once

namespace rfcemu {

// Blocks the calling thread for about `milliseconds`.
void SleepMilliseconds(unsigned milliseconds);

}  // namespace rfcemu
