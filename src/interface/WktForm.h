// Whether a text is WKT, and which: what a system handed back is compared
// with before it is rewritten in the form a host asked for.
#pragma once

#include <string>

#include "interface/OrvaneReference.h"

enum class WktForm { None, Wkt1, Wkt2 };

// By the text's first keyword.
WktForm WktFormOf(const std::string& text);

// `system` in `format`: the text itself when it is in that form already (a
// system handed in and left alone comes back as it was), else rewritten by
// GDAL; empty when GDAL cannot write it so.
std::string SystemInFormat(const std::string& system, OrvaneFormat format);
