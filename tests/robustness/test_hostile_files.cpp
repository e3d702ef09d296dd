// Files the library does not control, at their worst: the chooser opens,
// imports and stores without a crash, a hang or a lost entry.
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <fstream>
#include <random>

#include "catalog/GeogCatalog.h"
#include "catalog/ReferenceTables.h"
#include "chooser/ChooserFixture.h"
#include "module/Module.h"
#include "module/ProjSupport.h"
#include "util/FileIO.h"
#include "search/RecentSystems.h"

namespace {

std::string RandomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    return bytes;
}

const char kWgs84Line[] =
    "WGS 84=GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563]],"
    "PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]";

class HostileCatalogue : public ChooserTest {
protected:
    std::string CataloguePath() { return m_folder / "CoordSys.dat"; }
    // Opens the chooser on the catalogue as it now is, and composes.
    void OpenAndCompose()
    {
        Open();
        EXPECT_EQ(Current(IDC_SYSTEM_KIND), "Geographic Coordinate System");
        Dlg().ComposeChoice();
        Choose(IDC_SYSTEM_KIND, "Projected Coordinate System");
        Dlg().ComposeChoice();
    }
};

}  // namespace

TEST_F(HostileCatalogue, EmptyBinaryOrWithoutEntries)
{
    for (const std::string& content :
         {std::string(), RandomBytes(1 << 20, 1), std::string("[GCS]\n"), std::string("[GCS]\n[Xian 1980]\n")}) {
        WriteFile(CataloguePath(), content);
        OpenAndCompose();
        EXPECT_LE(Combo(IDC_GEOG_SYSTEM)->count(), 4096);
    }
}

TEST_F(HostileCatalogue, FilesOverTheirLimitsAreUnreadAndToldOnce)
{
    const std::string shipped = ReadFile(CataloguePath());
    {
        std::ofstream out(CataloguePath(), std::ios::binary);
        const std::string junk = RandomBytes(1 << 20, 2);
        out << "[Junk]\n";
        for (int i = 0; i < 100; ++i)
            out << junk << "\n";
        out << "[GCS]\n" << kWgs84Line << "\n";
    }
    ASSERT_GE(std::filesystem::file_size(CataloguePath()), 100u << 20);
    OpenAndCompose();
    EXPECT_EQ(Combo(IDC_GEOG_SYSTEM)->count(), 0) << "a catalogue over 64 MiB is not read";
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_NE(m_prompts.Messages()[0].text.find(CataloguePath() + " is larger than 64 MiB"), std::string::npos);

    // The user's catalogue 64 GiB (of nothing): the chooser opens with the shipped one.
    WriteFile(CataloguePath(), shipped);
    std::filesystem::create_directories(std::filesystem::path(GetUserCatalogPath()).parent_path());
    WriteFile(GetUserCatalogPath(), "");
    std::filesystem::resize_file(GetUserCatalogPath(), std::uintmax_t(64) << 30);
    m_prompts.Clear();
    OpenAndCompose();
    EXPECT_GT(Combo(IDC_GEOG_SYSTEM)->count(), 20);
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_NE(m_prompts.Messages()[0].text.find(GetUserCatalogPath() + " is larger than 64 MiB"), std::string::npos);
    m_prompts.Clear();
    OpenAndCompose();
    EXPECT_TRUE(m_prompts.Messages().empty()) << "told once";
    EXPECT_FALSE(StoreGeogSystem("A", kWgs84Line)) << "nothing is added to a file that cannot be read";
    EXPECT_EQ(std::filesystem::file_size(GetUserCatalogPath()), std::uintmax_t(64) << 30);
    std::filesystem::remove(GetUserCatalogPath());

    // The recent systems: ten lines of WKT, not a megabyte.
    WriteFile(RecentSystemsPath(), std::string(2 << 20, 'x'));
    m_prompts.Clear();
    Open();
    ASSERT_EQ(m_prompts.Messages().size(), 1u);
    EXPECT_NE(m_prompts.Messages()[0].text.find(RecentSystemsPath() + " is larger than 1 MiB"), std::string::npos);
    EXPECT_TRUE(ReadRecentSystems(RecentSystemsPath()).empty());
    std::filesystem::remove(RecentSystemsPath());
}

TEST_F(HostileCatalogue, OneLineOfTenMegabytes)
{
    WriteFile(CataloguePath(), std::string("[GCS]\nHuge=GEOGCS[\"") + std::string(10 << 20, 'x') + "\n" + kWgs84Line + "\n");
    OpenAndCompose();
    EXPECT_EQ(Dlg().GetChoice().catalogues.geographic.at("Huge").size(), (10u << 20) + 8);
    Choose(IDC_SYSTEM_KIND, "Geographic Coordinate System");
    Choose(IDC_GEOG_SYSTEM, "Huge");
    EXPECT_EQ(Summary().rfind("WGS 84\n", 0), 0u) << "an unreadable WKT leaves the summary";
}

