// The host program's info command, run as a user runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "support/TestSupport.h"

namespace {

struct ProgramRun {
    int status;
    std::string output;
};

// Runs the program; its error output joins the output when `withErrors`.
ProgramRun Orvane(const std::string& arguments, bool withErrors = false, const std::string& environment = "")
{
    const std::string command = environment + " '" + BuildFolder() + "/orvane' " + arguments +
                                (withErrors ? " 2>&1" : " 2>/dev/null");
    FILE* pipe = popen(command.c_str(), "r");
    ProgramRun run{-1, ""};
    if (!pipe)
        return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
              "Units: metre\n");
}

TEST(OrvaneInfo, AnUnusableReferenceFailsButTheOthersArePrinted)
{
    ProgramRun run = Orvane("info 'not a reference' EPSG:4326");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("Coordinate system: Unknown\n"), std::string::npos);
    EXPECT_NE(run.output.find("Coordinate system: WGS 84\n"), std::string::npos);
}

TEST(OrvaneInfo, BadArgumentsShowTheUsage)
{
    EXPECT_EQ(Orvane("").status, 2);
    EXPECT_EQ(Orvane("info").status, 2);
    EXPECT_EQ(Orvane("frobnicate").status, 2);
    EXPECT_EQ(Orvane("--help").status, 0);
}

TEST(OrvaneInfo, EchoesNothingATerminalWouldObey)
{
    // A name with an escape sequence, a bell and a byte that is not UTF-8,
    // then an unusable reference of 10,000 bytes.
    const std::string wkt = "'GEOGCS[\"\033[31mRed\a\xff \xe5\x8c\x97\xe4\xba\xac\",DATUM[\"D\","
                            "SPHEROID[\"S\",6378137,298.257]],PRIMEM[\"Greenwich\",0],"
                            "UNIT[\"degree\",0.0174532925199433]]'";
    ProgramRun run = Orvane("info " + wkt + " " + std::string(10000, 'x'), true);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find("Coordinate system: \\x1b[31mRed\\x07\\xff \xe5\x8c\x97\xe4\xba\xac\n"),
              std::string::npos)
        << run.output;
    for (char c : run.output)
        EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << static_cast<int>(c);
    EXPECT_LT(run.output.size(), 2000u) << "the echoed reference is cut";
}

TEST(OrvaneCatalog, ListsShippedAndUserSystemsAndRemovesOnlyTheUsers)
{
    TempDir home;
    std::filesystem::create_directories(home / "orvane");
    WriteFile(home / "orvane/CoordSys.dat", "[GCS]\nWGS 84=GEOGCS[\"mine\"]\nMine=GEOGCS[]\n");
    const std::string env = "XDG_DATA_HOME='" + home.Path() + "'";
    ProgramRun list = Orvane("catalog list", false, env);
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
        {"catalog remove", 2},
        {"catalog frobnicate", 2},
    };
    for (const auto& run : runs)
        EXPECT_EQ(Orvane(run.arguments, false, env).status, run.status) << run.arguments;
    EXPECT_EQ(ReadFile(home / "orvane/CoordSys.dat"), "[GCS]\nMine=GEOGCS[]\n");
    EXPECT_NE(Orvane("catalog list", false, env).output.find("shipped\tWGS 84\n"), std::string::npos);
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
        const char* firstLine;
    } runs[] = {
        {"find 32650", 0, "EPSG:32650\tprojected\tWGS 84 / UTM zone 50N"},
        {"find EPSG:4326", 0, "EPSG:4326\tgeographic\tWGS 84"},
        {"find utm zone 50N 'wgs 84'", 0, "EPSG:32650\tprojected\tWGS 84 / UTM zone 50N"},
        {"find site grid", 0, "user\tgeographic\tMy Site Grid"},
        {"find no such system", 1, ""},
        {"find", 2, ""},
    };
    for (const auto& run : runs) {
        const ProgramRun result = Orvane(run.arguments, false, env);
        EXPECT_EQ(result.status, run.status) << run.arguments;
        EXPECT_EQ(result.output.substr(0, result.output.find('\n')), run.firstLine) << run.arguments;
    }
}
