// orvane: a host of the Orvane library, for the shell. `orvane --help` says
// how to use it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gdal.h>
#include <nlohmann/json.hpp>
#include <ogr_srs_api.h>

#include "Orvane.h"
#include "OrvaneCatalog.h"
#include "OrvaneDisplay.h"
#include "OrvaneReference.h"
#include "OrvaneSearch.h"
#include "orvane.h"
#include "PrintableText.h"
#include "catalog/Identification.h"
#include "util/FileIO.h"
#include "util/Profile.h"

namespace {

enum ExitCode { kOk = 0, kCancelled = 1, kUsage = 2, kNoDisplay = 3, kUnusable = 4 };

// How much of a text the user gave is echoed in a message, and of a name.
const std::size_t kEchoLimit = 200;
const std::size_t kNameLimit = 1000;

const char kUsageText[] =
    "usage: orvane pick [--wkt REF | --wkt-file FILE] [--format wkt1|wkt2|projjson|proj] [--json]\n"
    "                   [--lang N] [--host-registers-gdal] [--parent-window WID] [--height]\n"
    "       orvane info [--json] REF...\n"
    "       orvane find [--json] TEXT... | --at LAT,LON\n"
    "       orvane catalog list | remove NAME\n"
    "       orvane --help | --version     (and COMMAND --help for a command's own)\n"
    "\n"
    "  pick  shows the chooser, opened on REF (or on the content of FILE); on OK\n"
    "        prints the system's name, then the system (WKT1 unless --format says\n"
    "        otherwise)\n"
    "  info  prints the names of each REF: system, datum, spheroid, projection,\n"
    "        units, and its EPSG code when it is exactly an EPSG system (the\n"
    "        code it is like when it differs only by its datum shift; what\n"
    "        replaces a retired code), and a datum ensemble's accuracy when it\n"
    "        is coarser than a metre (WGS 84's 2 m)\n"
    "  find  prints the systems one of whose names holds every word of TEXT\n"
    "        (digits may match the code; case, accents and punctuation aside;\n"
    "        Chinese names too; a misspelt or run-together word forgiven), or\n"
    "        whose area of use holds the place TEXT (a city, \"Berlin\"; a\n"
    "        coordinate pair, \"52.52 13.40\", \"52°31'N 13°24'E\") or LAT,LON,\n"
    "        best first, one a line:\n"
    "        the code (EPSG:n, ESRI:n, or \"catalogue\" or \"user\"), a tab,\n"
    "        \"geographic\" or \"projected\", a tab, the name\n"
    "  catalog list    prints each geographic system the chooser lists, one a\n"
    "                  line: \"shipped\", \"user\" or \"user-override\", a tab, the name\n"
    "  catalog remove  removes a system the user defined\n"
    "\n"
    "  REF     WKT1 or WKT2, PROJJSON, EPSG:n, a PROJ string, or a .prj file's path\n"
    "  --json  one JSON object (find, info: one a line): name, kind, code; info\n"
    "          and pick add datum, spheroid, projection and units, find adds\n"
    "          origin, area and the alias it found, pick adds the system\n"
    "  --lang N  0 Simplified Chinese, 1 Traditional Chinese, other English\n"
    "\n"
    "exit status:\n"
    "  0  success\n"
    "  1  the user cancelled the chooser; find found nothing; catalog remove: no\n"
    "     such system of the user's\n"
    "  2  usage error\n"
    "  3  no display to show the chooser on\n"
    "  4  an unusable spatial reference, or a file that cannot be read or written\n";

// Each command's own help: its usage, what it does, its options, its exit
// statuses.
const std::pair<const char*, const char*> kCommandHelp[] = {
    {"pick",
     "usage: orvane pick [--wkt REF | --wkt-file FILE] [--format wkt1|wkt2|projjson|proj] [--json]\n"
     "                   [--lang N] [--host-registers-gdal] [--parent-window WID] [--height]\n"
     "\n"
     "Shows the chooser, opened on REF (or on the content of FILE); on OK prints\n"
     "the system's name, then the system.\n"
     "\n"
     "  --wkt REF       the system to open on: WKT1 or WKT2, PROJJSON, EPSG:n, a PROJ\n"
     "                  string, or a .prj file's path\n"
     "  --wkt-file FILE the system to open on, read from FILE\n"
     "  --format F      how the system is printed: wkt1 (the default), wkt2, projjson\n"
     "                  or proj\n"
     "  --json          one JSON object: name, kind, datum, spheroid, projection,\n"
     "                  units, code and the system\n"
     "  --lang N        0 Simplified Chinese, 1 Traditional Chinese, other English\n"
     "  --host-registers-gdal  the program registers GDAL's drivers itself, as a\n"
     "                  host may\n"
     "  --parent-window WID  the chooser belongs to another program's X11 window\n"
     "                  (decimal, or hex as 0x1c00007): it stays above it and is\n"
     "                  modal to it\n"
     "  --height        offers a height with the system: none, the ellipsoid's, or a\n"
     "                  vertical system; a height chosen comes back as one compound\n"
     "                  system\n"
     "\n"
     "exit status: 0 OK; 1 cancelled; 2 usage error; 3 no display to show the\n"
     "chooser on; 4 an unusable reference, a file that cannot be read, or output\n"
     "that cannot be written\n"},
    {"info",
     "usage: orvane info [--json] REF...\n"
     "\n"
     "Prints the names of each REF: system, datum, spheroid, projection, units,\n"
     "and its EPSG code when it is exactly an EPSG system (the code it is like\n"
     "when it differs only by its datum shift). A code EPSG has retired is still\n"
     "its own system: \"Deprecated: replaced by EPSG:n\" follows it. A datum\n"
     "ensemble coarser than a metre says so: \"Accuracy: 2 m (datum ensemble)\".\n"
     "\n"
     "  REF     WKT1 or WKT2, PROJJSON, EPSG:n, a PROJ string, or a .prj file's path\n"
     "  --json  one JSON object a line: name, kind, datum, spheroid, projection,\n"
     "          units, code, like, deprecated, replaced_by, accuracy (metres, a\n"
     "          datum ensemble's; null for another datum)\n"
     "\n"
     "exit status: 0 every REF described; 2 usage error; 4 some REF unusable or\n"
     "unreadable (the others are described)\n"},
    {"find",
     "usage: orvane find [--json] TEXT... | --at LAT,LON\n"
     "\n"
     "Prints the systems one of whose names holds every word of TEXT (digits may\n"
     "match the code; case, accents and punctuation aside; Chinese names too; a\n"
     "misspelt or run-together word forgiven), or whose area of use holds the\n"
     "place TEXT (a city, \"Berlin\"; a coordinate pair, \"52.52 13.40\",\n"
     "\"52°31'N 13°24'E\") or LAT,LON, best first, one a line: the code (EPSG:n,\n"
     "ESRI:n, or \"catalogue\" or \"user\"), a tab, the kind (\"geographic\",\n"
     "\"projected\", \"vertical\" or \"compound\"), a tab, the name. Vertical and\n"
     "compound systems come after the horizontal ones that fit as well.\n"
     "\n"
     "  --at LAT,LON  the place, in degrees (\"52.52,13.40\", \"52.52 13.40\")\n"
     "  --json        one JSON object a line: name, kind, code, origin, area and\n"
     "                the alias found (info --json describes a system whole)\n"
     "\n"
     "exit status: 0 found; 1 found nothing; 2 usage error; 4 output that cannot\n"
     "be written, or PROJ's database unusable\n"},
    {"catalog",
     "usage: orvane catalog list | remove NAME\n"
     "\n"
     "  list         prints each geographic system the chooser lists, one a line:\n"
     "               \"shipped\", \"user\" or \"user-override\", a tab, the name\n"
     "  remove NAME  removes a system the user defined\n"
     "\n"
     "exit status: 0 done; 1 remove: no such system of the user's; 2 usage error;\n"
     "4 the catalogue cannot be read or written\n"},
};

void PrintUsage(FILE* out)
{
    std::fputs(kUsageText, out);
}

void PrintCommandHelp(const char* command)
{
    for (const auto& [name, help] : kCommandHelp) {
        if (std::strcmp(name, command) == 0) {
            std::fputs(help, stdout);
            return;
        }
    }
    PrintUsage(stdout);
}

// One line on what is wrong, and where to read more (as git and GDAL's
// programs do): the whole usage would bury the line.
int Usage(const char* command, const std::string& problem)
{
    std::fprintf(stderr, "orvane: %s\nTry 'orvane%s%s --help'.\n", problem.c_str(), command ? " " : "",
                 command ? command : "");
    return kUsage;
}

int Fail(int status, const std::string& message)
{
    std::fprintf(stderr, "orvane: %s\n", message.c_str());
    return status;
}

// Whether a text the user gave is meant as a file's path: it holds a slash,
// or ends in an extension, and is nothing a definition looks like.
bool LooksLikePath(const std::string& text)
{
    if (text.empty() || text.find_first_of("[{(\"=+ \t\r\n") != std::string::npos)
        return false;
    if (text.find('/') != std::string::npos)
        return true;
    const std::size_t dot = text.rfind('.');
    if (dot == std::string::npos || dot == 0 || text.size() - dot < 3 || text.size() - dot > 6)
        return false;
    for (std::size_t i = dot + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return false;
    }
    return true;
}

// Orvane keeps the journals of its in-place rewrites in the user's own state
// folder: one beside a file is someone else's, and is ignored; the user
// hears of it.
void ReportStrayJournal(const std::string& path)
{
    const std::string journal = path + ".orvane-journal";
    if (access(journal.c_str(), F_OK) == 0)
        Fail(kOk, "ignored " + PrintableText(journal, kEchoLimit) +
                      ": Orvane's journals are kept in your own state folder, never beside a file");
}

// Why a reference cannot be used, for standard error: a file it names that
// cannot be read says so, with the system's reason.
std::string UnusableReason(const std::string& reference)
{
    const std::string shown = PrintableText(reference, kEchoLimit);
    struct stat st;
    const bool exists = lstat(reference.c_str(), &st) == 0 || errno == EACCES;
    if (exists || LooksLikePath(reference)) {
        std::string text;
        ReadFailure failure;
        if (!ReadDefinitionFile(reference, text, &failure))
            return "cannot read " + shown + ": " + DescribeReadFailure(failure, kMaxDefinitionFileBytes);
    }
    // No reference is usable while PROJ's database is not: that is the reason.
    const std::string database = OrvaneDatabaseProblem();
    return database.empty() ? "not a usable spatial reference: " + shown : PrintableText(database, kNameLimit);
}

bool AsksForHelp(int argc, char** argv)
{
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return true;
    }
    return false;
}

