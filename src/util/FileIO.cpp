#include "util/FileIO.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

void FileDescriptor::Reset(int fd)
{
    if (m_fd >= 0)
        close(m_fd);
    m_fd = fd;
}

bool FileDescriptor::Close()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd < 0 || close(fd) == 0;
}

bool ReadAll(int fd, std::string& content, std::size_t maxBytes)
{
    content.clear();
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        content.reserve(std::min(static_cast<std::size_t>(st.st_size), maxBytes));
    char buffer[65536];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        content.append(buffer, static_cast<std::size_t>(n));
        // Files of /proc say they are empty and may hold more than anyone wants.
        if (content.size() > maxBytes)
            return false;
    }
}

bool IsRegularFile(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool OpenRegularFile(const std::string& path, int flags, FileDescriptor& fd, mode_t mode)
{
    // Non-blocking: opening a FIFO for reading would wait for a writer.
    fd.Reset(open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, mode));
    struct stat st;
    if (fd.Get() >= 0 && fstat(fd.Get(), &st) == 0 && S_ISREG(st.st_mode))
        return true;
    fd.Reset();
    return false;
}

bool ReadRegularFile(const std::string& path, std::string& content, std::size_t maxBytes)
{
    content.clear();
    FileDescriptor fd;
    struct stat st;
    if (!OpenRegularFile(path, O_RDONLY, fd) || fstat(fd.Get(), &st) != 0 ||
        static_cast<std::size_t>(st.st_size) > maxBytes)
        return false;
    return ReadAll(fd.Get(), content, maxBytes);
}

bool WriteAll(int fd, const std::string& content)
{
    const char* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string FolderOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool MakeFolders(const std::string& folder)
{
    struct stat st;
    if (stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const std::string parent = FolderOf(folder);
    if (parent != folder && !MakeFolders(parent))
        return false;
    return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

std::string XdgFolder(const char* variable, const char* underHome)
{
    // A relative value is invalid and ignored.
    const char* value = std::getenv(variable);
    if (value && value[0] == '/')
        return value;
    const char* home = std::getenv("HOME");
    std::string homeFolder = home && home[0] == '/' ? home : "";
    if (homeFolder.empty()) {
        if (const passwd* user = getpwuid(getuid()); user && user->pw_dir && user->pw_dir[0] == '/')
            homeFolder = user->pw_dir;
    }
    return homeFolder.empty() ? std::string() : homeFolder + "/" + underHome;
}

bool ResolveLink(const std::string& path, std::string& target)
{
    target = path;
    struct stat link;
    if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return true;
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved)
        return false;
    target = resolved;
    free(resolved);
    return true;
}

std::string DescribeReadFailure(const ReadFailure& failure, std::size_t maxBytes)
{
    switch (failure.kind) {
    case ReadFailure::None:
        return std::string();
    case ReadFailure::NotRegular:
        return "not a regular file";
    case ReadFailure::TooLarge:
        return maxBytes % (1 << 20) == 0 ? "larger than " + std::to_string(maxBytes >> 20) + " MiB"
                                         : "larger than " + std::to_string(maxBytes) + " bytes";
    case ReadFailure::System:
        break;
    }
    return std::strerror(failure.error);
}

bool ReadDefinitionFile(const std::string& path, std::string& text, ReadFailure* failure)
{
    ReadFailure ignored;
    ReadFailure& why = failure ? *failure : ignored;
    why = ReadFailure();
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        why = {ReadFailure::System, errno};
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        why.kind = ReadFailure::NotRegular;
        return false;
    }
    if (static_cast<std::size_t>(st.st_size) > kMaxDefinitionFileBytes) {
        why.kind = ReadFailure::TooLarge;
        return false;
    }
    if (!ReadRewrittenFile(path, text, kMaxDefinitionFileBytes)) {
        // It cannot be opened, or (a file of /proc, which says it is empty)
        // it holds more than it said.
        FileDescriptor fd;
        why = OpenRegularFile(path, O_RDONLY, fd) ? ReadFailure{ReadFailure::TooLarge, 0}
                                                  : ReadFailure{ReadFailure::System, errno};
        return false;
    }
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    const std::size_t first = text.find_first_not_of(" \t");
    text = first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(" \t") - first + 1);
    return true;
}

const char kTemporarySuffix[] = ".orvane-tmp-";

