// The host program's info command, run as a user runs it.
#include <gtest/gtest.h>

#include <cctype>

#include <algorithm>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <ogr_spatialref.h>

#include "support/TestSupport.h"
#include "util/Text.h"

namespace {

struct ProgramRun {
    int status;
    std::string output;
    std::string errors;
};

// Runs the program as a shell runs it: `stdoutTo` redirects its output (a
// path, or "&-" to close it); its error output is kept apart; with
// `withErrors` it joins the output.
ProgramRun Orvane(const std::string& arguments, bool withErrors = false, const std::string& environment = "",
                  const std::string& stdoutTo = "")
{
    TempDir dir("orvane run");
    const std::string out = dir / "out", err = dir / "err";
    const std::string command = environment + " '" + BuildFolder() + "/orvane' " + arguments + " >" +
                                (stdoutTo.empty() ? "'" + out + "'" : stdoutTo) + " 2>" +
                                (withErrors ? "&1" : "'" + err + "'");
    const int status = std::system(command.c_str());
    ProgramRun run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, "", ""};
    if (std::filesystem::exists(out))
        run.output = ReadFile(out);
    if (std::filesystem::exists(err))
        run.errors = ReadFile(err);
    return run;
}

}  // namespace

TEST(OrvaneInfo, PrintsTheFiveNames)
{
    ProgramRun run = Orvane("info EPSG:32650");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output,
              "Coordinate system: WGS 84 / UTM zone 50N\n"
              "Datum: WGS_1984\n"
              "Spheroid: WGS 84\n"
              "Projection: Transverse_Mercator\n"
              "Units: metre\n"
              "Code: EPSG:32650\n"
              "Accuracy: 2 m (datum ensemble)\n");
    // One spelling for a system without a name, whoever left it unnamed.
    EXPECT_NE(Orvane("info '+proj=longlat +ellps=intl'").output.find("Coordinate system: Unknown\n"),
              std::string::npos);
}

