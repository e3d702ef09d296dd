// CoordSys.dat through CIniFile and the section loaders.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "catalog/GeogCatalog.h"
#include "util/LockedFile.h"
#include "catalog/IniFile.h"
#include "module/Module.h"
#include "search/RecentSystems.h"
#include "util/FileIO.h"
#include "support/TestSupport.h"

namespace {

// A module folder holding only the catalogue text given.
class CatalogFolder {
public:
    explicit CatalogFolder(const std::string& content) : m_dir("orvane catalog"), m_guard(m_dir.Path())
    {
        WriteFile(m_dir / "CoordSys.dat", content);
    }
    std::string Path() const { return m_dir / "CoordSys.dat"; }
    const TempDir& Dir() const { return m_dir; }

private:
    TempDir m_dir;
    ModuleFolderGuard m_guard;
};

SystemCatalog Load(const std::string& section)
{
    SystemCatalog catalog{{"stale", "entry"}};
    LoadCatalogSection(section, catalog);
    return catalog;
}

}  // namespace

TEST(CatalogFile, LoadsNamesInByteWiseOrderWithLastValueWinning)
{
    CatalogFolder folder(
        "[GCS]\n"
        "WGS 1984=first\n"
        "Beijing 1954=GEOGCS[\"Beijing 1954\"]\n"
        "WGS 1984=second=with equals\n"
        "wgs 1984=lower case\n"
        "a line without equals\n"
        "[Xian 1980]\n"
        "Zone 2=b\n"
        "Zone 10=a\n");
    SystemCatalog gcs = Load("GCS");
    ASSERT_EQ(gcs.size(), 3u) << "a line without \"=\" is no entry";
    std::vector<std::string> names;
    for (const auto& entry : gcs)
        names.push_back(entry.first);
    EXPECT_EQ(names, (std::vector<std::string>{"Beijing 1954", "WGS 1984", "wgs 1984"}));
    EXPECT_EQ(gcs["WGS 1984"], "second=with equals");
    SystemCatalog xian = Load("xian 1980");
    EXPECT_EQ(xian.begin()->first, "Zone 10") << "byte-wise, not numeric";
    EXPECT_TRUE(Load("Beijing 1954").empty());
}

TEST(CatalogFile, MissingOrUnusableFilesGiveEmptyCatalogues)
{
    TempDir dir("orvane catalog");
    ModuleFolderGuard guard(dir.Path());
    EXPECT_TRUE(Load("GCS").empty()) << "no file";
    std::filesystem::create_directory(dir / "Coordinate Systems");
    WriteFile(dir / "Coordinate Systems/CoordSys.dat", "[GCS]\nA=1\n");
    EXPECT_TRUE(Load("GCS").empty()) << "only the module folder itself is read";
    std::filesystem::create_directory(dir / "CoordSys.dat");
    EXPECT_TRUE(Load("GCS").empty()) << "a folder";
    CIniFile file;
    EXPECT_EQ(file.OpenFile(dir / "CoordSys.dat", CIniFile::modeRead), 0);
    EXPECT_EQ(file.SetFileName(dir / "CoordSys.dat"), 0);
    EXPECT_EQ(file.SetFileName(dir / "nothing"), 0);
    EXPECT_EQ(file.GetFileName(), dir / "nothing");
}

TEST(CatalogFile, LargeSectionsAndLongLinesAreReadWhole)
{
    std::string content = "[GCS]\n";
    const std::string longWkt = "GEOGCS[\"long\"," + std::string(5000, 'x') + "]";
    for (int i = 0; i < 3000; ++i)
        content += "System " + std::to_string(10000 + i) + "=GEOGCS[" + std::string(40, 'w') + "]\n";
    content += "Long one=" + longWkt + "\n";
    ASSERT_GT(content.size(), 65535u * 2);
    CatalogFolder folder(content);
    SystemCatalog gcs = Load("GCS");
    EXPECT_EQ(gcs.size(), 3001u) << "nothing lost past 64 KiB";
    EXPECT_EQ(gcs["Long one"], longWkt);
    EXPECT_EQ(gcs["System 12999"], "GEOGCS[" + std::string(40, 'w') + "]");
}

