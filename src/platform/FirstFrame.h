// Work that can wait until the user sees the window.
#pragma once

#include <functional>

class QWidget;

// Runs `work` on the window's thread once `window` has painted its first
// frame, and never when the window goes first: on a machine of few cores a
// thread started sooner would take the time that frame needs.
void AfterFirstFrame(QWidget* window, std::function<void()> work);
