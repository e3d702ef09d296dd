// Whether the chooser can be shown in this process, asked without showing
// it: a program that has no window of its own decides before it tries.
#ifndef ORVANE_DISPLAY_H
#define ORVANE_DISPLAY_H

#include <string>

#include "Orvane.h"

// Why no dialog can be shown here ("cannot connect to display :99", "DISPLAY
// is not set", "unknown platform 'bogus' (QT_QPA_PLATFORM)"); empty when one
// can. DoModal fails (returns 2) for the same reason instead of letting Qt end
// the process.
ORVANE_API std::string OrvaneWhyNoDialogs();

// Why the last DoModal (of any Orvane object) showed no dialog for want of a
// display: its own check's reason, or Qt's own connection failing where the
// check's had not ("cannot connect to display :99 (Qt's own connection
// failed)"); empty when it showed one (and was then confirmed or cancelled).
ORVANE_API std::string OrvaneWhyTheLastDialogFailed();

#endif
