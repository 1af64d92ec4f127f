// The temporary file of a save in progress, known to the signal handlers, so that a run
// ended by a signal leaves nothing of its own behind.
#pragma once

namespace platform {

// Names the temporary file now being written (a terminated path the save keeps alive until
// it calls doneWithTemporary), or none.
void savingTo(const char* temporaryPath) noexcept;
void doneWithTemporary() noexcept;
// Async-signal-safe: removes the temporary file of a save in progress, if there is one.
void removeTemporaryInProgress() noexcept;

}  // namespace platform