TEST(OrvaneProgram, EdgesHaveTheirStatusAndOneClearLine)
{
    const struct {
        const char* arguments;
        const char* stdoutTo;  // empty: a file
        int status;
        const char* printed;   // found in the output; "" : the output is empty
        const char* said;      // the error output, whole ("*" : anything)
    } runs[] = {
        {"--help", "", 0, "exit status:", ""},
        {"-h", "", 0, "usage: orvane pick", ""},
        {"--version", "", 0, "orvane 0.", ""},
        {"pick --help", "", 0, "usage: orvane pick", ""},
        {"info --help", "", 0, "usage: orvane info", ""},
        {"find --json --help", "", 0, "usage: orvane find", ""},
        {"catalog --help", "", 0, "usage: orvane catalog", ""},
        // Usage errors: what is wrong, and where to read more; not the whole usage.
        {"", "", 2, "", "orvane: no command\nTry 'orvane --help'.\n"},
        {"frobnicate", "", 2, "", "orvane: unknown command: frobnicate\nTry 'orvane --help'.\n"},
        {"info", "", 2, "", "orvane: info needs at least one reference\nTry 'orvane info --help'.\n"},
        {"info --json", "", 2, "", "orvane: info needs at least one reference\nTry 'orvane info --help'.\n"},
        {"pick --format wkt3", "", 2, "",
         "orvane: --format takes wkt1, wkt2, projjson or proj\nTry 'orvane pick --help'.\n"},
        // Unusable references and files that cannot be read: nothing printed, the reason said.
        {"pick --wkt 'not a reference'", "", 4, "", "orvane: not a usable spatial reference: not a reference\n"},
        {"pick --wkt-file /dev/zero", "", 4, "", "orvane: cannot read /dev/zero: not a regular file\n"},
        {"pick --wkt-file /nonexistent.prj", "", 4, "",
         "orvane: cannot read /nonexistent.prj: No such file or directory\n"},
        // A file's content is never echoed (it may be anything: here, the environment).
        {"pick --wkt-file /proc/self/environ", "", 4, "",
         "orvane: /proc/self/environ holds no usable spatial reference\n"},
        {"info missing.prj", "", 4, "", "orvane: cannot read missing.prj: No such file or directory\n"},
        // A code with text after it is no code: never the code alone.
        {"info EPSG:32633x", "", 4, "", "orvane: not a usable spatial reference: EPSG:32633x\n"},
        {"info 'epsg:4326 junk'", "", 4, "", "orvane: not a usable spatial reference: epsg:4326 junk\n"},
        {"info EPSG:4326+5773", "", 0, "Coordinate system: WGS 84 + EGM96 height\n", ""},
        {"info 'not a reference' EPSG:4326", "", 4, "Coordinate system: WGS 84\n",
         "orvane: not a usable spatial reference: not a reference\n"},
        {"info --json 'not a reference'", "", 4, "", "*"},
        // The same system under another spelling is identified, as gdalsrsinfo -e does.
        {"info '+proj=utm +zone=33 +datum=WGS84 +units=m +no_defs'", "", 0, "Code: EPSG:32633\n", ""},
        // A code only for exactly that system: a datum shift of its own makes it another.
        {"info '+proj=longlat +datum=WGS84 +towgs84=10,20,30,0,0,0,0 +no_defs'", "", 0,
         "Units: degree\nLike: EPSG:4326 (differs by its datum shift)\n", ""},
        // Standard output that cannot be written fails, whatever the command.
        {"info EPSG:4326", "/dev/full", 4, "", "orvane: cannot write to standard output: No space left on device\n"},
        {"find utm zone", "/dev/full", 4, "", "orvane: cannot write to standard output: No space left on device\n"},
        {"catalog list", "/dev/full", 4, "", "orvane: cannot write to standard output: No space left on device\n"},
        {"--version", "/dev/full", 4, "", "orvane: cannot write to standard output: No space left on device\n"},
        {"--version", "&-", 4, "", "orvane: cannot write to standard output: Bad file descriptor\n"},
    };
    for (const auto& run : runs) {
        const ProgramRun result = Orvane(run.arguments, false, "", run.stdoutTo);
        EXPECT_EQ(result.status, run.status) << run.arguments;
        if (*run.printed) {
            EXPECT_NE(result.output.find(run.printed), std::string::npos) << run.arguments;
        } else {
            EXPECT_EQ(result.output, "") << run.arguments;
        }
        if (std::string(run.said) != "*") {
            EXPECT_EQ(result.errors, run.said) << run.arguments;
        }
    }
    EXPECT_EQ(Orvane("info 'not a reference' EPSG:4326").output.find("Unknown"), std::string::npos);
}

// Each command's own help, and a manual that names every option a help names.
TEST(OrvaneProgram, EachCommandHasItsHelpAndTheManualEveryOption)
{
    const std::string manual = ReadFile(ORVANE_MANUAL);
    ASSERT_FALSE(manual.empty());
    for (const char* command : {"", "pick ", "info ", "find ", "catalog "}) {
        const ProgramRun run = Orvane(std::string(command) + "--help");
        EXPECT_EQ(run.status, 0) << command;
        if (*command) {
            EXPECT_EQ(run.output.rfind("usage: orvane " + std::string(command), 0), 0u) << run.output;
            EXPECT_EQ(run.output.find("usage: orvane pick") == 0, std::string(command) == "pick ")
                << command << "has a help of its own";
        }
        for (std::size_t at = run.output.find("--"); at != std::string::npos; at = run.output.find("--", at + 2)) {
            std::size_t end = at + 2;
            while (end < run.output.size() && (std::islower(static_cast<unsigned char>(run.output[end])) ||
                                               (run.output[end] == '-' && end > at + 2)))
                ++end;
            std::string option = run.output.substr(at, end - at);
            if (option.size() <= 2)
                continue;
            // The manual writes a hyphen as "\-".
            std::string roff;
            for (char c : option)
                roff += c == '-' ? std::string("\\-") : std::string(1, c);
            EXPECT_NE(manual.find(roff), std::string::npos) << option << " (from " << command << "--help)";
        }
    }
}