TEST(CatalogFile, SystemsAreStoredInTheUsersOwnFileWhichOverridesTheShippedOne)
{
    const std::string shipped = "; comment line\n[Beijing 1954]\nZone=PROJCS[]\n\n[GCS]\nWGS 1984=old\n";
    CatalogFolder folder(shipped);
    const std::string user = GetUserCatalogPath();
    EXPECT_FALSE(std::filesystem::exists(user));
    ASSERT_TRUE(StoreGeogSystem("WGS 1984", "new")) << "made with its folder";
    ASSERT_TRUE(StoreGeogSystem("My GCS", "GEOGCS[\"My GCS\"]"));
    EXPECT_EQ(ReadFile(folder.Path()), shipped) << "the shipped file is never written";
    EXPECT_EQ(ReadFile(user), "[GCS]\nWGS 1984=new\nMy GCS=GEOGCS[\"My GCS\"]\n");
    SystemCatalog gcs = Load("GCS");
    EXPECT_EQ(gcs.size(), 2u);
    EXPECT_EQ(gcs["WGS 1984"], "new");
    // Gauss-Krueger zones are the shipped file's alone.
    WriteFile(user, ReadFile(user) + "[Beijing 1954]\nMine=PROJCS[]\n");
    EXPECT_EQ(Load("Beijing 1954").size(), 1u);

    // Removing the user's override brings the shipped entry back; a shipped
    // entry cannot be removed.
    EXPECT_TRUE(RemoveUserGeogSystem("WGS 1984"));
    EXPECT_EQ(Load("GCS")["WGS 1984"], "old");
    EXPECT_FALSE(RemoveUserGeogSystem("WGS 1984"));
    EXPECT_EQ(UserGeogSystems().size(), 1u);
    EXPECT_EQ(ShippedGeogSystems().size(), 1u);
}

TEST(CatalogFile, AStoreThatCannotBeMadeSaysWhy)
{
    CatalogFolder folder("[GCS]\nA=1\n");
    const std::string user = GetUserCatalogPath();
    StoreProblem problem = StoreProblem::None;
    EXPECT_FALSE(StoreGeogSystem("two\nlines", "2", &problem));
    EXPECT_EQ(problem, StoreProblem::BadName);

    ASSERT_TRUE(StoreGeogSystem("B", "2"));
    {
        AsOrdinaryUser ordinary({folder.Dir().Path()});
        chmod(user.c_str(), 0444);
        EXPECT_FALSE(StoreGeogSystem("C", "3", &problem));
        EXPECT_EQ(problem, StoreProblem::CannotWrite) << "a read-only file";
        chmod(user.c_str(), 0644);
    }
    EXPECT_EQ(ReadFile(user), "[GCS]\nB=2\n");
    // The folder is the user's own again (the ordinary user had it).
    ASSERT_EQ(lchown(std::filesystem::path(user).parent_path().c_str(), geteuid(), getegid()), 0);
    ASSERT_EQ(lchown(user.c_str(), geteuid(), getegid()), 0);

    // Another program holds the lock: the store gives up within seconds,
    // letting the caller repaint meanwhile.
    int lockHeld[2];
    ASSERT_EQ(pipe(lockHeld), 0);
    // A lock on the folder itself, by another user who can open it, holds
    // up nothing: the lock is on a file no one else can open.
    const std::string dataFolder = std::filesystem::path(user).parent_path();
    const auto holdLock = [&](const std::string& what, bool asAnotherUser) {
        const pid_t holder = fork();
        if (holder == 0) {
            if (asAnotherUser && (setgid(65534) != 0 || setuid(65534) != 0))
                _exit(1);
            const int fd = open(what.c_str(), std::filesystem::is_directory(what) ? O_RDONLY : O_RDWR | O_CREAT, 0600);
            flock(fd, LOCK_EX);
            (void)!write(lockHeld[1], "x", 1);
            sleep(30);
            _exit(0);
        }
        char ready;
        EXPECT_EQ(read(lockHeld[0], &ready, 1), 1);
        return holder;
    };
    const auto wait = SetLockWait(std::chrono::milliseconds(500));
    if (geteuid() == 0) {
        chmod(dataFolder.c_str(), 0755);
        const pid_t other = holdLock(dataFolder, true);
        EXPECT_TRUE(StoreGeogSystem("D", "4", &problem)) << static_cast<int>(problem);
        kill(other, SIGKILL);
        waitpid(other, nullptr, 0);
        chmod(dataFolder.c_str(), 0700);
    }
    const pid_t holder = holdLock(LockFileOf(user), false);
    int waits = 0;
    EXPECT_FALSE(StoreGeogSystem("E", "5", &problem, [&] { ++waits; }));
    SetLockWait(wait);
    EXPECT_EQ(problem, StoreProblem::LockBusy);
    EXPECT_GT(waits, 0) << "the caller repainted while it waited";
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_TRUE(StoreGeogSystem("E", "5")) << "free again";

    // A folder that cannot be made: the data home is a file.
    WriteFile(folder.Dir() / "not a folder", "");
    setenv("XDG_DATA_HOME", (folder.Dir() / "not a folder").c_str(), 1);
    EXPECT_FALSE(StoreGeogSystem("F", "6", &problem));
    EXPECT_EQ(problem, StoreProblem::CannotWrite);
}

