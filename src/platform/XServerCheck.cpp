#include "platform/XServerCheck.h"

#include "platform/ConnectionWatchdog.h"
#include "platform/DisplayCheck.h"

#include <arpa/inet.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// libxcb's and libXau's own structures, as their headers lay them out.
struct XcbAuthInfo {
    int namelen;
    char* name;
    int datalen;
    char* data;
};
struct XauthEntry {
    unsigned short family;
    unsigned short address_length;
    char* address;
    unsigned short number_length;
    char* number;
    unsigned short name_length;
    char* name;
    unsigned short data_length;
    char* data;
};
constexpr unsigned short kFamilyInternet = 0, kFamilyInternet6 = 6, kFamilyLocal = 256;

// The X client libraries Qt's X11 plugin uses, loaded once to ask (Qt loads
// them for good as soon as it connects).
struct XLibraries {
    int (*parseDisplay)(const char*, char**, int*, int*) = nullptr;
    void* (*connectToFd)(int, XcbAuthInfo*) = nullptr;
    int (*hasError)(void*) = nullptr;
    void (*disconnect)(void*) = nullptr;
    const void* (*getSetup)(void*) = nullptr;
    int (*rootsLength)(const void*) = nullptr;
    XauthEntry* (*bestAuth)(unsigned short, unsigned short, const char*, unsigned short, const char*, int, char**,
                            const int*) = nullptr;
    void (*disposeAuth)(XauthEntry*) = nullptr;
    bool HaveXcb() const
    {
        return parseDisplay && connectToFd && hasError && disconnect && getSetup && rootsLength;
    }
};

template <typename F>
void Bind(void* library, const char* name, F& function)
{
    function = library ? reinterpret_cast<F>(dlsym(library, name)) : nullptr;
}

const XLibraries& Libraries()
{
    static const XLibraries libraries = [] {
        XLibraries l;
        void* xcb = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
        Bind(xcb, "xcb_parse_display", l.parseDisplay);
        Bind(xcb, "xcb_connect_to_fd", l.connectToFd);
        Bind(xcb, "xcb_connection_has_error", l.hasError);
        Bind(xcb, "xcb_disconnect", l.disconnect);
        Bind(xcb, "xcb_get_setup", l.getSetup);
        Bind(xcb, "xcb_setup_roots_length", l.rootsLength);
        void* xau = dlopen("libXau.so.6", RTLD_NOW | RTLD_LOCAL);
        Bind(xau, "XauGetBestAuthByAddr", l.bestAuth);
        Bind(xau, "XauDisposeAuth", l.disposeAuth);
        return l;
    }();
    return libraries;
}

struct Address {
    sockaddr_storage storage{};
    socklen_t length = 0;
};

// Where the server of display `number` on `host` listens, as libxcb looks:
// a local display's abstract socket, then its socket file; a remote one's
// TCP port 6000 + number.
std::vector<Address> AddressesOf(const std::string& host, int number)
{
    std::vector<Address> addresses;
    if (host.empty() || host == "unix") {
        const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
        for (const bool abstract : {true, false}) {
            Address a;
            auto* un = reinterpret_cast<sockaddr_un*>(&a.storage);
            un->sun_family = AF_UNIX;
            const std::size_t at = abstract ? 1 : 0;  // an abstract name starts with a NUL
            std::memcpy(un->sun_path + at, path.c_str(), path.size());
            a.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + at + path.size() + (abstract ? 0 : 1));
            addresses.push_back(a);
        }
        return addresses;
    }
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(6000 + number).c_str(), &hints, &found) != 0)
        return addresses;
    for (const addrinfo* at = found; at; at = at->ai_next) {
        Address a;
        std::memcpy(&a.storage, at->ai_addr, at->ai_addrlen);
        a.length = at->ai_addrlen;
        addresses.push_back(a);
    }
    freeaddrinfo(found);
    return addresses;
}

// The authorization libxcb would send: the user's Xauthority entry for the
// display, when the file is a regular one (libXau would wait on a pipe).
struct Authorization {
    XauthEntry* entry = nullptr;
    XcbAuthInfo info{};
    ~Authorization()
    {
        if (entry)
            Libraries().disposeAuth(entry);
    }
    XcbAuthInfo* Get() { return entry ? &info : nullptr; }
};

