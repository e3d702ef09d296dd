// orvane: a host of the Orvane library, for the shell. `orvane --help` says
// how to use it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gdal.h>
#include <nlohmann/json.hpp>
#include <ogr_srs_api.h>
#include <unistd.h>

#include "Orvane.h"
#include "OrvaneCatalog.h"
#include "OrvaneReference.h"
#include "OrvaneSearch.h"
#include "PrintableText.h"
#include "util/FileIO.h"

namespace {

enum ExitCode { kOk = 0, kCancelled = 1, kUsage = 2, kNoDisplay = 3, kUnusable = 4 };

// How much of a text the user gave is echoed in a message, and of a name.
const std::size_t kEchoLimit = 200;
const std::size_t kNameLimit = 1000;

const char kUsageText[] =
    "usage: orvane pick [--wkt REF | --wkt-file FILE] [--format wkt1|wkt2|projjson|proj] [--json]\n"
    "                   [--lang N] [--host-registers-gdal]\n"
    "       orvane info [--json] REF...\n"
    "       orvane find [--json] TEXT...\n"
    "       orvane catalog list | remove NAME\n"
    "       orvane --help | --version     (and --help after any command)\n"
    "\n"
    "  pick  shows the chooser, opened on REF (or on the content of FILE); on OK\n"
    "        prints the system's name, then the system (WKT1 unless --format says\n"
    "        otherwise)\n"
    "  info  prints the names of each REF: system, datum, spheroid, projection,\n"
    "        units, and its EPSG code when it is exactly an EPSG system\n"
    "  find  prints the systems whose names hold every word of TEXT (digits may\n"
    "        match the EPSG code), best first, one a line: the code (or\n"
    "        \"catalogue\" or \"user\"), a tab, \"geographic\" or \"projected\", a tab,\n"
    "        the name\n"
    "  catalog list    prints each geographic system the chooser lists, one a\n"
    "                  line: \"shipped\", \"user\" or \"user-override\", a tab, the name\n"
    "  catalog remove  removes a system the user defined\n"
    "\n"
    "  REF     WKT1 or WKT2, PROJJSON, EPSG:n, a PROJ string, or a .prj file's path\n"
    "  --json  one JSON object (find, info: one a line): name, kind, datum,\n"
    "          spheroid, projection, units, code; pick adds the system\n"
    "  --lang N  0 Simplified Chinese, 1 Traditional Chinese, other English\n"
    "\n"
    "exit status:\n"
    "  0  success\n"
    "  1  the user cancelled the chooser; find found nothing; catalog remove: no\n"
    "     such system of the user's\n"
    "  2  usage error\n"
    "  3  no display to show the chooser on\n"
    "  4  an unusable spatial reference, or a file that cannot be read or written\n";

void PrintUsage(FILE* out)
{
    std::fputs(kUsageText, out);
}

int Usage(const std::string& problem)
{
    std::fprintf(stderr, "orvane: %s\n", problem.c_str());
    PrintUsage(stderr);
    return kUsage;
}

bool AsksForHelp(int argc, char** argv)
{
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return true;
    }
    return false;
}

// A script gets texts exactly; a terminal gets nothing it would obey.
bool ToTerminal()
{
    return isatty(STDOUT_FILENO) == 1;
}

std::string Shown(const std::string& text, std::size_t limit = kNameLimit)
{
    return ToTerminal() ? PrintableText(text, limit) : text;
}

void PrintJson(const nlohmann::json& object)
{
    // Bytes that are not UTF-8 become U+FFFD; a terminal sees only ASCII.
    const std::string text = object.dump(-1, ' ', ToTerminal(), nlohmann::json::error_handler_t::replace);
    std::printf("%s\n", text.c_str());
}

nlohmann::json JsonOf(const OrvaneReferenceInfo& info)
{
    auto orNull = [](const std::string& text) { return text.empty() ? nlohmann::json() : nlohmann::json(text); };
    return nlohmann::json{{"name", info.name},
                          {"kind", orNull(info.kind)},
                          {"datum", orNull(info.datum)},
                          {"spheroid", orNull(info.spheroid)},
                          {"projection", orNull(info.projection)},
                          {"units", orNull(info.units)},
                          {"code", orNull(info.code)}};
}

int RunInfo(int argc, char** argv)
{
    bool json = false;
    std::vector<const char*> references;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0)
            json = true;
        else
            references.push_back(argv[i]);
    }
    if (references.empty())
        return Usage("info needs at least one reference");
    bool allUsable = true;
    for (std::size_t i = 0; i < references.size(); ++i) {
        OrvaneReferenceInfo info;
        const bool usable = OrvaneDescribeReference(references[i], info);
        if (json) {
            PrintJson(JsonOf(info));
        } else {
            // Text for people, wherever it goes: escaped always (--json is for scripts).
            const auto shown = [](const std::string& name) { return PrintableText(name, kNameLimit); };
            std::printf("%sCoordinate system: %s\nDatum: %s\nSpheroid: %s\nProjection: %s\nUnits: %s\n",
                        i > 0 ? "\n" : "", shown(info.name).c_str(), shown(info.datum).c_str(),
                        shown(info.spheroid).c_str(), shown(info.projection).c_str(), shown(info.units).c_str());
            if (!info.code.empty())
                std::printf("Code: %s\n", info.code.c_str());
        }
        if (!usable) {
            std::fprintf(stderr, "orvane: not a usable spatial reference: %s\n",
                         PrintableText(references[i], kEchoLimit).c_str());
            allUsable = false;
        }
    }
    return allUsable ? kOk : kUnusable;
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

