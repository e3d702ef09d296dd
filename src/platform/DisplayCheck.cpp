#include "platform/DisplayCheck.h"

#include <dlfcn.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QLibraryInfo>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "util/FileIO.h"
#include "util/Text.h"

namespace {

using Getenv = std::function<const char*(const char*)>;

std::string Env(const Getenv& getenv, const char* name)
{
    const char* value = getenv(name);
    return value ? value : "";
}

// The plugin file each platform this library can check is made of.
const char* PluginFile(const std::string& name)
{
    if (name == "xcb")
        return "libqxcb.so";
    if (name == "wayland")
        return "libqwayland-generic.so";
    if (name == "wayland-egl")
        return "libqwayland-egl.so";
    if (name == "offscreen")
        return "libqoffscreen.so";
    if (name == "minimal")
        return "libqminimal.so";
    return nullptr;
}

// Whether Qt would find the plugin (in QT_QPA_PLATFORM_PLUGIN_PATH, in a
// "platforms" folder of QT_PLUGIN_PATH's, or in Qt's own plugin folder) and
// could load it: a plugin whose libraries are missing ends the process too.
// A plugin loaded here stays loaded, as Qt would keep it.
bool HavePlugin(const Getenv& getenv, const std::string& file)
{
    std::vector<std::string> folders = ListItems(Env(getenv, "QT_QPA_PLATFORM_PLUGIN_PATH"), ':');
    for (const std::string& folder : ListItems(Env(getenv, "QT_PLUGIN_PATH"), ':'))
        folders.push_back(folder + "/platforms");
    folders.push_back(QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString() + "/platforms");
    for (const std::string& folder : folders) {
        if (IsRegularFile(folder + "/" + file) && dlopen((folder + "/" + file).c_str(), RTLD_LAZY | RTLD_LOCAL))
            return true;
    }
    return false;
}

// A connection to an X server through the X client library that Qt's own
// X11 plugin uses, loaded only to ask.
class XConnection
{
public:
    explicit XConnection(const std::string& display)
    {
        m_library = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
        if (!m_library)
            return;
        const auto connect =
            reinterpret_cast<void* (*)(const char*, int*)>(dlsym(m_library, "xcb_connect"));
        const auto hasError =
            reinterpret_cast<int (*)(void*)>(dlsym(m_library, "xcb_connection_has_error"));
        m_disconnect = reinterpret_cast<void (*)(void*)>(dlsym(m_library, "xcb_disconnect"));
        if (!connect || !hasError || !m_disconnect)
            return;
        m_connection = connect(display.c_str(), nullptr);
        m_connected = m_connection && hasError(m_connection) == 0;
    }
    ~XConnection()
    {
        if (m_connection)
            m_disconnect(m_connection);
        if (m_library)
            dlclose(m_library);
    }
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;
    bool HaveLibrary() const { return m_library != nullptr; }
    bool Connected() const { return m_connected; }

private:
    void* m_library = nullptr;
    void* m_connection = nullptr;
    void (*m_disconnect)(void*) = nullptr;
    bool m_connected = false;
};

// An X server that takes a connection. The connection is kept in `hold`:
// a server whose last client leaves resets, refusing connections for that
// moment, and Qt's must not come then. A refusal (the reset a client before
// us caused) is tried again before it counts. A server that does not answer
// at all (a display on a host out of reach) is given five seconds: the
// attempt goes on in a thread of its own, left behind when it takes longer.
std::string CheckX11(const std::string& display, std::shared_ptr<void>& hold)
{
    if (display.empty())
        return "DISPLAY is not set";
    struct Attempt {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        std::shared_ptr<XConnection> connection;
        bool haveLibrary = true;
    };
    auto attempt = std::make_shared<Attempt>();
    try {
        std::thread([attempt, display] {
            std::shared_ptr<XConnection> connection;
            bool haveLibrary = true;
            for (int tries = 0; tries < 3; ++tries) {
                if (tries > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                connection = std::make_shared<XConnection>(display);
                haveLibrary = connection->HaveLibrary();
                if (!haveLibrary || connection->Connected())
                    break;
            }
            const std::lock_guard<std::mutex> guard(attempt->mutex);
            attempt->connection = std::move(connection);
            attempt->haveLibrary = haveLibrary;
            attempt->finished = true;
            attempt->done.notify_one();
        }).detach();
    } catch (const std::system_error&) {
        return "no thread to connect to display " + display + " with";
    }
    std::unique_lock<std::mutex> guard(attempt->mutex);
    if (!attempt->done.wait_for(guard, std::chrono::seconds(5), [&] { return attempt->finished; }))
        return "cannot connect to display " + display + " (no answer in 5 seconds)";
    if (!attempt->haveLibrary)
        return "the X11 client library (libxcb.so.1) is missing";
    if (!attempt->connection || !attempt->connection->Connected())
        return "cannot connect to display " + display;
    hold = attempt->connection;
    return "";
}

// A Wayland compositor that answers on its socket: WAYLAND_DISPLAY (default
// "wayland-0") in XDG_RUNTIME_DIR, or the absolute path it names. A socket
// that takes the connection and never answers would hang Qt's first
// round trip (and the host) for ever, so the check makes one round trip of
// its own: a wl_display.sync, which any compositor answers at once, given
// five seconds.
std::string CheckWayland(const Getenv& getenv)
{
    std::string name = Env(getenv, "WAYLAND_DISPLAY");
    if (name.empty())
        name = "wayland-0";
    std::string path = name;
    if (name[0] != '/') {
        const std::string runtime = Env(getenv, "XDG_RUNTIME_DIR");
        if (runtime.empty())
            return "XDG_RUNTIME_DIR is not set, so there is no Wayland display " + name;
        path = runtime + "/" + name;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return "the Wayland display's path is too long: " + path;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (socket.Get() < 0 ||
        ::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return "cannot connect to the Wayland display " + path;
    // wl_display (object 1), request 0 (sync), 12 bytes, new callback object 2.
    const std::uint32_t sync[3] = {1, (12u << 16) | 0u, 2};
    if (::send(socket.Get(), sync, sizeof sync, MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof sync))
        return "cannot connect to the Wayland display " + path + " (it closed the connection)";
    pollfd answer{socket.Get(), POLLIN, 0};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        const int ready = ::poll(&answer, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
        if (ready > 0)
            break;
        if (ready == 0)
            return "cannot connect to the Wayland display " + path + " (no answer in 5 seconds)";
        if (errno != EINTR)
            return "cannot connect to the Wayland display " + path;
    }
    char reply[8];
    if (::recv(socket.Get(), reply, sizeof reply, MSG_DONTWAIT) <= 0)
        return "cannot connect to the Wayland display " + path + " (it closed the connection)";
    return "";
}

// Why `candidate` (a name with its options) cannot be used; empty when it can.
std::string ProblemOf(const Getenv& getenv, const std::string& candidate,
                      std::shared_ptr<void>& hold)
{
    const std::string name = candidate.substr(0, candidate.find(':'));
    const char* plugin = PluginFile(name);
    if (!plugin)
        return "unknown platform '" + name + "' (QT_QPA_PLATFORM)";
    if (!HavePlugin(getenv, plugin))
        return "Qt's '" + name + "' platform plugin (" + plugin + ") is not installed";
    if (name == "xcb")
        return CheckX11(Env(getenv, "DISPLAY"), hold);
    if (name == "wayland" || name == "wayland-egl")
        return CheckWayland(getenv);
    return "";
}

}  // namespace

std::vector<std::string> CandidatePlatforms(const Getenv& getenv)
{
    const std::string asked = Env(getenv, "QT_QPA_PLATFORM");
    if (!asked.empty())
        return ListItems(asked, ';');
    if (Env(getenv, "XDG_SESSION_TYPE") == "wayland")
        return {"wayland", "xcb"};
    if (!Env(getenv, "WAYLAND_DISPLAY").empty())
        return {"xcb", "wayland"};
    return {"xcb"};
}

DisplayCheck CheckDisplay(const Getenv& getenv)
{
    const std::vector<std::string> candidates = CandidatePlatforms(getenv);
    DisplayCheck check;
    for (const std::string& candidate : candidates) {
        const std::string problem = ProblemOf(getenv, candidate, check.hold);
        if (problem.empty()) {
            check.platform = candidate;
            check.problem.clear();
            return check;
        }
        if (check.problem.empty())
            check.problem = problem;
    }
    if (check.problem.empty())
        check.problem = "no platform named in QT_QPA_PLATFORM";
    return check;
}

DisplayCheck CheckDisplay()
{
    return CheckDisplay([](const char* name) { return std::getenv(name); });
}