void Authorize(const Address& address, int number, Authorization& authorization)
{
    const XLibraries& x = Libraries();
    if (!x.bestAuth || !x.disposeAuth)
        return;
    const char* file = std::getenv("XAUTHORITY");
    const char* home = std::getenv("HOME");
    const std::string path = file && *file ? file : home ? std::string(home) + "/.Xauthority" : std::string();
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return;
    unsigned short family = kFamilyLocal;
    std::string where;
    const auto* in4 = reinterpret_cast<const sockaddr_in*>(&address.storage);
    const auto* in6 = reinterpret_cast<const sockaddr_in6*>(&address.storage);
    if (address.storage.ss_family == AF_INET && ntohl(in4->sin_addr.s_addr) >> 24 != 127) {
        family = kFamilyInternet;
        where.assign(reinterpret_cast<const char*>(&in4->sin_addr), 4);
    } else if (address.storage.ss_family == AF_INET6 && !IN6_IS_ADDR_LOOPBACK(&in6->sin6_addr)) {
        family = kFamilyInternet6;
        where.assign(reinterpret_cast<const char*>(&in6->sin6_addr), 16);
    } else {
        char hostname[256] = {};
        gethostname(hostname, sizeof hostname - 1);
        where = hostname;
    }
    const std::string display = std::to_string(number);
    char cookie[] = "MIT-MAGIC-COOKIE-1";
    char* types[] = {cookie};
    const int lengths[] = {static_cast<int>(sizeof cookie - 1)};
    authorization.entry = x.bestAuth(family, static_cast<unsigned short>(where.size()), where.data(),
                                     static_cast<unsigned short>(display.size()), display.data(), 1, types, lengths);
    if (authorization.entry) {
        authorization.info = {authorization.entry->name_length, authorization.entry->name,
                              authorization.entry->data_length, authorization.entry->data};
    }
}

// One check, on a thread of its own so that the caller keeps its deadline:
// the caller cuts off a server that has not answered by then by shutting
// down the socket the attempt owns, which ends every wait of the attempt.
struct Attempt {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool cutOff = false;
    int fd = -1;  // the attempt's own descriptor of the socket, while it has one
    std::string problem;
    std::shared_ptr<void> connection;
    std::string peer;

    void CutOff()
    {
        const std::lock_guard<std::mutex> guard(mutex);
        cutOff = true;
        if (fd >= 0)
            shutdown(fd, SHUT_RDWR);
    }
    bool IsCutOff()
    {
        const std::lock_guard<std::mutex> guard(mutex);
        return cutOff;
    }
    ~Attempt()
    {
        if (fd >= 0)
            close(fd);
    }
    // The socket is the attempt's (or no longer: -1).
    bool Own(int socket)
    {
        const std::lock_guard<std::mutex> guard(mutex);
        if (fd >= 0)
            close(fd);
        fd = socket;
        if (cutOff && fd >= 0)
            shutdown(fd, SHUT_RDWR);
        return !cutOff;
    }
};

// Connects the attempt's socket to one of `addresses` by `deadline`; false
// when none takes it. A local server whose queue of connections is full
// takes it once there is room.
bool ConnectSocket(Attempt& attempt, const std::vector<Address>& addresses, Clock::time_point deadline)
{
    // Waits in short steps: the caller may cut the attempt off meanwhile.
    const auto stillTrying = [&] { return Clock::now() < deadline && !attempt.IsCutOff(); };
    for (const Address& address : addresses) {
        const int fd = socket(address.storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0 || !attempt.Own(fd))
            return false;
        for (;;) {
            if (connect(fd, reinterpret_cast<const sockaddr*>(&address.storage), address.length) == 0)
                return true;
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN) {  // a full queue
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                if (!stillTrying())
                    return false;
                continue;
            }
            if (errno != EINPROGRESS)
                break;  // refused: the next address
            pollfd writable{fd, POLLOUT, 0};
            while (poll(&writable, 1, 50) == 0) {
                if (!stillTrying())
                    return false;
            }
            int error = 0;
            socklen_t size = sizeof error;
            if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0)
                return true;
            break;
        }
    }
    attempt.Own(-1);
    return false;
}

