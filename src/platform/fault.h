// A way for tests to make one file operation fail as the system would, so the failure paths
// (runtime error, old file kept, temporary file removed) can be seen without a full disk.
#pragma once

namespace platform::fault {

enum class Op { Create, Write, Flush, Close, Rename, Open, Read };

// The next operation of this kind fails with errnoValue. For Write, 0 makes the write put
// no bytes at all (a short write) instead of failing.
void failNext(Op op, int errnoValue);
// Forgets every failure not yet used.
void reset();

}  // namespace platform::fault
