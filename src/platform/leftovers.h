// The temporary files of a save in progress, known to the signal handlers, so that a run
// ended by a signal leaves nothing of its own behind.
#pragma once

namespace platform {

// Names a temporary file now being written (a terminated path the save keeps alive until
// it calls doneWithTemporary with it). A save has two at most: the new content and the
// backup copy.
void savingTo(const char* temporaryPath) noexcept;
void doneWithTemporary(const char* temporaryPath) noexcept;
// Async-signal-safe: removes the temporary files of a save in progress, if there are any.
void removeTemporaryInProgress() noexcept;

}  // namespace platform
