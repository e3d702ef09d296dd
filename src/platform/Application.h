// The Qt application that every dialog needs.
#pragma once

// True when a QApplication exists, creating one when the host has none.
// False when a host runs only a non-widget Qt application, or when no display
// can be had (Qt would otherwise abort the host's process).
bool EnsureQApplication();

// Lets the windows repaint while the caller waits for something else; user
// input waits, so that no handler runs inside another.
void PumpEvents();