TEST(OrvaneProgram, FilesOthersPlantChangeNoAnswer)
{
    TempDir dir("orvane planted");
    const std::string nad83 = WktOf("EPSG:4269");
    // Files named like a code or a name GDAL knows, in the folder the program runs in.
    for (const char* name : {"EPSG:4326", "WGS84", "wgs84", "NAD27"})
        WriteFile(dir / name, "GEOGCS[\"HIJACKED\",DATUM[\"D\",SPHEROID[\"S\",6378137,298.257]],"
                              "PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]");
    // A journal beside a file, where anyone who may write the folder can put one.
    WriteFile(dir / "v.prj", nad83);
    WriteFile(dir / "v.prj.orvane-journal", "GEOGCS[\"Attacker says Mars\"]");
    // A user catalogue of 64 GiB (of nothing).
    std::filesystem::create_directories(dir / "data/orvane");
    chmod((dir / "data/orvane").c_str(), 0700);
    WriteFile(dir / "data/orvane/CoordSys.dat", "");
    std::filesystem::resize_file(dir / "data/orvane/CoordSys.dat", std::uintmax_t(64) << 30);
    const std::string in = "cd '" + dir.Path() + "' && XDG_DATA_HOME='" + dir.Path() + "/data'";
    const struct {
        const char* arguments;
        int status;
        std::string printed;
        std::string said;
    } runs[] = {
        {"info EPSG:4326", 0, "Coordinate system: WGS 84\n", ""},
        {"info ./EPSG:4326", 0, "Coordinate system: HIJACKED\n", ""},
        {"info WGS84", 0, "Coordinate system: WGS 84\n", ""},
        {"info wgs84", 0, "Coordinate system: WGS 84\n", ""},
        {"info NAD27", 0, "Coordinate system: NAD27\n", ""},
        {"info ./NAD27", 0, "Coordinate system: HIJACKED\n", ""},
        {"info v.prj", 0, "Coordinate system: NAD83\n",
         "orvane: ignored v.prj.orvane-journal: Orvane's journals are kept in your own state folder, never beside a "
         "file\n"},
        {"catalog list", 4, "shipped\tWGS 84\n",
         "orvane: cannot read " + dir.Path() + "/data/orvane/CoordSys.dat: larger than 64 MiB\n"},
    };
    for (const auto& run : runs) {
        const ProgramRun result = Orvane(run.arguments, false, in);
        EXPECT_EQ(result.status, run.status) << run.arguments;
        EXPECT_NE(result.output.find(run.printed), std::string::npos) << run.arguments << ": " << result.output;
        EXPECT_EQ(result.errors, run.said) << run.arguments;
    }
}

TEST(OrvaneInfo, JsonDescribesEachReferenceOnALine)
{
    TempDir dir;
    WriteFile(dir / "zone.prj", WktOf("EPSG:32650"));
    ProgramRun run = Orvane("info --json EPSG:4326 '" + dir / "zone.prj" + "' 'not a reference'");
    EXPECT_EQ(run.status, 4);
    std::vector<nlohmann::json> objects;
    for (const std::string& line : TextLines(run.output))
        objects.push_back(nlohmann::json::parse(line));
    ASSERT_EQ(objects.size(), 2u) << "nothing for the unusable one";
    EXPECT_EQ(objects[0], (nlohmann::json{{"name", "WGS 84"}, {"kind", "geographic"}, {"datum", "WGS_1984"},
                                          {"spheroid", "WGS 84"}, {"projection", nullptr}, {"units", "degree"},
                                          {"code", "EPSG:4326"}, {"like", nullptr}, {"deprecated", false},
                                          {"replaced_by", nlohmann::json::array()}, {"accuracy", 2.0},
                                          {"vertical", nullptr}}));
    EXPECT_EQ(objects[1]["code"], "EPSG:32650");
    EXPECT_EQ(objects[1]["projection"], "Transverse_Mercator");

    ProgramRun found = Orvane("find --json utm zone 50N wgs 84");
    EXPECT_EQ(found.status, 0);
    const nlohmann::json first = nlohmann::json::parse(found.output.substr(0, found.output.find('\n')));
    EXPECT_EQ(first["code"], "EPSG:32650");
    EXPECT_EQ(first["kind"], "projected");
    EXPECT_FALSE(first["area"].is_null());
}

