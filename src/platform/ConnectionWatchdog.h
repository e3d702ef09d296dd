// Qt connects to the display itself, and waits on it for ever: a display
// that answered the library's check but never answers Qt (a relay that
// serves one client) would hang the host. While Qt connects, a watchdog
// looks at the thread that connects: once it has waited on a socket it
// opened to that display, without a single wake-up, for the whole time
// given, that socket is cut off, and Qt fails to connect instead of
// waiting. A display that is slow but answers wakes the thread at each
// answer, and is never cut off.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>

#include <sys/types.h>

// The address a connected socket's peer has, as bytes; empty when it has none.
std::string PeerAddressOf(int socket);

class ConnectionWatchdog
{
public:
    // Watches, from now on, the calling thread's waits on the sockets it
    // opens to `peer` (as PeerAddressOf gives it); cuts one off after a
    // wait of `after` with no wake-up. An empty peer watches nothing.
    ConnectionWatchdog(std::string peer, std::chrono::milliseconds after);
    // Stops watching.
    ~ConnectionWatchdog();
    ConnectionWatchdog(const ConnectionWatchdog&) = delete;
    ConnectionWatchdog& operator=(const ConnectionWatchdog&) = delete;

    // Whether it cut a connection off.
    bool CutOff();

private:
    void Watch(std::chrono::milliseconds after);
    // The socket to the display the watched thread waits on now; -1 for none.
    int DisplaySocketWaitedOn();

    std::string m_peer;
    pid_t m_thread = 0;  // the watched thread
    std::set<std::pair<int, unsigned long>> m_before;  // (descriptor, inode) of the sockets open before
    std::mutex m_mutex;
    std::condition_variable m_stop;
    bool m_stopping = false;
    bool m_cutOff = false;
    std::thread m_watcher;
};