// A terminal gets nothing it would obey.
bool ToTerminal()
{
    return isatty(STDOUT_FILENO) == 1;
}

// A name or other short text in a line or a record: escaped wherever it goes,
// so that a tab or a line break in it never splits a record and nothing
// reaches a terminal through a pipe (`| cat`) that it would obey; cut only
// for a terminal, so that a script gets every name whole.
std::string Shown(const std::string& text)
{
    return PrintableText(text, ToTerminal() ? kNameLimit : text.size() * 4);
}

// A whole system: exactly as it is for a script, escaped for a terminal.
std::string ShownSystem(const std::string& text)
{
    return ToTerminal() ? PrintableText(text, text.size()) : text;
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
        return Usage("info", "info needs at least one reference");
    bool allUsable = true;
    bool printed = false;
    for (const char* reference : references) {
        OrvaneReferenceInfo info;
        OrvaneIdentity identity;
        if (LooksLikePath(reference))
            ReportStrayJournal(reference);
        // An unusable reference prints nothing: its line on standard error says why.
        if (!OrvaneIdentifyReference(reference, info, identity)) {
            Fail(kUnusable, UnusableReason(reference));
            allUsable = false;
            continue;
        }
        const std::string& like = identity.likeButShift;
        OrvaneReferenceInfo height;
        const bool hasHeight = OrvaneDescribeHeight(reference, height);
        if (json) {
            nlohmann::json object = JsonOf(info);
            object["like"] = like.empty() ? nlohmann::json() : nlohmann::json(like);
            object["deprecated"] = identity.deprecated;
            object["replaced_by"] = identity.replacedBy;
            object["accuracy"] = identity.datumEnsembleAccuracy > 0 ? nlohmann::json(identity.datumEnsembleAccuracy)
                                                                    : nlohmann::json();
            object["vertical"] = hasHeight ? JsonOf(height) : nlohmann::json();
            PrintJson(object);
        } else {
            std::printf("%sCoordinate system: %s\nDatum: %s\nSpheroid: %s\nProjection: %s\nUnits: %s\n",
                        printed ? "\n" : "", Shown(info.name).c_str(), Shown(info.datum).c_str(),
                        Shown(info.spheroid).c_str(), Shown(info.projection).c_str(), Shown(info.units).c_str());
            if (!info.code.empty())
                std::printf("Code: %s\n", Shown(info.code).c_str());
            if (hasHeight)
                std::printf("Height: %s%s\n", Shown(height.name).c_str(),
                            height.code.empty() ? "" : (" (" + Shown(height.code) + ")").c_str());
            if (identity.deprecated) {
                std::string replacements;
                for (const std::string& code : identity.replacedBy)
                    replacements += (replacements.empty() ? "" : ", ") + code;
                std::printf("Deprecated: %s\n",
                            replacements.empty() ? "yes" : ("replaced by " + replacements).c_str());
            }
            if (!like.empty())
                std::printf("Like: %s (differs by its datum shift)\n", Shown(like).c_str());
            if (AccuracyWorthTelling(identity.datumEnsembleAccuracy))
                std::printf("Accuracy: %g m (datum ensemble)\n", identity.datumEnsembleAccuracy);
        }
        printed = true;
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

// An X11 window id as programs print it: decimal (xdotool, xwininfo -int)
// or hex with 0x (Tk's wm frame, xwininfo).
bool ParseWindowId(const char* text, unsigned long& id)
{
    const bool hex = std::strncmp(text, "0x", 2) == 0 || std::strncmp(text, "0X", 2) == 0;
    const char* digits = hex ? text + 2 : text;
    if (*digits == '\0' || !std::isxdigit(static_cast<unsigned char>(*digits)))
        return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(digits, &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0' || value == 0 || value > 0xFFFFFFFFull)
        return false;
    id = static_cast<unsigned long>(value);
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

// Qt ends the process when the display's connection breaks under an open
// dialog (the X server went away): with status 1, which reads as a cancel.
// Said for what it is instead.
bool g_chooserOpen = false;

void SayTheDisplayWentAway()
{
    if (!g_chooserOpen)
        return;
    std::fprintf(stderr, "orvane: no display to show the chooser on: the display went away while it was open\n");
    std::fflush(stderr);
    _exit(kNoDisplay);
}

// What `pick` was asked for.
struct PickRequest {
    std::string reference;
    std::string referenceFile;  // where `reference` was read from, if anywhere
    bool haveReference = false;
    int language = LANGUAGE_ENGLISH;
    bool hostRegisters = false;
    unsigned long parentWindow = 0;
    bool height = false;
    bool json = false;
    OrvaneFormat format = OrvaneFormat::Wkt1;
    std::string formatKey = "wkt";
};

// Reads `pick`'s arguments into `request`; kOk, or the status to end with.
int ReadPickArguments(int argc, char** argv, PickRequest& request)
{
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if ((arg == "--wkt" || arg == "--wkt-file") && request.haveReference)
            return Usage("pick", "give --wkt or --wkt-file once");
        if (arg == "--wkt" && hasValue) {
            request.reference = argv[++i];
            request.haveReference = true;
        } else if (arg == "--wkt-file" && hasValue) {
            // Only a regular file of sensible size: /dev/zero would never end.
            request.referenceFile = argv[++i];
            ReportStrayJournal(request.referenceFile);
            ReadFailure failure;
            if (!ReadDefinitionFile(request.referenceFile, request.reference, &failure))
                return Fail(kUnusable, "cannot read " + PrintableText(request.referenceFile, kEchoLimit) + ": " +
                                           DescribeReadFailure(failure, kMaxDefinitionFileBytes));
            request.haveReference = true;
        } else if (arg == "--lang" && hasValue) {
            if (!ParseLanguage(argv[++i], request.language))
                return Usage("pick", "--lang takes a whole number");
        } else if (arg == "--format" && hasValue) {
            if (!ParseFormat(argv[++i], request.format, request.formatKey))
                return Usage("pick", "--format takes wkt1, wkt2, projjson or proj");
        } else if (arg == "--json") {
            request.json = true;
        } else if (arg == "--host-registers-gdal") {
            request.hostRegisters = true;
        } else if (arg == "--height") {
            request.height = true;
        } else if (arg == "--parent-window" && hasValue) {
            if (!ParseWindowId(argv[++i], request.parentWindow))
                return Usage("pick", "--parent-window takes an X11 window id (decimal, or hex as 0x1c00007)");
        } else {
            return Usage("pick", "unknown or incomplete argument: " + PrintableText(arg, kEchoLimit));
        }
    }
    return kOk;
}

// The chooser of the C API: it serves this program as it serves any host.
struct ChooserHandle {
    orvane_chooser* chooser;
    ~ChooserHandle() { orvane_chooser_destroy(chooser); }
};

// Prints what the user chose, in the form asked for.
int PrintPicked(orvane_chooser* chooser, const PickRequest& request)
{
    // Copied: the chooser's texts last until its next call.
    const char* asked = orvane_chooser_wkt(chooser, static_cast<int>(request.format));
    const std::string system = asked ? asked : "";
    if (system.empty())
        return Fail(kUnusable, "GDAL cannot write this system as " + request.formatKey);
    const std::string name = orvane_chooser_name(chooser);
    if (request.json) {
        const char* wkt1 = orvane_chooser_wkt(chooser, ORVANE_FORMAT_WKT1);
        OrvaneReferenceInfo info;
        OrvaneDescribeReference(wkt1 ? wkt1 : system.c_str(), info);
        nlohmann::json object = JsonOf(info);
        object["name"] = name;
        // PROJJSON is JSON: it is kept as an object, not as a string.
        object[request.formatKey] = request.format == OrvaneFormat::ProjJson
                                        ? nlohmann::json::parse(system, nullptr, false)
                                        : nlohmann::json(system);
        PrintJson(object);
    } else {
        std::printf("%s\n%s\n", Shown(name).c_str(), ShownSystem(system).c_str());
    }
    return kOk;
}

int RunPick(int argc, char** argv)
{
    PickRequest request;
    if (const int status = ReadPickArguments(argc, argv, request); status != kOk)
        return status;
    const ChooserHandle handle{orvane_chooser_create(nullptr, request.parentWindow)};
    if (!handle.chooser)
        return Fail(kUnusable, "out of memory");
    // An empty text is no system: the chooser opens on its default, as for a host.
    // A file's content is never echoed: it may be anything (a secret).
    if (request.haveReference && !orvane_chooser_set_wkt(handle.chooser, request.reference.c_str()))
        return Fail(kUnusable, request.referenceFile.empty()
                                   ? UnusableReason(request.reference)
                                   : PrintableText(request.referenceFile, kEchoLimit) +
                                         " holds no usable spatial reference");
    // Asked first: the chooser would fail without saying why to a program.
    const std::string database = OrvaneDatabaseProblem();
    if (!database.empty())
        return Fail(kUnusable, PrintableText(database, kNameLimit));
    const std::string noDisplay = OrvaneWhyNoDialogs();
    if (!noDisplay.empty())
        return Fail(kNoDisplay, "no display to show the chooser on: " + PrintableText(noDisplay, kEchoLimit));
    if (request.hostRegisters)
        GDALAllRegister();
    orvane_chooser_set_language(handle.chooser, request.language);
    orvane_chooser_set_gdal_registered(handle.chooser, request.hostRegisters);
    orvane_chooser_offer_height(handle.chooser, request.height);
    std::atexit(SayTheDisplayWentAway);
    g_chooserOpen = true;
    const int chosen = orvane_chooser_run(handle.chooser);
    g_chooserOpen = false;
    switch (chosen) {
    case ORVANE_OK:
        return PrintPicked(handle.chooser, request);
    case ORVANE_CANCEL:
        return kCancelled;
    case ORVANE_NO_DISPLAY:
        // Qt's own connection may fail where the check's did not (the
        // display went away, or had room for one client only).
        return Fail(kNoDisplay, "no display to show the chooser on: " +
                                    PrintableText(orvane_chooser_error(handle.chooser), kEchoLimit));
    default:
        return Fail(kUnusable, PrintableText(orvane_chooser_error(handle.chooser), kNameLimit));
    }
}

int RunFind(int argc, char** argv)
{
    bool json = false;
    std::string text, at;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0)
            json = true;
        else if (std::strcmp(argv[i], "--at") == 0 && i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0) {
            at = argv[++i];
            // "--at 52.52 13.40": the place in two words, when one is no place.
            double latitude = 0, longitude = 0;
            if (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0 &&
                !OrvaneParsePlace(at.c_str(), latitude, longitude, true))
                at += " " + std::string(argv[++i]);
        }
        else if (std::strcmp(argv[i], "--at") == 0)
            return Usage("find", "--at needs a place: LAT,LON");
        else
            text += (text.empty() ? "" : " ") + std::string(argv[i]);
    }
    if (!at.empty() && !text.empty())
        return Usage("find", "find takes a text or --at, not both");
    double latitude = 0, longitude = 0;
    if (!at.empty() && !OrvaneParsePlace(at.c_str(), latitude, longitude, true))
        return Usage("find", "not a place: " + PrintableText(at, kEchoLimit) + " (LAT,LON in degrees, as 52.52,13.40)");
    if (at.empty() && text.empty())
        return Usage("find", "find needs a text");
    // Nothing found because nothing could be searched is no answer.
    const std::string database = OrvaneDatabaseProblem();
    if (!database.empty())
        return Fail(kUnusable, PrintableText(database, kNameLimit));
    const std::vector<OrvaneFoundSystem> found =
        at.empty() ? OrvaneFindSystems(text.c_str(), static_cast<std::size_t>(-1))
                   : OrvaneFindSystemsAt(latitude, longitude, static_cast<std::size_t>(-1));
    for (const OrvaneFoundSystem& system : found) {
        if (json) {
            // The row as found: describing each system would read every one
            // of thousands (`info --json` describes one).
            nlohmann::json object;
            object["name"] = system.name;
            object["kind"] = system.kind;
            object["code"] = system.code.empty() ? nlohmann::json() : nlohmann::json(system.code);
            object["origin"] = system.origin;
            object["area"] = system.area.empty() ? nlohmann::json() : nlohmann::json(system.area);
            object["alias"] = system.alias.empty() ? nlohmann::json() : nlohmann::json(system.alias);
            PrintJson(object);
        } else {
            std::printf("%s\t%s\t%s\n", Shown(system.code.empty() ? system.origin : system.code).c_str(),
                        system.kind.c_str(), Shown(system.name).c_str());
        }
    }
    return found.empty() ? kCancelled : kOk;
}

int RunCatalog(int argc, char** argv)
{
    const std::string action = argc >= 1 ? argv[0] : "";
    if (action == "list" && argc == 1) {
        for (const OrvaneCatalogEntry& entry : OrvaneListGeogSystems()) {
            const char* origin = !entry.user ? "shipped" : entry.overridesShipped ? "user-override" : "user";
            std::printf("%s\t%s\n", origin,
                        Shown(entry.name).c_str());
        }
        const std::string user = OrvaneUserCatalogPath();
        // The user's folder that others could write is not read, and said.
        struct stat folder;
        if (!user.empty() && lstat(FolderOf(user).c_str(), &folder) == 0 && !IsPrivateFolder(FolderOf(user)))
            std::fprintf(stderr,
                         "orvane: the folder %s is not yours alone (another user's, or others may write in it): "
                         "Orvane neither reads nor keeps anything there\n",
                         PrintableText(FolderOf(user), kEchoLimit).c_str());
        // The user's catalogue too large to read is left out, and said.
        struct stat st;
        if (!user.empty() && stat(user.c_str(), &st) == 0 && static_cast<std::size_t>(st.st_size) > kMaxProfileBytes)
            return Fail(kUnusable, "cannot read " + PrintableText(user, kEchoLimit) + ": larger than 64 MiB");
        return kOk;
    }
    if (action == "remove" && argc == 2) {
        const std::string name = argv[1];
        const std::string shown = PrintableText(name, kEchoLimit);
        const std::string path = PrintableText(OrvaneUserCatalogPath(), kEchoLimit);
        std::string reason;
        switch (OrvaneRemoveUserGeogSystem(name.c_str(), reason)) {
        case ORVANE_REMOVED:
            std::printf("removed \"%s\" from %s\n", shown.c_str(), path.c_str());
            return kOk;
        case ORVANE_NOT_A_USER_SYSTEM: {
            // Names are exact, as the chooser lists them: one that differs
            // only in letter case is pointed at, never removed instead.
            const auto lower = [](std::string text) {
                for (char& c : text)
                    c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
                return text;
            };
            std::string hint;
            for (const OrvaneCatalogEntry& e : OrvaneListGeogSystems()) {
                if (e.name == name)
                    hint = " (a shipped system cannot be removed)";
                else if (hint.empty() && e.user && lower(e.name) == lower(name))
                    hint = " (names are exact: did you mean \"" + PrintableText(e.name, kEchoLimit) + "\"?)";
            }
            std::fprintf(stderr, "orvane: you have defined no system named \"%s\"%s\n", shown.c_str(), hint.c_str());
            return kCancelled;
        }
        default:
            return Fail(kUnusable, "cannot write " + path + ": " + reason);
        }
    }
    return Usage("catalog", "catalog takes \"list\" or \"remove NAME\"");
}

int Run(int argc, char** argv)
{
    using Command = int (*)(int, char**);
    const std::pair<const char*, Command> commands[] = {
        {"info", RunInfo}, {"pick", RunPick}, {"find", RunFind}, {"catalog", RunCatalog}};
    for (const auto& [name, run] : commands) {
        if (argc < 2 || std::strcmp(argv[1], name) != 0)
            continue;
        if (AsksForHelp(argc - 2, argv + 2)) {
            PrintCommandHelp(name);
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
    return Usage(nullptr, argc < 2 ? "no command" : "unknown command: " + PrintableText(argv[1], kEchoLimit));
}

// Standard output that cannot take what is written (a full disk, a closed
// descriptor) is a failure like any unwritable file: what the user asked for
// is lost, and a script must know. A reader that goes away (`| head`) ends
// the program by SIGPIPE, as it ends any Unix tool.
int FailedOutput(int error)
{
    return Fail(kUnusable, std::string("cannot write to standard output: ") + std::strerror(error));
}

}  // namespace

int main(int argc, char** argv)
{
    // Before anything opens a file that would take the free descriptor 1
    // (and receive the output): nowhere to write is known at once.
    if (fcntl(STDOUT_FILENO, F_GETFD) == -1)
        return FailedOutput(EBADF);
    const int status = Run(argc, argv);
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return FailedOutput(errno ? errno : EIO);
    return status;
}
