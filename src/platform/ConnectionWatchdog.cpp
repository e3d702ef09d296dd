#include "platform/ConnectionWatchdog.h"

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <cstdlib>
#include <system_error>

namespace {

// This process's sockets: (descriptor, inode), the inode telling a socket
// from a later one on the same descriptor.
std::set<std::pair<int, unsigned long>> OpenSockets()
{
    std::set<std::pair<int, unsigned long>> sockets;
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

}  // namespace

std::string PeerAddressOf(int socket)
{
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    if (getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &length) != 0)
        return std::string();
    return std::string(reinterpret_cast<const char*>(&peer), length);
}

ConnectionWatchdog::ConnectionWatchdog(std::string peer, std::chrono::milliseconds after) : m_peer(std::move(peer))
{
    if (m_peer.empty())
        return;
    m_before = OpenSockets();
    try {
        m_thread = std::thread([this, after] { Watch(after); });
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
    if (m_thread.joinable())
        m_thread.join();
}

bool ConnectionWatchdog::CutOff()
{
    const std::lock_guard<std::mutex> guard(m_mutex);
    return m_cutOff;
}

void ConnectionWatchdog::Watch(std::chrono::milliseconds after)
{
    std::unique_lock<std::mutex> guard(m_mutex);
    if (m_stop.wait_for(guard, after, [this] { return m_stopping; }))
        return;
    for (const auto& socket : OpenSockets()) {
        if (!m_before.count(socket) && PeerAddressOf(socket.first) == m_peer) {
            shutdown(socket.first, SHUT_RDWR);
            m_cutOff = true;
        }
    }
}
