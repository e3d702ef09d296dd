#include "platform/ConnectionWatchdog.h"

#include <dirent.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace {

using Socket = std::pair<int, unsigned long>;  // descriptor, inode

// This process's sockets: the inode tells a socket from a later one on the
// same descriptor.
std::set<Socket> OpenSockets()
{
    std::set<Socket> sockets;
    DIR* folder = opendir("/proc/self/fd");
    if (!folder)
        return sockets;
    while (const dirent* entry = readdir(folder)) {
        char* end = nullptr;
        const long fd = std::strtol(entry->d_name, &end, 10);
        struct stat st;
        if (end != entry->d_name && *end == '\0' && fd != dirfd(folder) && fstat(static_cast<int>(fd), &st) == 0 &&
            S_ISSOCK(st.st_mode))
            sockets.emplace(static_cast<int>(fd), static_cast<unsigned long>(st.st_ino));
    }
    closedir(folder);
    return sockets;
}

// How often `thread` has given up the processor of its own accord (to wait):
// the count moves whenever a wait of its ends and another begins.
long WaitsOf(pid_t thread)
{
    std::ifstream status("/proc/self/task/" + std::to_string(thread) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 24, "voluntary_ctxt_switches:") == 0)
            return std::strtol(line.c_str() + 24, nullptr, 10);
    }
    return -1;
}

// The descriptors the system call `thread` waits in now waits on: a read's
// one, a poll's all; none when it is running or in another call.
std::vector<int> DescriptorsWaitedOn(pid_t thread)
{
    std::ifstream file("/proc/self/task/" + std::to_string(thread) + "/syscall");
    long number = -1;
    unsigned long long arguments[2] = {};
    if (!(file >> number) || !(file >> std::hex >> arguments[0] >> arguments[1]))
        return {};
#if defined(SYS_poll)
    const bool poll = number == SYS_poll || number == SYS_ppoll;
#else
    const bool poll = number == SYS_ppoll;
#endif
    if (number == SYS_read || number == SYS_recvfrom || number == SYS_recvmsg || number == SYS_readv)
        return {static_cast<int>(arguments[0])};
    if (!poll || arguments[1] == 0 || arguments[1] > 64)
        return {};
    // The poll's list, read from this very process as it stands.
    std::vector<pollfd> waited(arguments[1]);
    const iovec local{waited.data(), waited.size() * sizeof(pollfd)};
    const iovec remote{reinterpret_cast<void*>(arguments[0]), local.iov_len};
    if (process_vm_readv(getpid(), &local, 1, &remote, 1, 0) != static_cast<ssize_t>(local.iov_len))
        return {};
    std::vector<int> descriptors;
    for (const pollfd& entry : waited)
        descriptors.push_back(entry.fd);
    return descriptors;
}

}  // namespace

std::string PeerAddressOf(int socket)
{
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    if (getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &length) != 0)
        return std::string();
    return std::string(reinterpret_cast<const char*>(&peer), length);
}

ConnectionWatchdog::ConnectionWatchdog(std::string peer, std::chrono::milliseconds after)
    : m_peer(std::move(peer)), m_thread(static_cast<pid_t>(syscall(SYS_gettid)))
{
    if (m_peer.empty())
        return;
    m_before = OpenSockets();
    try {
        m_watcher = std::thread([this, after] { Watch(after); });
    } catch (const std::system_error&) {
        // No thread: Qt connects unwatched, as it always did.
    }
}

ConnectionWatchdog::~ConnectionWatchdog()
{
    {
        const std::lock_guard<std::mutex> guard(m_mutex);
        m_stopping = true;
    }
    m_stop.notify_one();
    if (m_watcher.joinable())
        m_watcher.join();
}

bool ConnectionWatchdog::CutOff()
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_cutOff;
}

int ConnectionWatchdog::DisplaySocketWaitedOn()
{
    for (const int fd : DescriptorsWaitedOn(m_thread)) {
        struct stat st;
        if (fd >= 0 && fstat(fd, &st) == 0 && S_ISSOCK(st.st_mode) &&
            !m_before.count(Socket(fd, static_cast<unsigned long>(st.st_ino))) && PeerAddressOf(fd) == m_peer)
            return fd;
    }
    return -1;
}

void ConnectionWatchdog::Watch(std::chrono::milliseconds after)
{
    using Clock = std::chrono::steady_clock;
    std::unique_lock<std::mutex> guard(m_mutex);
    long waits = -1;
    Clock::time_point since = Clock::now();
    while (!m_stop.wait_for(guard, std::chrono::milliseconds(50), [this] { return m_stopping; })) {
        const int socket = DisplaySocketWaitedOn();
        const long now = WaitsOf(m_thread);
        // A wait on the display that a wake-up ended, or none: watched anew.
        if (socket < 0 || now != waits) {
            waits = now;
            since = Clock::now();
            continue;
        }
        if (Clock::now() - since >= after) {
            shutdown(socket, SHUT_RDWR);
            m_cutOff = true;
            return;
        }
    }
}