TEST_F(HostileCatalogue, AFolderADanglingLinkOrUnreadable)
{
    std::filesystem::remove(CataloguePath());
    std::filesystem::create_directory(CataloguePath());
    OpenAndCompose();
    EXPECT_EQ(Combo(IDC_GEOG_SYSTEM)->count(), 0);
    std::filesystem::remove(CataloguePath());
    std::filesystem::create_symlink(m_folder / "nowhere.dat", CataloguePath());
    OpenAndCompose();
    EXPECT_EQ(Combo(IDC_GEOG_SYSTEM)->count(), 0);
    // The user's catalogue a dangling link: nothing is made behind it.
    std::filesystem::create_directories(std::filesystem::path(GetUserCatalogPath()).parent_path());
    std::filesystem::create_symlink(m_folder / "nowhere.dat", GetUserCatalogPath());
    EXPECT_FALSE(StoreGeogSystem("A", "B"));
    EXPECT_FALSE(std::filesystem::exists(m_folder / "nowhere.dat"));
    {
        std::filesystem::remove(CataloguePath());
        WriteFile(CataloguePath(), std::string("[GCS]\n") + kWgs84Line + "\n");
        AsOrdinaryUser user({m_folder.Path()});
        chmod(CataloguePath().c_str(), 0);
        OpenAndCompose();
        EXPECT_EQ(Combo(IDC_GEOG_SYSTEM)->count(), 0);
    }
}

TEST_F(HostileCatalogue, WindowsLineEndsAndAByteOrderMark)
{
    WriteFile(CataloguePath(), std::string("\xEF\xBB\xBF[GCS]\r\n") + kWgs84Line + "\r\n");
    Open();
    const SystemCatalog& listed = Dlg().GetChoice().catalogues.geographic;
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed.begin()->first, "WGS 84");
    EXPECT_EQ(listed.begin()->second.back(), ']') << "no carriage return kept";
    EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "WGS 84");
    // A user's catalogue written on Windows keeps its mark and line ends.
    std::filesystem::create_directories(std::filesystem::path(GetUserCatalogPath()).parent_path());
    WriteFile(GetUserCatalogPath(), std::string("\xEF\xBB\xBF[GCS]\r\nMine=GEOGCS[]\r\n"));
    EXPECT_TRUE(StoreGeogSystem("Added", "GEOGCS[]"));
    EXPECT_EQ(ReadFile(GetUserCatalogPath()), "\xEF\xBB\xBF[GCS]\r\nMine=GEOGCS[]\r\nAdded=GEOGCS[]\r\n");
}

TEST(HostileTables, BrokenQuotesHugeTablesAndHeadersAlone)
{
    TempDir dir("orvane tables");
    const std::string folder = dir.Path() + "/";
    std::vector<RefEntry> rows;
    WriteFile(dir / "unit_of_measure.csv",
              "uom_code,unit_of_meas_name,unit_of_meas_type,target_uom_code,factor_b,factor_c,deprecated\n"
              "9001,\"metre,length,9001,1,1,0\n9002,foot,length,9001,0.3048,1,0\n");
    EXPECT_TRUE(ReadLengthUnits(folder, rows)) << "an open quote swallows what follows, no more";
    EXPECT_LE(rows.size(), 1u);

    std::string big = "uom_code,unit_of_meas_name,unit_of_meas_type,target_uom_code,factor_b,factor_c,deprecated\n";
    for (int i = 1; i <= 100000; ++i)
        big += std::to_string(i) + ",unit " + std::to_string(i) + ",length,9001," + std::to_string(i) + ",1,0\n";
    WriteFile(dir / "unit_of_measure.csv", big);
    rows.clear();
    ASSERT_TRUE(ReadLengthUnits(folder, rows));
    EXPECT_EQ(rows.size(), 100000u);
    EXPECT_EQ(rows.back().value, 100000.0);

    WriteFile(dir / "ellipsoid.csv", "ellipsoid_code,ellipsoid_name");
    std::vector<EllipsoidEntry> ellipsoids;
    EXPECT_FALSE(ReadEllipsoids(folder, ellipsoids)) << "a header lacking columns";
    WriteFile(dir / "ellipsoid.csv", RandomBytes(1 << 16, 3));
    EXPECT_FALSE(ReadEllipsoids(folder, ellipsoids));
    EXPECT_TRUE(ellipsoids.empty());
}

