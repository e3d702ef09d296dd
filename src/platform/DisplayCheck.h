// Whether a window can be shown, decided before Qt is asked: Qt ends the
// whole process (the host's) when the platform it is told to use cannot be
// had, so the library asks first and fails with a reason instead.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

// How long the check waits for the displays, all told.
inline constexpr int kDisplayAnswerSeconds = 5;

// The platform to make the library's application on, or why there is none.
struct DisplayCheck {
    std::string
        platform; // Qt's name, with its options ("xcb", "offscreen:fontengine=…"); empty: none
    std::string problem; // why none: "cannot connect to display :99"
    // The connection the check made, kept open until Qt has made its own
    // (an X server left without clients resets and refuses the next one).
    std::shared_ptr<void> hold;
    // The address of the display the check reached (PeerAddressOf): Qt's
    // own connection goes there too.
    std::string peer;
};

// The platforms Qt would try, in its order: QT_QPA_PLATFORM's (a list
// separated by ';'); else Wayland first in a Wayland session, then X11;
// in any other session X11, then Wayland where WAYLAND_DISPLAY names one.
std::vector<std::string> CandidatePlatforms(const std::function<const char*(const char*)>& getenv);

// The first of the candidates that can be reached: a platform this library
// knows, whose plugin Qt has, and whose display answers (an X server that
// accepts the connection, a Wayland compositor that answers on its socket).
// With none, the first candidate's problem. `getenv` is the process's environment.
DisplayCheck CheckDisplay(const std::function<const char*(const char*)>& getenv);

// The same against the process's own environment.
DisplayCheck CheckDisplay();

// Whether Qt has the plugin of platform `name` ("offscreen") and could load it.
bool HavePlatformPlugin(const std::string& name);