// One connection to the server at one of `addresses`, with its handshake:
// the connection, or null with the attempt's problem said.
std::shared_ptr<void> ConnectOnce(Attempt& attempt, const std::string& display,
                                  const std::vector<Address>& addresses, int number, Clock::time_point deadline)
{
    const XLibraries& x = Libraries();
    attempt.problem = "cannot connect to display " + display;
    if (!ConnectSocket(attempt, addresses, deadline))
        return nullptr;
    int fd = -1;
    {
        const std::lock_guard<std::mutex> guard(attempt.mutex);
        fd = attempt.fd;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    attempt.peer = PeerAddressOf(fd);
    Address connected;
    connected.length = sizeof connected.storage;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&connected.storage), &connected.length) != 0)
        connected.length = 0;
    Authorization authorization;
    Authorize(connected, number, authorization);
    // libxcb takes a descriptor of its own (closed with the connection, or
    // when the handshake fails); the attempt's own stays the one cut off.
    const int forXcb = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    void* connection = forXcb >= 0 ? x.connectToFd(forXcb, authorization.Get()) : nullptr;
    attempt.Own(-1);
    if (!connection || x.hasError(connection)) {
        if (connection)
            x.disconnect(connection);
        return nullptr;
    }
    attempt.problem.clear();
    return std::shared_ptr<void>(connection, [](void* c) { Libraries().disconnect(c); });
}

void Run(Attempt& attempt, const std::string& display, Clock::time_point deadline)
{
    const XLibraries& x = Libraries();
    char* hostText = nullptr;
    int number = 0, screen = 0;
    if (!x.parseDisplay(display.c_str(), &hostText, &number, &screen)) {
        attempt.problem = "cannot connect to display " + display + " (not a display name)";
        return;
    }
    const std::string host = hostText ? hostText : "";
    std::free(hostText);
    const std::vector<Address> addresses = AddressesOf(host, number);
    // A refusal may be the reset of a server whose last client just left
    // (the program's own check's): tried again before it counts.
    for (int tries = 0; !attempt.connection; ++tries) {
        attempt.connection = ConnectOnce(attempt, display, addresses, number, deadline);
        if (attempt.connection || tries == 2 || attempt.IsCutOff() ||
            Clock::now() + std::chrono::milliseconds(100) >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!attempt.connection)
        return;
    const int screens = x.rootsLength(x.getSetup(attempt.connection.get()));
    if (screen < 0 || screen >= screens) {
        attempt.connection.reset();
        attempt.problem = "display " + display + " has no screen " + std::to_string(screen);
    }
}

}  // namespace

bool XConnectionBroken(void* connection)
{
    const XLibraries& x = Libraries();
    return connection && x.hasError && x.hasError(connection) != 0;
}

std::string CheckXServer(const std::string& display, Clock::time_point deadline, std::shared_ptr<void>& hold,
                         std::string* peer)
{
    if (display.empty())
        return "DISPLAY is not set";
    if (!Libraries().HaveXcb())
        return "the X11 client library (libxcb.so.1) is missing";
    auto attempt = std::make_shared<Attempt>();
    std::thread worker;
    try {
        worker = std::thread([attempt, display, deadline] {
            Run(*attempt, display, deadline);
            const std::lock_guard<std::mutex> guard(attempt->mutex);
            attempt->finished = true;
            attempt->done.notify_one();
        });
    } catch (const std::system_error&) {
        return "no thread to connect to display " + display + " with";
    }
    bool finished = false;
    {
        std::unique_lock<std::mutex> guard(attempt->mutex);
        finished = attempt->done.wait_until(guard, deadline, [&] { return attempt->finished; });
    }
    if (!finished) {
        attempt->CutOff();
        // Cut off, the attempt ends at once; only a name lookup that hangs
        // (a remote display's) would keep it, and then it goes on alone,
        // owning the attempt and whatever it made.
        std::unique_lock<std::mutex> guard(attempt->mutex);
        if (attempt->done.wait_for(guard, std::chrono::seconds(1), [&] { return attempt->finished; })) {
            guard.unlock();
            worker.join();
        } else {
            guard.unlock();
            worker.detach();
        }
        return "cannot connect to display " + display + " (no answer in " + std::to_string(kDisplayAnswerSeconds) +
               " seconds)";
    }
    worker.join();
    if (!attempt->problem.empty())
        return attempt->problem;
    hold = attempt->connection;
    if (peer)
        *peer = attempt->peer;
    return "";
}
