// Files that several processes change: one writer at a time, each seeing
// what the one before it wrote.
#pragma once

#include <chrono>
#include <functional>
#include <string>

// Rewrites the file `path` (made when missing, private to the user) with
// `edit` of its content, as RewriteFile does, under an exclusive lock for its
// folder (LockFileOf). The edit sees the content the last writer left: a
// rewrite a killed writer left half done is completed first, and the
// temporary files killed writers left are removed. A writer waits its turn
// behind the others for at most 20 seconds, calling `whileWaiting` (when
// given) meanwhile; then it fails with errno ETIMEDOUT. A file larger than
// `maxBytes` is not read: it fails with errno EFBIG.
bool EditFileUnderLock(const std::string& path, const std::function<std::string(const std::string&)>& edit,
                       const std::function<void()>& whileWaiting, std::size_t maxBytes);

// Saves `content` as the file `path`, as SaveFile does. In a folder that is
// the user's alone, under the same lock for the folder: a temporary file a
// save killed mid-write left beside it is removed first. False, with errno
// ETIMEDOUT, when another writer holds the folder too long; a folder that
// cannot be locked, or that others may write in, does not stop the save.
bool SaveFileUnderLock(const std::string& path, const std::string& content,
                       const std::function<void()>& whileWaiting = nullptr);

// The file whose lock a writer of `path` holds: ".orvane.lock" in its
// folder, mode 0600, so that no other user can open it, let alone hold its
// lock; the folder must be one only the user may write in (else the folder
// itself is locked, and the result is empty). The writer that holds it
// removes it as it lets go.
std::string LockFileOf(const std::string& path);

// Sets how long a writer waits for the lock; returns the wait it replaces.
// For tests that prove the give-up without waiting the whole time.
std::chrono::milliseconds SetLockWait(std::chrono::milliseconds wait);
