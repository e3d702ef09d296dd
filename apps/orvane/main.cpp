// orvane: a host of the Orvane library, for the shell.
//   orvane info REF...   the five names of each spatial reference
#include <cstdio>
#include <cstring>
#include <string>

#include "Orvane.h"

namespace {

void PrintUsage(FILE* out)
{
    std::fprintf(out,
                 "usage: orvane info REF...\n"
                 "  REF: WKT, EPSG:n, a PROJ string, a .prj path, anything GDAL accepts\n");
}

// Prints the names of `ref`; false when GDAL could not make sense of it.
bool PrintNames(const char* ref)
{
    const std::string system = Orvane::GetCoordSysName(ref);
    const std::string datum = Orvane::GetDatumName(ref);
    const std::string spheroid = Orvane::GetSpheroidName(ref);
    const std::string projection = Orvane::GetProjectionName(ref);
    const std::string units = Orvane::GetUnitsName(ref);
    std::printf("Coordinate system: %s\nDatum: %s\nSpheroid: %s\nProjection: %s\nUnits: %s\n",
                system.c_str(), datum.c_str(), spheroid.c_str(), projection.c_str(),
                units.c_str());
    return !(system == "Unknown" && datum.empty() && spheroid.empty() && projection.empty() &&
             units.empty());
}

int RunInfo(int argc, char** argv)
{
    if (argc < 1) {
        PrintUsage(stderr);
        return 2;
    }
    bool allUsable = true;
    for (int i = 0; i < argc; ++i) {
        if (i > 0)
            std::printf("\n");
        if (!PrintNames(argv[i])) {
            std::fprintf(stderr, "orvane: not a usable spatial reference: %s\n", argv[i]);
            allUsable = false;
        }
    }
    return allUsable ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "info") == 0)
        return RunInfo(argc - 2, argv + 2);
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage(stdout);
        return 0;
    }
    PrintUsage(stderr);
    return 2;
}
