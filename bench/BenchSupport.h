// Module folders for the benchmarks: the bundled data, and a catalogue ten
// times its size.
#pragma once

#include <string>

// Writes a catalogue with `systems` geographic systems and `zones` zones in
// each Gauss-Krueger section, made from copies of the bundled entries (the
// three default names kept).
void WriteLargeCatalogue(const std::string& bundled, const std::string& path, int systems, int zones);

// Resident memory of this process, in bytes.
long ResidentBytes();
