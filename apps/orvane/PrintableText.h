// Texts the program did not make (a user's WKT, a file's content, a name
// GDAL read from either), made safe to show on a terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// `text` with every control character (tabs and line breaks included), every
// bidirectional override or isolate, every backslash and every byte that is
// not part of valid UTF-8 written as \xNN, so that a terminal shows it instead of obeying it
// and a record stays one; longer than `limit` bytes, it is cut before a whole character and "…"
// is added.
std::string PrintableText(std::string_view text, std::size_t limit);