bool ParseFormat(const std::string& text, OrvaneFormat& format, std::string& key)
{
    const struct {
        const char* name;
        OrvaneFormat format;
        const char* key;  // the member of --json's object that holds the system
    } formats[] = {{"wkt1", OrvaneFormat::Wkt1, "wkt"},
                   {"wkt2", OrvaneFormat::Wkt2, "wkt2"},
                   {"projjson", OrvaneFormat::ProjJson, "projjson"},
                   {"proj", OrvaneFormat::Proj, "proj"}};
    for (const auto& f : formats) {
        if (text == f.name) {
            format = f.format;
            key = f.key;
            return true;
        }
    }
    return false;
}

int RunPick(int argc, char** argv)
{
    std::string reference;
    bool haveReference = false;
    int language = LANGUAGE_ENGLISH;
    bool hostRegisters = false;
    bool json = false;
    OrvaneFormat format = OrvaneFormat::Wkt1;
    std::string formatKey = "wkt";
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if ((arg == "--wkt" || arg == "--wkt-file") && haveReference)
            return Usage("give --wkt or --wkt-file once");
        if (arg == "--wkt" && hasValue) {
            reference = argv[++i];
            haveReference = true;
        } else if (arg == "--wkt-file" && hasValue) {
            // Only a regular file of sensible size: /dev/zero would never end.
            const std::string path = argv[++i];
            if (!ReadDefinitionFile(path, reference)) {
                std::fprintf(stderr, "orvane: cannot read %s (a regular file of at most 1 MiB)\n",
                             PrintableText(path, kEchoLimit).c_str());
                return kUnusable;
            }
            haveReference = true;
        } else if (arg == "--lang" && hasValue) {
            if (!ParseLanguage(argv[++i], language))
                return Usage("--lang takes a whole number");
        } else if (arg == "--format" && hasValue) {
            if (!ParseFormat(argv[++i], format, formatKey))
                return Usage("--format takes wkt1, wkt2, projjson or proj");
        } else if (arg == "--json") {
            json = true;
        } else if (arg == "--host-registers-gdal") {
            hostRegisters = true;
        } else {
            return Usage("unknown or incomplete argument: " + PrintableText(arg, kEchoLimit));
        }
    }
    // The chooser takes WKT; anything info reads is turned into it here.
    std::string wkt;
    // An empty text is no system: the chooser opens on its default, as for a host.
    if (haveReference && !reference.empty()) {
        wkt = OrvaneFormatReference(reference.c_str(), OrvaneFormat::Wkt1);
        if (wkt.empty()) {
            std::fprintf(stderr, "orvane: not a usable spatial reference: %s\n",
                         PrintableText(reference, kEchoLimit).c_str());
            return kUnusable;
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
    const std::string name = chooser.GetSrsName();
    const std::string result = chooser.GetWKT();
    const std::string system = format == OrvaneFormat::Wkt1 ? result : OrvaneFormatReference(result.c_str(), format);
    if (system.empty()) {
        std::fprintf(stderr, "orvane: GDAL cannot write this system as %s\n", formatKey.c_str());
        return kUnusable;
    }
    if (json) {
        OrvaneReferenceInfo info;
        OrvaneDescribeReference(result.c_str(), info);
        nlohmann::json object = JsonOf(info);
        object["name"] = name;
        // PROJJSON is JSON: it is kept as an object, not as a string.
        object[formatKey] = format == OrvaneFormat::ProjJson
                                ? nlohmann::json::parse(system, nullptr, false)
                                : nlohmann::json(system);
        PrintJson(object);
    } else {
        std::printf("%s\n%s\n", Shown(name).c_str(), Shown(system, system.size()).c_str());
    }
    return kOk;
}

int RunFind(int argc, char** argv)
{
    bool json = false;
    std::string text;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0)
            json = true;
        else
            text += (text.empty() ? "" : " ") + std::string(argv[i]);
    }
    if (text.empty())
        return Usage("find needs a text");
    const std::vector<OrvaneFoundSystem> found = OrvaneFindSystems(text.c_str(), static_cast<std::size_t>(-1));
    for (const OrvaneFoundSystem& system : found) {
        if (json) {
            OrvaneReferenceInfo info;
            OrvaneDescribeReference(system.reference.c_str(), info);
            nlohmann::json object = JsonOf(info);
            object["name"] = system.name;
            object["kind"] = system.projected ? "projected" : "geographic";
            object["code"] = system.code.empty() ? nlohmann::json() : nlohmann::json(system.code);
            object["origin"] = system.origin;
            object["area"] = system.area.empty() ? nlohmann::json() : nlohmann::json(system.area);
            PrintJson(object);
        } else {
            std::printf("%s\t%s\t%s\n", system.code.empty() ? system.origin.c_str() : system.code.c_str(),
                        system.projected ? "projected" : "geographic", Shown(system.name).c_str());
        }
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
    using Command = int (*)(int, char**);
    const std::pair<const char*, Command> commands[] = {
        {"info", RunInfo}, {"pick", RunPick}, {"find", RunFind}, {"catalog", RunCatalog}};
    for (const auto& [name, run] : commands) {
        if (argc < 2 || std::strcmp(argv[1], name) != 0)
            continue;
        if (AsksForHelp(argc - 2, argv + 2)) {
            PrintUsage(stdout);
            return kOk;
        }
        return run(argc - 2, argv + 2);
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("orvane %s (GDAL %s)\n", ORVANE_VERSION, GDALVersionInfo("RELEASE_NAME"));
        return kOk;
    }
    if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage(stdout);
        return kOk;
    }
    return Usage(argc < 2 ? "no command" : "unknown command");
}
