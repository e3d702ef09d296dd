// One run of the chooser for a host, whichever door the host came in by
// (the exported class, the C API): the same dialog, checks and result.
#pragma once

#include <string>

struct ChooserRun {
    std::string wkt;  // the host's system; after a confirmed choice, the chosen one
    std::string name; // the chosen system's name
    bool gdalRegistered = true;
    bool offerHeight = false;  // the height row is shown
    const void* parentWidget = nullptr;   // a QWidget of the host's, or null
    unsigned long long parentWindow = 0;  // another program's X11 window, or 0
    // Why no dialog was tried, when that was known before (the host's Qt
    // application has no widgets; the call came from another thread than
    // the application's, where a dialog would never see a key); empty else.
    std::string problem;
    bool noDialogs = false;  // `problem` is that no dialog can be shown in this program
};

// Shows the chooser: 1 when the user confirmed a choice (then `wkt` and
// `name` are that choice's), 2 otherwise.
int RunChooser(ChooserRun& run);
