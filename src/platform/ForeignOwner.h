// A window of another program (a Tk, GTK or Electron host) that a dialog of
// ours belongs to: the dialog stays above it and is modal to it, as a
// plug-in's dialog is to its host's window. X11 only: Wayland gives a
// client no way to name another client's window.
#pragma once

#include <memory>
#include <string>

class QWidget;
class QWindow;

class ForeignOwner {
public:
    // `windowId` as the host knows its window: its top-level window, or any
    // window inside one (Tk's winfo_id), which stands for that top-level.
    explicit ForeignOwner(unsigned long long windowId);
    ~ForeignOwner();
    ForeignOwner(const ForeignOwner&) = delete;
    ForeignOwner& operator=(const ForeignOwner&) = delete;

    // Makes `dialog` (a window not yet shown) transient for the host's
    // window. False, with the reason, when that window cannot be owner here
    // (another platform than X11, no such window on this display); the
    // dialog is then left a window of its own.
    bool Own(QWidget* dialog, std::string& problem);

private:
    unsigned long long m_windowId;
    std::unique_ptr<QWindow> m_window;
};
