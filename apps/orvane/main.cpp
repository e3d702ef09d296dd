// orvane: a host of the Orvane library, for the shell.
//   orvane pick [--wkt TEXT | --wkt-file FILE] [--lang N] [--host-registers-gdal]
//       shows the chooser; on OK prints the name, then the WKT, and exits 0;
//       on Cancel exits 1
//   orvane info REF...
//       the five names of each spatial reference
//   orvane catalog list | remove NAME
//       the geographic systems the chooser lists; removes one the user defined
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gdal.h>
#include <unistd.h>

#include "Orvane.h"
#include "OrvaneCatalog.h"
#include "OrvaneSearch.h"
#include "PrintableText.h"
#include "util/FileIO.h"

namespace {

enum ExitCode { kOk = 0, kCancelled = 1, kUsage = 2, kNoDisplay = 3, kUnusable = 4 };

// How much of a text the user gave is echoed in a message, and of a name.
const std::size_t kEchoLimit = 200;
const std::size_t kNameLimit = 1000;

void PrintUsage(FILE* out)
{
    std::fprintf(out,
                 "usage: orvane pick [--wkt TEXT | --wkt-file FILE] [--lang N] [--host-registers-gdal]\n"
                 "       orvane info REF...\n"
                 "       orvane find TEXT...\n"
                 "       orvane catalog list | remove NAME\n"
                 "  pick  shows the chooser; on OK prints the system's name and its WKT\n"
                 "        (exit 0), on Cancel exits 1\n"
                 "  info  prints the five names of each REF: WKT, EPSG:n, a PROJ string, a\n"
                 "        .prj path, anything GDAL accepts\n"
                 "  find  prints the systems whose names hold every word of TEXT (digits may\n"
                 "        match the EPSG code), best first, one a line: the code (or\n"
                 "        \"catalogue\" or \"user\"), a tab, \"geographic\" or \"projected\", a tab,\n"
                 "        the name; exit 1 when none match\n"
                 "  catalog list    prints each geographic system the chooser lists, one a\n"
                 "                  line: \"shipped\", \"user\" or \"user-override\", a tab, the name\n"
                 "  catalog remove  removes a system the user defined (exit 1 when the user\n"
                 "                  defined none of that name, 4 when the file cannot be written)\n"
                 "  --lang N  0 Simplified Chinese, 1 Traditional Chinese, other English\n");
}

int Usage(const std::string& problem)
{
    std::fprintf(stderr, "orvane: %s\n", problem.c_str());
    PrintUsage(stderr);
    return kUsage;
}

// Prints the names of `ref`; false when GDAL could not make sense of it.
bool PrintNames(const char* ref)
{
    const std::string system = Orvane::GetCoordSysName(ref);
    const std::string datum = Orvane::GetDatumName(ref);
    const std::string spheroid = Orvane::GetSpheroidName(ref);
    const std::string projection = Orvane::GetProjectionName(ref);
    const std::string units = Orvane::GetUnitsName(ref);
    const auto shown = [](const std::string& name) { return PrintableText(name, kNameLimit); };
    std::printf("Coordinate system: %s\nDatum: %s\nSpheroid: %s\nProjection: %s\nUnits: %s\n",
                shown(system).c_str(), shown(datum).c_str(), shown(spheroid).c_str(),
                shown(projection).c_str(), shown(units).c_str());
    return !(system == "Unknown" && datum.empty() && spheroid.empty() && projection.empty() &&
             units.empty());
}

int RunInfo(int argc, char** argv)
{
    if (argc < 1)
        return Usage("info needs at least one reference");
    bool allUsable = true;
    for (int i = 0; i < argc; ++i) {
        if (i > 0)
            std::printf("\n");
        if (!PrintNames(argv[i])) {
            std::fprintf(stderr, "orvane: not a usable spatial reference: %s\n",
                         PrintableText(argv[i], kEchoLimit).c_str());
            allUsable = false;
        }
    }
    return allUsable ? kOk : kCancelled;
}

bool ParseLanguage(const char* text, int& language)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < -1000000 || value > 1000000)
        return false;
    language = static_cast<int>(value);
    return true;
}

