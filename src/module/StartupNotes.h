// What the user hears once a process as a chooser opens: files too large to
// be read, and a folder of theirs that others may write in.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "module/Messages.h"

// A file read up to a limit, and the message for one beyond it.
struct SizeLimitedFile {
    std::string path;
    std::size_t limit;
    MessageId tooLarge;
};

// The notes on the catalogues, the user's folder and `alsoRead` that this
// process has not yet given, one a line; empty when there are none.
std::string StartupNotesNotYetTold(const std::vector<SizeLimitedFile>& alsoRead);
