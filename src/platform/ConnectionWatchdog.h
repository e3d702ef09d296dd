// Qt connects to the display itself, and waits on it for ever: a display
// that answered the library's check but never answers Qt (a relay that
// serves one client) would hang the host. While Qt connects, a watchdog
// cuts off, once the time is up, the sockets this process opened to that
// display meanwhile; Qt then fails to connect instead of waiting.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>

// The address a connected socket's peer has, as bytes; empty when it has none.
std::string PeerAddressOf(int socket);

class ConnectionWatchdog
{
public:
    // Watches for `after` the sockets opened from now on to `peer` (as
    // PeerAddressOf gives it); an empty peer watches nothing.
    ConnectionWatchdog(std::string peer, std::chrono::milliseconds after);
    // Stops watching.
    ~ConnectionWatchdog();
    ConnectionWatchdog(const ConnectionWatchdog&) = delete;
    ConnectionWatchdog& operator=(const ConnectionWatchdog&) = delete;

    // Whether it cut a connection off.
    bool CutOff();

private:
    void Watch(std::chrono::milliseconds after);

    std::string m_peer;
    std::set<std::pair<int, unsigned long>> m_before;  // (descriptor, inode) of the sockets open before
    std::mutex m_mutex;
    std::condition_variable m_stop;
    bool m_stopping = false;
    bool m_cutOff = false;
    std::thread m_thread;
};