// A folder of the user's that others may write in, or that another user
// owns, is neither written nor read: the catalogue's entries and the recent
// systems there could be anyone's.
TEST(CatalogFile, AFolderNotTheUsersAloneIsNotRead)
{
    CatalogFolder folder("[GCS]\nShipped=GEOGCS[]\n");
    ASSERT_TRUE(StoreGeogSystem("Mine", "GEOGCS[\"Mine\"]"));
    const std::string own = FolderOf(GetUserCatalogPath());
    WriteFile(own + "/recent.wkt", "GEOGCS[\"Recent\"]\n");
    const struct {
        mode_t mode;
        bool read;
    } cases[] = {{0700, true}, {0777, false}, {0770, false}, {0755, true}};
    for (const auto& c : cases) {
        ASSERT_EQ(chmod(own.c_str(), c.mode), 0);
        EXPECT_EQ(UserGeogSystems().count("Mine"), c.read ? 1u : 0u) << std::oct << c.mode;
        EXPECT_EQ(Load("GCS").count("Mine"), c.read ? 1u : 0u) << std::oct << c.mode;
        EXPECT_EQ(ReadRecentSystems(own + "/recent.wkt").size(), c.read ? 1u : 0u) << std::oct << c.mode;
        StoreProblem problem = StoreProblem::None;
        EXPECT_EQ(StoreGeogSystem("Other", "GEOGCS[]", &problem), c.read) << std::oct << c.mode;
        EXPECT_EQ(problem, c.read ? StoreProblem::None : StoreProblem::NotPrivate) << std::oct << c.mode;
    }
}

// Writers at once, as hosts the user keeps open store their systems: each
// waits its turn, however busy the machine, and nothing is lost.
TEST(CatalogFile, EightProcessesStoringAtOnceLoseNothing)
{
    CatalogFolder folder("[GCS]\nWGS 1984=GEOGCS[]\n");
    const int processes = 8, perProcess = 100;
    std::vector<pid_t> children;
    for (int p = 0; p < processes; ++p) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int failed = 0;
            for (int i = 0; i < perProcess; ++i)
                failed += !StoreGeogSystem("P" + std::to_string(p) + " system " + std::to_string(i),
                                           "GEOGCS[\"" + std::to_string(i) + "\"]");
            _exit(failed);
        }
        children.push_back(child);
    }
    int failures = 0;
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        failures += WEXITSTATUS(status);
    }
    EXPECT_EQ(failures, 0);
    SystemCatalog gcs = Load("GCS");
    EXPECT_EQ(gcs.size(), 1u + processes * perProcess);
    EXPECT_EQ(gcs["P7 system 99"], "GEOGCS[\"99\"]");
}

TEST(CatalogFile, BundledCatalogue)
{
    TempModuleFolder folder;
    SystemCatalog gcs, beijing, xian;
    LoadCatalogSection(kGeogSection, gcs);
    LoadCatalogSection(kBeijing1954Section, beijing);
    LoadCatalogSection(kXian1980Section, xian);
    EXPECT_EQ(gcs.size(), 546u);
    EXPECT_EQ(beijing.size(), 64u);
    EXPECT_EQ(xian.size(), 64u);
    for (const char* name : {"WGS 1984", "WGS 84", "Beijing 1954", "Xian 1980",
                             "China Geodetic Coordinate System 2000"})
        EXPECT_EQ(gcs.count(name), 1u) << name;
    EXPECT_EQ(gcs["WGS 1984"], gcs["WGS 84"]);
    EXPECT_EQ(beijing.count("Beijing 1954 / Gauss-Kruger zone 13"), 1u);
    EXPECT_EQ(xian.count("Xian 1980 / 3-degree Gauss-Kruger CM 120E"), 1u);
}
