#pragma once

namespace crashdump {

// Crashes the process on purpose, to check the dump writer: "null" writes
// through a null pointer, "abort" aborts, "stack" overflows the stack,
// "thread" writes through a null pointer on a second thread. Returns false
// (without crashing) for any other mode.
bool crashForTest(const char *mode);

} // namespace crashdump
