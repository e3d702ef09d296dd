#include "util/LockedFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
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

// How long a writer waits for the others before it: long enough for a queue
// of writers on a slow, busy disk. A lock held longer than that is taken for
// a hung or hostile writer, and the write fails.
std::atomic<std::chrono::milliseconds::rep> lockWaitMs{20000};

// A blocking lock request that the caller may stop waiting for. A blocked
// request is woken the moment the holder lets go and tries at once, where
// one that polled every ten milliseconds on a busy machine kept finding the
// lock taken again by a writer storing in a loop, and gave up. The request
// runs on a thread of its own, on a descriptor of its own; one the caller
// gave up on lets the lock go once granted.
struct LockRequest {
    std::mutex mutex;
    std::condition_variable granted;
    FileDescriptor fd;
    bool done = false, abandoned = false;
    int error = 0;
};

// A lock held for the writers of a folder, let go when it goes. Its lock
// file goes with it, so that none is left in the user's folders; a writer
// that was waiting on it finds it gone and locks the next one.
struct FolderLock {
    FileDescriptor fd;
    std::string file;  // the lock file; empty: the folder itself is locked
    FolderLock() = default;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock()
    {
        if (fd.Get() >= 0 && !file.empty())
            unlink(file.c_str());
    }
};

// A descriptor to lock for the writers of `path`: its lock file (LockFileOf),
// opened as only its owner may (no link, a regular file of the user's, no
// one else's to read or write); in a folder others may write in, the folder
// itself, which every writer opens alike.
int OpenLock(const std::string& lockFile, const std::string& path)
{
    if (lockFile.empty())
        return open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    FileDescriptor fd(open(lockFile.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
    if (fd.Get() < 0)
        return -1;
    struct stat st;
    if (fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != FileUser() || (st.st_mode & 077) != 0) {
        errno = ENOLCK;  // not a lock file of the user's alone
        return -1;
    }
    return fd.Release();
}

// Whether `fd` is the file at `path` still (a lock file the writer before
// removed as it let go is no longer).
bool StillThere(int fd, const std::string& path)
{
    struct stat held, named;
    return fstat(fd, &held) == 0 && lstat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

// Locks `fd` exclusively by `deadline`, calling `whileWaiting` meanwhile;
// `reopen` gives the waiting thread a descriptor of its own to lock.
bool WaitForLock(FileDescriptor& fd, const std::function<int()>& reopen,
                 std::chrono::steady_clock::time_point deadline, const std::function<void()>& whileWaiting)
{
    if (flock(fd.Get(), LOCK_EX | LOCK_NB) == 0)
        return true;
    if (errno != EWOULDBLOCK)
        return false;
    auto request = std::make_shared<LockRequest>();
    request->fd.Reset(reopen());
    if (request->fd.Get() < 0)
        return false;
    try {
        std::thread([request] {
            int result;
            do
                result = flock(request->fd.Get(), LOCK_EX);
            while (result != 0 && errno == EINTR);
            const int error = result == 0 ? 0 : errno;
            const std::lock_guard<std::mutex> guard(request->mutex);
            request->done = true;
            request->error = error;
            if (request->abandoned)
                request->fd.Reset(-1);  // lets the lock go
            request->granted.notify_one();
        }).detach();
    } catch (const std::system_error&) {
        errno = EAGAIN;  // no thread to be had
        return false;
    }
    std::unique_lock<std::mutex> guard(request->mutex);
    while (!request->done) {
        if (std::chrono::steady_clock::now() >= deadline) {
            request->abandoned = true;
            errno = ETIMEDOUT;
            return false;
        }
        // The caller's window keeps painting while it waits.
        if (whileWaiting) {
            guard.unlock();
            whileWaiting();
            guard.lock();
        }
        request->granted.wait_for(guard, std::chrono::milliseconds(10));
    }
    if (request->error != 0) {
        errno = request->error;
        return false;
    }
    fd.Reset(request->fd.Release());
    return true;
}

// Writers take an exclusive lock for the file's folder: so every writer
// waits its turn and reads what the one before it wrote. False, with errno
// ETIMEDOUT, when the lock stays taken for lockWaitMs.
bool LockFolder(const std::string& path, FolderLock& lock, const std::function<void()>& whileWaiting)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(lockWaitMs.load());
    std::string lockFile = LockFileOf(path);
    const auto reopen = [&] { return OpenLock(lockFile, path); };
    for (;;) {
        lock.fd.Reset(reopen());
        // A folder of the user's that the user may not write (a file there
        // is overwritten in place) takes no lock file; and only the user
        // can open it either.
        if (lock.fd.Get() < 0 && !lockFile.empty() && (errno == EACCES || errno == EPERM || errno == EROFS)) {
            lockFile.clear();
            lock.fd.Reset(reopen());
        }
        if (lock.fd.Get() < 0 || !WaitForLock(lock.fd, reopen, deadline, whileWaiting)) {
            lock.fd.Reset(-1);
            return false;
        }
        if (lockFile.empty() || StillThere(lock.fd.Get(), lockFile)) {
            lock.file = lockFile;
            return true;
        }
    }
}

}  // namespace

std::string LockFileOf(const std::string& path)
{
    const std::string folder = FolderOf(path);
    return IsPrivateFolder(folder) ? folder + "/.orvane.lock" : std::string();
}

std::chrono::milliseconds SetLockWait(std::chrono::milliseconds wait)
{
    return std::chrono::milliseconds(lockWaitMs.exchange(wait.count()));
}

bool SaveFileUnderLock(const std::string& path, const std::string& content,
                       const std::function<void()>& whileWaiting)
{
    std::string target;
    if (path.empty() || !ResolveLink(path, target))
        return false;
    // A pipe or device is written into: no temporary file is made for it.
    struct stat st;
    if (stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return SaveFile(path, content);
    // A folder others may write in (/tmp) is not locked: anyone could hold
    // it, and a temporary there may be another user's save under way.
    if (!IsPrivateFolder(FolderOf(target)))
        return SaveFile(path, content);
    FolderLock lock;
    if (LockFolder(target, lock, whileWaiting))
        RemoveStaleTemporaries(target);
    else if (errno == ETIMEDOUT)
        return false;
    // A folder that cannot be opened to lock it may still take the file.
    return SaveFile(path, content);
}

bool EditFileUnderLock(const std::string& path, const std::function<std::string(const std::string&)>& edit,
                       const std::function<void()>& whileWaiting, std::size_t maxBytes)
{
    // Replace the file a symbolic link points to, not the link itself; a
    // dangling link is not written through.
    std::string target;
    if (!ResolveLink(path, target))
        return false;
    // The lock is held until `lock` goes, after the rename.
    FolderLock lock;
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
