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
#include <cstring>
#include <memory>

#include "platform/ConnectionWatchdog.h"
#include "platform/XServerCheck.h"
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

// Whether `bytes` begin with the compositor's answer to the check's
// wl_display.sync: its callback's done event (object 2, opcode 0, 12 bytes),
// after whatever else a compositor may send first. Sets `answered` or
// `wrong`; neither while the bytes end inside a message.
void ReadWaylandAnswer(const std::string& bytes, bool& answered, bool& wrong)
{
    for (std::size_t at = 0; at + 8 <= bytes.size();) {
        std::uint32_t header[2];
        std::memcpy(header, bytes.data() + at, sizeof header);
        const std::uint32_t object = header[0], size = header[1] >> 16, opcode = header[1] & 0xffff;
        // wl_display (1) and the callback (2) are the only objects there are;
        // wl_display's event 0 is an error.
        if (size < 8 || size % 4 != 0 || (object != 1 && object != 2) || (object == 1 && opcode == 0)) {
            wrong = true;
            return;
        }
        if (at + size > bytes.size())
            return;
        if (object == 2 && opcode == 0 && size == 12) {
            answered = true;
            return;
        }
        at += size;
    }
}

// The compositor's socket, in `address`; why there is none otherwise.
std::string WaylandSocketAddress(const Getenv& getenv, sockaddr_un& address, std::string& path)
{
    std::string name = Env(getenv, "WAYLAND_DISPLAY");
    if (name.empty())
        name = "wayland-0";
    path = name;
    if (name[0] != '/') {
        const std::string runtime = Env(getenv, "XDG_RUNTIME_DIR");
        if (runtime.empty())
            return "XDG_RUNTIME_DIR is not set, so there is no Wayland display " + name;
        path = runtime + "/" + name;
    }
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return "the Wayland display's path is too long: " + path;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return "";
}

// A Wayland compositor that answers on its socket: WAYLAND_DISPLAY (default
// "wayland-0") in XDG_RUNTIME_DIR, or the absolute path it names. A socket
// that takes the connection and never answers, or answers what no
// compositor would, would hang Qt's first round trip (and the host) for
// ever, or make Qt end the process: the check makes one round trip of its
// own, a wl_display.sync, whose answer a compositor sends at once.
std::string CheckWayland(const Getenv& getenv, std::chrono::steady_clock::time_point deadline, std::string& peer)
{
    sockaddr_un address;
    std::string path;
    if (std::string problem = WaylandSocketAddress(getenv, address, path); !problem.empty())
        return problem;
    const std::string cannot = "cannot connect to the Wayland display " + path;
    const std::string late = cannot + " (no answer in " + std::to_string(kDisplayAnswerSeconds) + " seconds)";
    const auto left = [deadline] {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        return static_cast<int>(std::max<std::int64_t>(ms.count(), 0));
    };
    FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (socket.Get() < 0)
        return cannot;
    // A compositor whose queue of connections is full takes this one once
    // there is room, or not by the deadline.
    while (::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            return cannot;
        if (left() == 0)
            return late;
        ::poll(nullptr, 0, 20);
    }
    peer = PeerAddressOf(socket.Get());
    // wl_display (object 1), request 0 (sync), 12 bytes, new callback object 2.
    const std::uint32_t sync[3] = {1, (12u << 16) | 0u, 2};
    if (::send(socket.Get(), sync, sizeof sync, MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof sync))
        return cannot + " (it closed the connection)";
    std::string received;
    for (bool answered = false, wrong = false; !answered;) {
        pollfd readable{socket.Get(), POLLIN, 0};
        const int ready = ::poll(&readable, 1, left());
        if (ready == 0)
            return late;
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return cannot;
        }
        char chunk[512];
        const ssize_t got = ::recv(socket.Get(), chunk, sizeof chunk, MSG_DONTWAIT);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR))
            return cannot + " (it closed the connection)";
        if (got > 0)
            received.append(chunk, static_cast<std::size_t>(got));
        ReadWaylandAnswer(received, answered, wrong);
        if (wrong || received.size() > 4096)
            return cannot + " (it does not answer as a Wayland compositor)";
    }
    return "";
}

// Why `candidate` (a name with its options) cannot be used; empty when it can.
std::string ProblemOf(const Getenv& getenv, const std::string& candidate,
                      std::chrono::steady_clock::time_point deadline, std::shared_ptr<void>& hold, std::string& peer)
{
    const std::string name = candidate.substr(0, candidate.find(':'));
    const char* plugin = PluginFile(name);
    if (!plugin)
        return "unknown platform '" + name + "' (QT_QPA_PLATFORM)";
    if (!HavePlugin(getenv, plugin))
        return "Qt's '" + name + "' platform plugin (" + plugin + ") is not installed";
    if (name == "xcb")
        return CheckXServer(Env(getenv, "DISPLAY"), deadline, hold, &peer);
    if (name == "wayland" || name == "wayland-egl")
        return CheckWayland(getenv, deadline, peer);
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
    // One deadline for the whole list: "xcb;xcb;xcb" waits no longer than "xcb".
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kDisplayAnswerSeconds);
    DisplayCheck check;
    for (const std::string& candidate : candidates) {
        const std::string problem = ProblemOf(getenv, candidate, deadline, check.hold, check.peer);
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

bool HavePlatformPlugin(const std::string& name)
{
    const char* plugin = PluginFile(name);
    return plugin && HavePlugin([](const char* variable) { return std::getenv(variable); }, plugin);
}

DisplayCheck CheckDisplay()
{
    return CheckDisplay([](const char* name) { return std::getenv(name); });
}