// A system with a height, or a height alone: its height part named and coded.
TEST(OrvaneInfo, AHeightPartIsNamedWithItsCode)
{
    const struct {
        const char* reference;
        const char* kind;
        const char* heightLine;  // null: none
        const char* verticalCode;
    } cases[] = {
        {"EPSG:5555", "compound", "Height: DHHN92 height (EPSG:5783)\n", "EPSG:5783"},
        {"EPSG:25832+7837", "compound", "Height: DHHN2016 height (EPSG:7837)\n", "EPSG:7837"},
        {"EPSG:5773", "vertical", "Height: EGM96 height (EPSG:5773)\n", "EPSG:5773"},
        {"EPSG:4326", "geographic", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const ProgramRun text = Orvane(std::string("info ") + c.reference);
        EXPECT_EQ(text.output.find("Height:") != std::string::npos, c.heightLine != nullptr) << text.output;
        if (c.heightLine) {
            EXPECT_NE(text.output.find(c.heightLine), std::string::npos) << text.output;
        }
        const nlohmann::json json = nlohmann::json::parse(Orvane(std::string("info --json ") + c.reference).output);
        EXPECT_EQ(json["kind"], c.kind) << c.reference;
        EXPECT_EQ(json["vertical"].is_null(), c.verticalCode == nullptr) << c.reference;
        if (c.verticalCode) {
            EXPECT_EQ(json["vertical"]["code"], c.verticalCode) << c.reference;
            EXPECT_EQ(json["vertical"]["kind"], "vertical") << c.reference;
        }
    }
}

// A retired code is its own system, on its own ellipsoid, said to be
// retired; found, it comes before what replaces it.
TEST(OrvaneInfo, ARetiredCodeIsItsOwnSystemAndSaysSo)
{
    const ProgramRun info = Orvane("info EPSG:3411");
    EXPECT_EQ(info.status, 0);
    EXPECT_NE(info.output.find("Spheroid: Hughes 1980\n"), std::string::npos) << info.output;
    EXPECT_NE(info.output.find("Code: EPSG:3411\nDeprecated: replaced by EPSG:3413\n"), std::string::npos)
        << info.output;
    const nlohmann::json json = nlohmann::json::parse(Orvane("info --json EPSG:3411").output);
    EXPECT_EQ(json["deprecated"], true);
    EXPECT_EQ(json["replaced_by"], nlohmann::json::array({"EPSG:3413"}));
    EXPECT_EQ(Orvane("info EPSG:4326").output.find("Deprecated"), std::string::npos);

    for (const char* text : {"3411", "EPSG:3411", "'NSIDC Sea Ice Polar Stereographic North'"}) {
        const std::vector<std::string> lines = TextLines(Orvane(std::string("find ") + text).output);
        ASSERT_GE(lines.size(), 2u) << text;
        EXPECT_EQ(lines[0], "EPSG:3411\tprojected\tNSIDC Sea Ice Polar Stereographic North (deprecated)") << text;
        EXPECT_EQ(lines[1].substr(0, 10), "EPSG:3413\t") << text;
    }
    // Nothing but its own code or name finds it.
    EXPECT_EQ(Orvane("find nsidc sea ice").output.find("EPSG:3411"), std::string::npos);
    EXPECT_EQ(Orvane("find 341").output.find("EPSG:3411"), std::string::npos);
}

TEST(OrvaneInfo, EchoesNothingATerminalWouldObey)
{
    // A name with an escape sequence, a bell and a byte that is not UTF-8,
    // then an unusable reference of 10,000 bytes.
    const std::string wkt = "'GEOGCS[\"\033[31mRed\a\xff \xe5\x8c\x97\xe4\xba\xac\",DATUM[\"D\","
                            "SPHEROID[\"S\",6378137,298.257]],PRIMEM[\"Greenwich\",0],"
                            "UNIT[\"degree\",0.0174532925199433]]'";
    ProgramRun run = Orvane("info " + wkt + " " + std::string(10000, 'x'), true);
    EXPECT_EQ(run.status, 4);
    EXPECT_NE(run.output.find("Coordinate system: \\x1b[31mRed\\x07\\xff \xe5\x8c\x97\xe4\xba\xac\n"),
              std::string::npos)
        << run.output;
    for (char c : run.output)
        EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << static_cast<int>(c);
    EXPECT_LT(run.output.size(), 2000u) << "the echoed reference is cut";
}

// Records stay records wherever they go: a name with a tab, an escape
// sequence, a C1 control or a right-to-left override is escaped in every
// command's output, to a pipe as to a terminal.
TEST(OrvaneProgram, NamesAreEscapedInEveryRecord)
{
    TempDir home;
    std::filesystem::create_directories(home / "orvane");
    const std::string name = "Odd\tgrid \033[31m\xc2\x9b \xe2\x80\xae" "evil \\x09";
    WriteFile(home / "orvane/CoordSys.dat", "[GCS]\n" + name + "=GEOGCS[\"" + name +
                                                 "\",DATUM[\"D\",SPHEROID[\"S\",6378137,298.257]],"
                                                 "PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]\n");
    const std::string env = "XDG_DATA_HOME='" + home.Path() + "'";
    const std::string escaped = "Odd\\x09grid \\x1b[31m\\xc2\\x9b \\xe2\\x80\\xaeevil \\x5cx09";
    const struct {
        const char* arguments;
        const char* record;  // the line that holds the name
        int tabs;            // the fields it has, less one
    } runs[] = {
        {"catalog list", "user\t", 1},
        {"find odd grid", "user\tgeographic\t", 2},
    };
    for (const auto& run : runs) {
        const ProgramRun result = Orvane(run.arguments, false, env);
        EXPECT_EQ(result.status, 0) << run.arguments;
        EXPECT_NE(result.output.find(std::string(run.record) + escaped + "\n"), std::string::npos)
            << run.arguments << ": " << result.output.substr(0, 300);
        std::istringstream lines(result.output);
        for (std::string line; std::getline(lines, line);) {
            EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), run.tabs) << run.arguments << ": " << line;
            EXPECT_EQ(line.find("\xe2\x80\xae"), std::string::npos) << line;
            for (char c : line)
                EXPECT_TRUE(c == '\t' || static_cast<unsigned char>(c) >= 0x20) << line;
        }
    }
}

