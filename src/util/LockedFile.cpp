#include "util/LockedFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "util/FileIO.h"

namespace {

// Temporary files a writer killed mid-write left beside `path`: only the lock
// holder writes, so any that exist now are stale.
void RemoveStaleTemporaries(const std::string& path)
{
    const std::string folder = FolderOf(path);
    const std::size_t slash = path.rfind('/');
    const std::string prefix = path.substr(slash == std::string::npos ? 0 : slash + 1) + kTemporarySuffix;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
            unlink((folder + "/" + name).c_str());
    }
    closedir(dir);
}

// How long a writer waits for another to finish: a lock held longer than
// that is taken for a hung or hostile writer, and the write fails.
const auto kLockWait = std::chrono::milliseconds(1500);

// Writers take an exclusive lock on the file's folder: unlike the file, the
// folder stays the same inode while writers replace the file, so every writer
// waits its turn and reads what the one before it wrote. False, with errno
// ETIMEDOUT, when the lock stays taken for kLockWait.
bool LockFolder(const std::string& path, FileDescriptor& lock, const std::function<void()>& whileWaiting)
{
    lock.Reset(open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (lock.Get() < 0)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    while (flock(lock.Get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (std::chrono::steady_clock::now() >= deadline) {
            errno = ETIMEDOUT;
            return false;
        }
        if (whileWaiting)
            whileWaiting();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace

bool EditFileUnderLock(const std::string& path, const std::function<std::string(const std::string&)>& edit,
                       const std::function<void()>& whileWaiting, std::size_t maxBytes)
{
    // Replace the file a symbolic link points to, not the link itself; a
    // dangling link is not written through.
    std::string target;
    if (!ResolveLink(path, target))
        return false;
    // The lock is held until `lock` closes, after the rename.
    FileDescriptor lock;
    if (!LockFolder(target, lock, whileWaiting))
        return false;
    RemoveStaleTemporaries(target);
    FileDescriptor fd;
    std::string content;
    struct stat st;
    if (!OpenRegularFile(target, O_RDWR | O_CREAT, fd, 0600) || fstat(fd.Get(), &st) != 0)
        return false;
    if (static_cast<std::size_t>(st.st_size) > maxBytes) {
        errno = EFBIG;
        return false;
    }
    const std::string journal = JournalOf(target, st.st_dev, st.st_ino);
    if (!journal.empty())
        RemoveStaleTemporaries(journal);
    if (!FinishInterruptedRewrite(target, fd.Get()) || !ReadAll(fd.Get(), content, maxBytes))
        return false;
    return RewriteFile(target, fd.Get(), edit(content));
}