mode_t CurrentUmask()
{
    // Read, never set: umask() can only be read by changing it, which would
    // race with every other thread of the host that makes a file meanwhile.
    std::string status;
    if (ReadRegularFile("/proc/self/status", status, 1 << 16)) {
        const std::size_t at = status.find("\nUmask:");
        if (at != std::string::npos)
            return static_cast<mode_t>(std::strtoul(status.c_str() + at + 7, nullptr, 8)) & 0777;
    }
    return 077;  // unknown: the most private
}

namespace {

// Writes `content` into a temporary file beside `path` with the mode (and,
// when `owner` is given, the owner and group) of the old file, then renames
// it over `path`. On failure nothing is left behind.
bool ReplaceByRename(const std::string& path, const std::string& content, mode_t mode, const struct stat* owner)
{
    std::string temporary = path + kTemporarySuffix + "XXXXXX";
    FileDescriptor fd(mkstemp(temporary.data()));
    if (fd.Get() < 0)
        return false;
    bool ok = (!owner || fchown(fd.Get(), owner->st_uid, owner->st_gid) == 0) &&
              fchmod(fd.Get(), mode & 07777) == 0 && WriteAll(fd.Get(), content) && fsync(fd.Get()) == 0;
    int error = ok ? 0 : errno;
    if (!fd.Close() && ok) {
        ok = false;
        error = errno;
    }
    if (ok && rename(temporary.c_str(), path.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        unlink(temporary.c_str());
        errno = error;  // callers tell a forbidden folder from a full disk
        return false;
    }
    FileDescriptor folder(open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0)
        fsync(folder.Get());
    return true;
}

// Overwrites the open file `fd` (of `oldSize` bytes) with `content`, then
// cuts it to that length. The space the content needs beyond the old end is
// taken first: a full disk fails there, the old content whole.
bool ReserveAndOverwrite(int fd, const std::string& content, off_t oldSize)
{
    const off_t size = static_cast<off_t>(content.size());
    if (size > oldSize) {
        const int error = posix_fallocate(fd, 0, size);
        if (error != 0) {
            // What was taken (or written as zeros) goes again.
            const bool restored = ftruncate(fd, oldSize) == 0;
            (void)restored;
            errno = error;
            return false;
        }
    }
    return lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, content) && ftruncate(fd, size) == 0 && fsync(fd) == 0;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, const std::string& content, mode_t mode)
{
    return ReplaceByRename(path, content, mode, nullptr);
}

uid_t FileUser()
{
    // setfsuid with an impossible user changes nothing and tells the current one.
    return static_cast<uid_t>(setfsuid(static_cast<uid_t>(-1)));
}

bool IsPrivateFolder(const std::string& folder)
{
    struct stat st;
    return lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == FileUser() &&
           (st.st_mode & 022) == 0;
}

std::string PrivateFolder(const char* variable, const char* underHome)
{
    const std::string base = XdgFolder(variable, underHome);
    if (base.empty())
        return std::string();
    const std::string folder = base + "/orvane";
    return MakeFolders(folder) && IsPrivateFolder(folder) ? folder : std::string();
}

std::string JournalOf(const std::string& path, dev_t device, ino_t inode)
{
    // The file's path goes into the name with its inode: an inode that the
    // system gives to another file later does not inherit a stale journal.
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (unsigned char c : path)
        hash = (hash ^ c) * 1099511628211ull;
    const std::string folder = XdgFolder("XDG_STATE_HOME", ".local/state");
    if (folder.empty())
        return std::string();
    return folder + "/orvane/journal-" + std::to_string(device) + "-" + std::to_string(inode) + "-" +
           std::to_string(hash);
}

namespace {

// A folder the user may not write (or a file whose owner only root may set).
bool Forbidden(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
}

// A journal's first line: the device and inode of the file it belongs to.
std::string JournalHeader(const struct stat& file)
{
    return "orvane journal " + std::to_string(file.st_dev) + " " + std::to_string(file.st_ino) + "\n";
}

// The content a journal holds for `file`, when it is one to take: a regular
// file of the user's own, closed to others, in the user's private state
// folder, opened without following a link, and written for that very file.
// A journal for another file (an inode given anew) is stale: it goes.
bool ReadJournal(const std::string& journal, const struct stat& file, std::string& content, std::size_t maxBytes)
{
    if (journal.empty() || !IsPrivateFolder(FolderOf(journal)))
        return false;
    FileDescriptor fd(open(journal.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st;
    if (fd.Get() < 0 || fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != FileUser() ||
        (st.st_mode & 077) != 0)
        return false;
    const std::string header = JournalHeader(file);
    std::string all;
    if (!ReadAll(fd.Get(), all, maxBytes == static_cast<std::size_t>(-1) ? maxBytes : maxBytes + header.size()))
        return false;
    if (all.compare(0, header.size(), header) != 0) {
        unlink(journal.c_str());
        return false;
    }
    content = all.substr(header.size());
    return true;
}

enum class Journalled { Yes, NoPlace, Failed };

// Writes the whole of `content` as the journal of `file` (at `path`), synced,
// before anything touches the file. NoPlace when the user has no private
// state folder to keep it in.
Journalled WriteJournal(const std::string& path, const struct stat& file, const std::string& content,
                        std::string& journal)
{
    journal = JournalOf(path, file.st_dev, file.st_ino);
    if (journal.empty() || PrivateFolder("XDG_STATE_HOME", ".local/state").empty())
        return Journalled::NoPlace;
    return ReplaceByRename(journal, JournalHeader(file) + content, 0600, nullptr) ? Journalled::Yes
                                                                                 : Journalled::Failed;
}

// Overwrites `fd` in place, safely: the new content first appears whole as a
// journal in the user's private state folder, then the space it needs is
// taken, then the file is overwritten, then the journal goes. A full disk
// fails before the file is touched; a writer killed during the overwrite
// leaves the journal, which readers take for the file and the next writer
// copies into it. With no private folder the space is still taken first.
bool OverwriteWithJournal(const std::string& path, int fd, const std::string& content)
{
    struct stat st;
    if (fstat(fd, &st) != 0)
        return false;
    std::string journal;
    const Journalled journalled = WriteJournal(path, st, content, journal);
    if (journalled == Journalled::Failed)
        return false;
    if (!ReserveAndOverwrite(fd, content, st.st_size)) {
        const int error = errno;
        // Nothing of the file changed when the space could not be had.
        if (journalled == Journalled::Yes && error == ENOSPC)
            unlink(journal.c_str());
        errno = error;
        return false;
    }
    if (journalled == Journalled::Yes)
        unlink(journal.c_str());
    return true;
}

}  // namespace

bool FinishInterruptedRewrite(const std::string& path, int fd)
{
    struct stat st;
    if (fstat(fd, &st) != 0)
        return false;
    const std::string journal = JournalOf(path, st.st_dev, st.st_ino);
    std::string content;
    if (!ReadJournal(journal, st, content, static_cast<std::size_t>(-1)))
        return true;
    if (!ReserveAndOverwrite(fd, content, st.st_size) || lseek(fd, 0, SEEK_SET) != 0)
        return false;
    unlink(journal.c_str());
    return true;
}

bool ReadRewrittenFile(const std::string& path, std::string& content, std::size_t maxBytes)
{
    // Writers journal under the name of the file a link points to.
    std::string target;
    struct stat st;
    if (ResolveLink(path, target) && stat(target.c_str(), &st) == 0 &&
        ReadJournal(JournalOf(target, st.st_dev, st.st_ino), st, content, maxBytes))
        return true;
    return ReadRegularFile(path, content, maxBytes);
}

bool RewriteFile(const std::string& path, int fd, const std::string& content)
{
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    // A rename would split a file's hard links, is impossible in a folder
    // the user cannot write, and would make another user's file ours
    // (only root may give a file away): there the file is overwritten
    // where it is.
    if (st.st_nlink > 1)
        return OverwriteWithJournal(path, fd, content);
    const bool foreign = st.st_uid != geteuid() || st.st_gid != getegid();
    if (ReplaceByRename(path, content, st.st_mode, foreign ? &st : nullptr))
        return true;
    return Forbidden(errno) && OverwriteWithJournal(path, fd, content);
}

bool SaveFile(const std::string& path, const std::string& content)
{
    std::string target;
    if (path.empty() || !ResolveLink(path, target))
        return false;
    struct stat st;
    if (stat(target.c_str(), &st) != 0) {
        if (errno != ENOENT)
            return false;
        // A new file gets the permissions the user's umask allows.
        return ReplaceFileAtomically(target, content, 0666 & ~CurrentUmask());
    }
    if (S_ISREG(st.st_mode)) {
        // Opened for writing first: a file the user may not write is never
        // replaced, even in a folder the user may write.
        FileDescriptor fd;
        return OpenRegularFile(target, O_RDWR, fd) && FinishInterruptedRewrite(target, fd.Get()) &&
               RewriteFile(target, fd.Get(), content);
    }
    if (S_ISDIR(st.st_mode))
        return false;
    // A device or pipe cannot be replaced; write into it and check every step.
    FileDescriptor fd(open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0)
        return false;
    const bool ok = WriteAll(fd.Get(), content);
    return fd.Close() && ok;
}