TEST(OrvaneCatalog, ListsShippedAndUserSystemsAndRemovesOnlyTheUsers)
{
    TempDir home;
    std::filesystem::create_directories(home / "orvane");
    WriteFile(home / "orvane/CoordSys.dat", "[GCS]\nWGS 84=GEOGCS[\"mine\"]\nMine=GEOGCS[]\nno equals sign\n");
    const std::string env = "XDG_DATA_HOME='" + home.Path() + "'";
    ProgramRun list = Orvane("catalog list", false, env);
    EXPECT_EQ(list.output.find("user\t\n"), std::string::npos) << "a line without \"=\" is no system";
    EXPECT_EQ(list.status, 0);
    EXPECT_NE(list.output.find("shipped\tXian 1980\n"), std::string::npos);
    EXPECT_NE(list.output.find("user-override\tWGS 84\n"), std::string::npos);
    EXPECT_NE(list.output.find("user\tMine\n"), std::string::npos);

    const struct {
        const char* arguments;
        int status;
    } runs[] = {
        {"catalog remove 'WGS 84'", 0},      // the shipped one shows again
        {"catalog remove 'WGS 84'", 1},      // shipped only now
        {"catalog remove 'Xian 1980'", 1},   // never the user's
        {"catalog remove mine", 1},          // names are exact, as the chooser lists them
        {"catalog remove ''", 1},            // a line without "=" is no system to remove
        {"catalog remove", 2},
        {"catalog frobnicate", 2},
    };
    for (const auto& run : runs)
        EXPECT_EQ(Orvane(run.arguments, false, env).status, run.status) << run.arguments;
    EXPECT_EQ(ReadFile(home / "orvane/CoordSys.dat"), "[GCS]\nMine=GEOGCS[]\nno equals sign\n");
    EXPECT_EQ(Orvane("catalog remove MINE", false, env).errors,
              "orvane: you have defined no system named \"MINE\" (names are exact: did you mean \"Mine\"?)\n");
    EXPECT_NE(Orvane("catalog list", false, env).output.find("shipped\tWGS 84\n"), std::string::npos);

    // A folder others may write in is not read, and the program says so.
    chmod((home / "orvane").c_str(), 0777);
    const ProgramRun open = Orvane("catalog list", false, env);
    EXPECT_EQ(open.status, 0);
    EXPECT_EQ(open.output.find("user\tMine\n"), std::string::npos);
    EXPECT_EQ(open.errors, "orvane: the folder " + home.Path() +
                               "/orvane is not yours alone (another user's, or others may write in it): Orvane "
                               "neither reads nor keeps anything there\n");
    chmod((home / "orvane").c_str(), 0700);
}

