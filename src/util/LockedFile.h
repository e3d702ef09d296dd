// Files that several processes change: one writer at a time, each seeing
// what the one before it wrote.
#pragma once

#include <functional>
#include <string>

// Rewrites the file `path` (made when missing, private to the user) with
// `edit` of its content, as RewriteFile does, under an exclusive lock on its
// folder. The edit sees the content the last writer left: a rewrite a killed
// writer left half done is completed first, and the temporary files killed
// writers left are removed. A writer waits at most a second and a half for
// another to finish, calling `whileWaiting` (when given) meanwhile; then it
// fails with errno ETIMEDOUT. A file larger than `maxBytes` is not read: it
// fails with errno EFBIG.
bool EditFileUnderLock(const std::string& path, const std::function<std::string(const std::string&)>& edit,
                       const std::function<void()>& whileWaiting, std::size_t maxBytes);