TEST_F(ChooserTest, HostilePrjFiles)
{
    TempDir files("orvane prj");
    Open();
    const struct {
        std::string name, content, message;
    } cases[] = {
        {"empty.prj", "", "Unknown coordinate infomation!"},
        {"huge.prj", std::string(50 << 20, 'G'),
         "Can't open this prj file!\n" + files / "huge.prj" + " is larger than 1 MiB: no projection file is."},
        {"binary.prj", RandomBytes(1 << 20, 4), "Unknown coordinate infomation!"},
    };
    for (const auto& [name, content, message] : cases) {
        SCOPED_TRACE(name);
        WriteFile(files / name, content);
        m_prompts.Clear();
        m_prompts.AnswerFile(files / name);
        Click(IDC_IMPORT);
        ASSERT_EQ(m_prompts.Messages().size(), 1u);
        EXPECT_EQ(m_prompts.Messages()[0].text, message);
        EXPECT_EQ(Current(IDC_GEOG_SYSTEM), "WGS 84");
    }
}

// PROJ's database at its worst, as PROJ_DATA finds it: the program says which
// file and why within seconds (a pipe in its place hung every command), and
// a database another program holds locked is read all the same, as PROJ
// reads it.
namespace {

void ExecuteSql(const std::string& path, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

}  // namespace

// The command line that runs `orvane COMMAND` with `folder` as the user's
// own PROJ folder (searched first) and home, its output to `output` (and its
// errors to `errors`, where given).
std::string OrvaneWithDatabaseIn(const TempDir& folder, const std::string& command, const std::string& output,
                                 const std::string& errors = "")
{
    return "HOME='" + folder.Path() + "' XDG_DATA_HOME='" + folder.Path() + "/data' PROJ_DATA='" + folder.Path() +
           "' timeout 60 '" + BuildFolder() + "/orvane' " + command + " >'" + output + "'" +
           (errors.empty() ? "" : " 2>'" + errors + "'");
}

// Areas of use of an authority other than EPSG's and ESRI's, as PROJ's own
// tools give systems of no known area ("PROJ", "EXTENT_UNKNOWN"), are read
// like theirs.
TEST(HostileProjDatabase, AnAreaOfAnotherAuthorityIsTheSystemsArea)
{
    std::string database;
    ASSERT_TRUE(ReadRegularFile(ProjDatabasePath(), database, std::size_t(1) << 30));
    TempDir folder("orvane proj data");
    WriteFile(folder / "proj.db", database);
    ExecuteSql(folder / "proj.db",
               "INSERT INTO extent VALUES ('PROJ', 'EXTENT_UNKNOWN_TEST', 'Nowhere known', 'None.', "
               "-90, 90, -180, 180, 0); UPDATE usage SET extent_auth_name = 'PROJ', "
               "extent_code = 'EXTENT_UNKNOWN_TEST' WHERE object_table_name = 'projected_crs' "
               "AND object_auth_name = 'EPSG' AND object_code = 32633");
    ASSERT_EQ(std::system(OrvaneWithDatabaseIn(folder, "find --json 32633", folder / "out").c_str()), 0);
    EXPECT_NE(ReadFile(folder / "out").find("\"area\":\"Nowhere known\",\"code\":\"EPSG:32633\""),
              std::string::npos)
        << ReadFile(folder / "out");
}

TEST(HostileProjDatabase, ItIsNamedWithTheReasonAndNothingHangs)
{
    const std::string real = ProjDatabasePath();
    ASSERT_FALSE(real.empty());
    std::string database;
    ASSERT_TRUE(ReadRegularFile(real, database, std::size_t(1) << 30));
    struct Case {
        const char* what;
        std::function<void(const std::string&)> make;  // makes proj.db at the path
        int status;
        const char* says;  // after "orvane: cannot read the PROJ database PATH: "; null: works
    };
    const Case cases[] = {
        {"a pipe", [](const std::string& p) { mkfifo(p.c_str(), 0644); }, 4, "not a regular file"},
        {"a folder", [](const std::string& p) { std::filesystem::create_directory(p); }, 4, "not a regular file"},
        {"empty", [](const std::string& p) { WriteFile(p, ""); }, 4, "no such table: metadata"},
        {"truncated", [&](const std::string& p) { WriteFile(p, database.substr(0, 3000)); }, 4,
         "database disk image is malformed"},
        {"not a database", [](const std::string& p) { WriteFile(p, RandomBytes(8192, 7)); }, 4,
         "file is not a database"},
        {"another PROJ's", [](const std::string& p) {
             sqlite3* db = nullptr;
             sqlite3_open(p.c_str(), &db);
             sqlite3_exec(db, "CREATE TABLE metadata(key TEXT, value TEXT); INSERT INTO metadata VALUES "
                              "('DATABASE.LAYOUT.VERSION.MAJOR', '1'), ('DATABASE.LAYOUT.VERSION.MINOR', '0')",
                          nullptr, nullptr, nullptr);
             sqlite3_close(db);
         }, 4, "another PROJ installation"},
        {"locked by another program", [&](const std::string& p) { WriteFile(p, database); }, 0, nullptr},
        // Another user could put anything in its place at any moment.
        {"in a folder others may write", [&](const std::string& p) {
             WriteFile(p, database);
             chmod(FolderOf(p).c_str(), 0777);
         }, 4, "may be changed by other users"},
        // A link there to a database of PROJ's own: anyone could swap the link.
        {"a link in a folder others may write", [&](const std::string& p) {
             std::filesystem::create_symlink(real, p);
             chmod(FolderOf(p).c_str(), 0777);
         }, 4, "may be changed by other users"},
        {"a metadata view that never ends", [&](const std::string& p) {
             WriteFile(p, database);
             ExecuteSql(p, "DROP TABLE metadata; CREATE VIEW metadata AS WITH RECURSIVE n(i) AS (SELECT 1 UNION "
                           "ALL SELECT i + 1 FROM n) SELECT 'x' || i AS key, 'y' AS value FROM n");
         }, 4, "interrupted"},
        {"an alias view that never ends", [&](const std::string& p) {
             WriteFile(p, database);
             ExecuteSql(p, "DROP TABLE alias_name; CREATE VIEW alias_name AS WITH RECURSIVE n(i) AS (SELECT 1 "
                           "UNION ALL SELECT i + 1 FROM n) SELECT 'geodetic_crs' AS table_name, 'EPSG' AS auth_name, "
                           "'4326' AS code, 'Alias ' || i AS alt_name, 'test' AS source FROM n");
         }, 0, nullptr},
        // Boxes of no degrees bound nothing (the map would draw them as ints).
        {"extents infinite or past the poles", [&](const std::string& p) {
             WriteFile(p, database);
             ExecuteSql(p, "PRAGMA ignore_check_constraints = ON; "
                           "UPDATE extent SET west_lon = 9e999, south_lat = -9e999 WHERE code % 2 = 0; "
                           "UPDATE extent SET north_lat = 1000 WHERE code % 2 = 1");
         }, 0, nullptr},
        // Each area a row of the system's: kept as areas alone, the widest used.
        // PROJ's own check of each row inserted (a trigger) is dropped: it
        // costs minutes here, and a hostile database has none.
        {"50,000 areas of one system", [&](const std::string& p) {
             WriteFile(p, database);
             ExecuteSql(p, "DROP TRIGGER IF EXISTS usage_insert_trigger; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 50000) "
                           "INSERT INTO usage SELECT NULL, NULL, 'geodetic_crs', 'EPSG', '4326', 'EPSG', "
                           "CASE i % 2 WHEN 0 THEN '1262' ELSE '1183' END, 'EPSG', '1183' FROM n");
         }, 0, nullptr},
        {"200,000 aliases of one system", [&](const std::string& p) {
             WriteFile(p, database);
             sqlite3* db = nullptr;
             sqlite3_open(p.c_str(), &db);
             EXPECT_EQ(sqlite3_exec(db,
                          "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200000) "
                          "INSERT INTO alias_name SELECT 'geodetic_crs', 'EPSG', '4326', 'Alias ' || i, 'test' FROM n",
                          nullptr, nullptr, nullptr),
                       SQLITE_OK);
             sqlite3_close(db);
         }, 0, nullptr},
    };
    for (const Case& c : cases) {
        TempDir folder("orvane proj data");
        const std::string path = folder / "proj.db";
        c.make(path);
        // Another program holds the database in an exclusive lock.
        pid_t holder = -1;
        if (c.status == 0 && std::string(c.what) == "locked by another program") {
            int ready[2];
            ASSERT_EQ(pipe(ready), 0);
            holder = fork();
            if (holder == 0) {
                sqlite3* db = nullptr;
                sqlite3_open(path.c_str(), &db);
                const bool locked = sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
                (void)!write(ready[1], locked ? "y" : "n", 1);
                pause();
                _exit(0);
            }
            char locked = 0;
            ASSERT_EQ(read(ready[0], &locked, 1), 1);
            ASSERT_EQ(locked, 'y');
        }
        for (const char* command : {"info EPSG:4326", "find utm 33n"}) {
            const int status =
                std::system(OrvaneWithDatabaseIn(folder, command, folder / "out", folder / "err").c_str());
            EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.status) << c.what << ": " << command;
            const std::string said = ReadFile(folder / "err");
            const std::string cannot = "orvane: cannot read the PROJ database " + path + ": ";
            if (c.says)
                EXPECT_TRUE(said.compare(0, cannot.size(), cannot) == 0 && said.find(c.says) != std::string::npos)
                    << c.what << ": " << command << ": " << said;
            else
                EXPECT_NE(ReadFile(folder / "out").find("EPSG:"), std::string::npos) << c.what << ": " << command;
        }
        if (holder > 0) {
            kill(holder, SIGKILL);
            waitpid(holder, nullptr, 0);
        }
    }
}