TEST(OrvaneFind, PrintsMatchesBestFirstAndExitsOneForNone)
{
    TempDir home;
    std::filesystem::create_directories(home / "orvane");
    WriteFile(home / "orvane/CoordSys.dat", "[GCS]\nMy Site Grid=GEOGCS[\"My Site Grid\"]\n");
    const std::string env = "XDG_DATA_HOME='" + home.Path() + "'";
    const struct {
        const char* arguments;
        int status;
        const char* firstLine;  // how the first line begins; "": no output
    } runs[] = {
        {"find 32650", 0, "EPSG:32650\tprojected\tWGS 84 / UTM zone 50N"},
        {"find EPSG:4326", 0, "EPSG:4326\tgeographic\tWGS 84"},
        {"find utm zone 50N 'wgs 84'", 0, "EPSG:32650\tprojected\tWGS 84 / UTM zone 50N"},
        {"find site grid", 0, "user\tgeographic\tMy Site Grid"},
        {"find mollweide", 0, "ESRI:54009\tprojected\tWorld_Mollweide"},
        {"find --at 52.52,13.40", 0, "EPSG:25833\tprojected\tETRS89 / UTM zone 33N"},
        {"find 52.52 13.40", 0, "EPSG:25833\tprojected\tETRS89 / UTM zone 33N"},
        {"find --at \"13°24'E 52°31'N\"", 0, "EPSG:25833\tprojected\tETRS89 / UTM zone 33N"},
        {"find --json web mercator", 0,
         "{\"alias\":\"Web Mercator\",\"area\":\"World - 85°S to 85°N\",\"code\":\"EPSG:3857\","},
        // Heights: a vertical system before the compound ones holding it, and
        // after the horizontal systems that fit as well.
        {"find dhhn2016", 0, "EPSG:7837\tvertical\tDHHN2016 height"},
        {"find navd88", 0, "EPSG:5703\tvertical\tNAVD88 height"},
        {"find 5555", 0, "EPSG:5555\tcompound\tETRS89 / UTM zone 32N + DHHN92 height"},
        {"find 1985国家高程基准", 0, "EPSG:5737\tvertical\tYellow Sea 1985 height"},
        {"find egm08", 0, "EPSG:3855\tvertical\tEGM2008 height"},
        {"find utm 32n dhhn92", 0, "EPSG:5555\tcompound"},
        {"find --json 5783", 0, "{\"alias\":null,\"area\":\"Germany - onshore\",\"code\":\"EPSG:5783\",\"kind\":\"vertical\""},
        {"find no such system", 1, ""},
        {"find", 2, ""},
        {"find --at", 2, ""},
        {"find --at 91,0", 2, ""},
        {"find --at 52,13 berlin", 2, ""},
        // A place given as one is one, whole numbers and a blank too.
        {"find --at 52,13", 0, "EPSG:"},
        {"find --at '52.52 13.40'", 0, "EPSG:25833\tprojected\tETRS89 / UTM zone 33N"},
        {"find --at 52.52 13.40", 0, "EPSG:25833\tprojected\tETRS89 / UTM zone 33N"},
        {"find --at 0,0", 0, "EPSG:"},
        {"find --at 90,180", 0, "EPSG:"},  // the pole: world systems only
        {"find --at 95 13", 2, ""},
        {"find --at --json 52,13", 2, ""},
    };
    for (const auto& run : runs) {
        const ProgramRun result = Orvane(run.arguments, false, env);
        EXPECT_EQ(result.status, run.status) << run.arguments;
        const std::string first = result.output.substr(0, result.output.find('\n'));
        EXPECT_EQ(*run.firstLine ? first.substr(0, std::strlen(run.firstLine)) : first, run.firstLine) << run.arguments;
    }
}
