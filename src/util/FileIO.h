// POSIX file I/O that reports every failure and never leaves a half-written
// file under the name a user chose.
#pragma once

#include <sys/types.h>

#include <string>

// A file descriptor that closes itself.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { Reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_fd; }
    void Reset(int fd = -1);
    // Closes now; false when the close reports an error.
    bool Close();
    // Hands the descriptor over, unclosed.
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

// Reads `fd` to its end; false on an error or past `maxBytes`.
bool ReadAll(int fd, std::string& content, std::size_t maxBytes = static_cast<std::size_t>(-1));
bool WriteAll(int fd, const std::string& content);

// True when `path` names a regular file (a symbolic link's target counts):
// not a folder, and not a pipe or device whose opening could block.
bool IsRegularFile(const std::string& path);
// Opens `path` with `flags` only when it is a regular file, never blocking on
// a pipe or device that took its place; false otherwise.
bool OpenRegularFile(const std::string& path, int flags, FileDescriptor& fd, mode_t mode = 0);
// The whole of the regular file `path`; false when it is not one, cannot be
// read, or holds more than `maxBytes`.
bool ReadRegularFile(const std::string& path, std::string& content,
                     std::size_t maxBytes = static_cast<std::size_t>(-1));

// Everything before the last '/': "." for a bare name, "/" for the root.
std::string FolderOf(const std::string& path);

// Makes `folder` and its missing parents, private to the user; true when it
// is a folder afterwards.
bool MakeFolders(const std::string& folder);

// A base folder of the XDG specification: $variable when it is absolute,
// else `underHome` in the user's home ($HOME, else the password entry's).
// Empty when the user has no home.
std::string XdgFolder(const char* variable, const char* underHome);

// The file `path` names: a symbolic link's target. False for a dangling link.
bool ResolveLink(const std::string& path, std::string& target);

// The process's file mode creation mask, read without changing it (0077
// when the system does not tell).
mode_t CurrentUmask();

// What a temporary file beside `path` is named: path + this + 6 characters.
extern const char kTemporarySuffix[];

// Replaces the regular file `path` (or makes it) with `content`: written to
// a temporary file beside it, flushed, then renamed over it. On failure the
// old file is untouched and no temporary file is left.
bool ReplaceFileAtomically(const std::string& path, const std::string& content, mode_t mode);

// The largest definition file (.prj, WKT, PROJ string) worth reading.
const std::size_t kMaxDefinitionFileBytes = 1 << 20;

// Why a file could not be read.
struct ReadFailure {
    enum Kind { None, System, NotRegular, TooLarge } kind = None;
    int error = 0;  // errno, for System
};
// In English, for a program's messages: "No such file or directory", "not a
// regular file", "larger than 1 MiB".
std::string DescribeReadFailure(const ReadFailure& failure, std::size_t maxBytes);

// The text of a small definition file as one line: a byte order mark
// dropped, line ends turned into blanks (tools write WKT on one line or over
// many), blanks around it trimmed. False when `path` is not a regular file of
// at most kMaxDefinitionFileBytes or cannot be read, with the reason in
// `failure` when given.
bool ReadDefinitionFile(const std::string& path, std::string& text, ReadFailure* failure = nullptr);

// Gives the regular file `path`, open for writing as `fd`, the content
// `content`: replaced atomically (temporary file, then rename) keeping its
// mode and its owner; overwritten where it is when a rename would split its
// hard links, cannot be made in its folder, or would change its owner.
// An interrupted overwrite never shows half: see ReadRewrittenFile. A write
// that fails (a full disk) leaves the file as it was.
bool RewriteFile(const std::string& path, int fd, const std::string& content);

// The user whose files these are: the effective user (on Linux, the file
// system user, which one thread may set apart).
uid_t FileUser();

// Whether `folder` is a folder of the user's own that no one else may write.
bool IsPrivateFolder(const std::string& folder);
// $variable/orvane (by default ~/`underHome`/orvane), made private to the
// user when missing; empty when the user has no home, or when it exists but
// is not the user's alone (another user's, or writable by others): Orvane
// writes nothing there.
std::string PrivateFolder(const char* variable, const char* underHome);

// The journal an in-place rewrite of the file `path` (that device and inode)
// keeps while it writes: in the user's private state folder
// ($XDG_STATE_HOME/orvane, by default ~/.local/state/orvane), never beside
// the file, where another user could put one. Empty when the user has no
// home.
std::string JournalOf(const std::string& path, dev_t device, ino_t inode);
// Completes a rewrite of `path` (open for writing as `fd`) that a killed
// writer left half done. Writers call it, holding the file's lock, before
// they read the file.
bool FinishInterruptedRewrite(const std::string& path, int fd);
// The content of a file written with RewriteFile: its journal's while one
// exists (the file itself may be half overwritten then). Only a journal of
// the user's own, closed to others, written for this very file is taken.
bool ReadRewrittenFile(const std::string& path, std::string& content,
                       std::size_t maxBytes = static_cast<std::size_t>(-1));

// Saves `content` as the whole of the file `path`, as a user asked: a new
// file is made atomically, an existing regular file the user may write is
// rewritten as RewriteFile does; a device or pipe is written in place. False
// on any failure.
bool SaveFile(const std::string& path, const std::string& content);
