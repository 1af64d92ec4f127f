// The temporary files of a save in progress, known to the signal handlers, so that a run
// ended by a signal leaves nothing of its own behind, and never loses the old content.
#pragma once

namespace platform {

// Names a temporary file now being written (a terminated path the save keeps alive until
// it calls doneWithTemporary with it): a signal removes it. A save has two at most: the new
// content and the backup copy.
void savingTo(const char* temporaryPath) noexcept;
// The backup copy holds the only old content now: a signal gives it backupPath instead.
void keepOnSignal(const char* temporaryPath, const char* backupPath) noexcept;
void doneWithTemporary(const char* temporaryPath) noexcept;
// Async-signal-safe: removes (or keeps as backups) the temporary files of a save in
// progress, if there are any.
void removeTemporaryInProgress() noexcept;
// For a run without the console's handlers (the command line): a signal that ends the
// process does the above first, then ends it as it would have.
void tidyUpOnDeadlySignals() noexcept;

}  // namespace platform