int RunPick(int argc, char** argv)
{
    std::string wkt;
    bool haveWkt = false;
    int language = LANGUAGE_ENGLISH;
    bool hostRegisters = false;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if ((arg == "--wkt" || arg == "--wkt-file") && haveWkt)
            return Usage("give --wkt or --wkt-file once");
        if (arg == "--wkt" && hasValue) {
            wkt = argv[++i];
            haveWkt = true;
        } else if (arg == "--wkt-file" && hasValue) {
            // Only a regular file of sensible size: /dev/zero would never end.
            if (!ReadDefinitionFile(argv[++i], wkt))
                return Usage("cannot read the --wkt-file (a regular file of at most 1 MiB)");
            haveWkt = true;
        } else if (arg == "--lang" && hasValue) {
            if (!ParseLanguage(argv[++i], language))
                return Usage("--lang takes a whole number");
        } else if (arg == "--host-registers-gdal") {
            hostRegisters = true;
        } else {
            return Usage("unknown or incomplete argument: " + PrintableText(arg, kEchoLimit));
        }
    }
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "orvane: no display to show the chooser on (DISPLAY is not set)\n");
        return kNoDisplay;
    }
    if (hostRegisters)
        GDALAllRegister();
    Orvane chooser(wkt.c_str());
    chooser.SetLanguage(static_cast<LanguageSet>(language));
    chooser.SetGDALRegState(hostRegisters);
    if (chooser.DoModal() != 1)
        return kCancelled;
    // A script gets the system exactly; a terminal gets nothing it would obey.
    const bool terminal = isatty(STDOUT_FILENO) == 1;
    const std::string name = chooser.GetSrsName();
    const std::string result = chooser.GetWKT();
    std::printf("%s\n%s\n", terminal ? PrintableText(name, kNameLimit).c_str() : name.c_str(),
                terminal ? PrintableText(result, result.size()).c_str() : result.c_str());
    return kOk;
}

int RunFind(int argc, char** argv)
{
    if (argc < 1)
        return Usage("find needs a text");
    std::string text;
    for (int i = 0; i < argc; ++i)
        text += std::string(i ? " " : "") + argv[i];
    const bool terminal = isatty(STDOUT_FILENO) == 1;
    const std::vector<OrvaneFoundSystem> found = OrvaneFindSystems(text.c_str(), static_cast<std::size_t>(-1));
    for (const OrvaneFoundSystem& system : found) {
        std::printf("%s\t%s\t%s\n", system.code.empty() ? system.origin.c_str() : system.code.c_str(),
                    system.projected ? "projected" : "geographic",
                    terminal ? PrintableText(system.name, kNameLimit).c_str() : system.name.c_str());
    }
    return found.empty() ? kCancelled : kOk;
}

int RunCatalog(int argc, char** argv)
{
    const std::string action = argc >= 1 ? argv[0] : "";
    const bool terminal = isatty(STDOUT_FILENO) == 1;
    if (action == "list" && argc == 1) {
        for (const OrvaneCatalogEntry& entry : OrvaneListGeogSystems()) {
            const char* origin = !entry.user ? "shipped" : entry.overridesShipped ? "user-override" : "user";
            std::printf("%s\t%s\n", origin,
                        terminal ? PrintableText(entry.name, kNameLimit).c_str() : entry.name.c_str());
        }
        return kOk;
    }
    if (action == "remove" && argc == 2) {
        const std::string name = argv[1];
        const std::string shown = PrintableText(name, kEchoLimit);
        const std::string path = PrintableText(OrvaneUserCatalogPath(), kEchoLimit);
        switch (OrvaneRemoveUserGeogSystem(name.c_str())) {
        case ORVANE_REMOVED:
            std::printf("removed \"%s\" from %s\n", shown.c_str(), path.c_str());
            return kOk;
        case ORVANE_NOT_A_USER_SYSTEM:
            std::fprintf(stderr, "orvane: you have defined no system named \"%s\"%s\n", shown.c_str(),
                         [&] {
                             for (const OrvaneCatalogEntry& e : OrvaneListGeogSystems())
                                 if (e.name == name)
                                     return " (a shipped system cannot be removed)";
                             return "";
                         }());
            return kCancelled;
        default:
            std::fprintf(stderr, "orvane: cannot write %s\n", path.c_str());
            return kUnusable;
        }
    }
    return Usage("catalog takes \"list\" or \"remove NAME\"");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "info") == 0)
        return RunInfo(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "pick") == 0)
        return RunPick(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "find") == 0)
        return RunFind(argc - 2, argv + 2);
    if (argc >= 2 && std::strcmp(argv[1], "catalog") == 0)
        return RunCatalog(argc - 2, argv + 2);
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage(stdout);
        return kOk;
    }
    return Usage(argc < 2 ? "no command" : "unknown command");
}
