// Whether an X server will take the connection Qt's X11 plugin is about to
// make: the display's socket takes a connection, the server completes the X
// handshake (with the user's authorization, as libxcb finds it), and has the
// screen the display names. Every step runs under one deadline; a server
// that does not answer by then is cut off, leaving no thread or socket.
#pragma once

#include <chrono>
#include <memory>
#include <string>

// Why the X display `display` (DISPLAY's value) cannot be used by the
// deadline; empty when it can. The connection the check made is put in
// `hold`: a server whose last client leaves resets, refusing connections for
// a moment, and Qt's must not come then.
// `peer`, when given, receives the server's address (PeerAddressOf).
std::string CheckXServer(const std::string& display, std::chrono::steady_clock::time_point deadline,
                         std::shared_ptr<void>& hold, std::string* peer = nullptr);

// Whether an X connection (libxcb's, Qt's own) has broken: the server went
// away or dropped it.
bool XConnectionBroken(void* connection);
