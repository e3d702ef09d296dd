// A disk that fills while a file is stored: the store fails, says so, and
// the file stays whole, with nothing of the attempt left on the disk. Each
// way of writing runs in a child of its own, on a small file system mounted
// where only that child sees it.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "interface/OrvaneCatalog.h"
#include "module/Module.h"
#include "search/RecentSystems.h"
#include "support/TestSupport.h"
#include "util/FileIO.h"
#include "util/LockedFile.h"
#include "util/Profile.h"

namespace {

constexpr std::size_t kPage = 4096;
constexpr int kCannotMount = 77;

std::size_t FreeBytes(const std::string& folder)
{
    struct statvfs fs {};
    statvfs(folder.c_str(), &fs);
    return fs.f_bavail * fs.f_frsize;
}

// Fills the file system of `folder` until `room` bytes are left.
void LeaveRoom(const std::string& folder, std::size_t room)
{
    std::ofstream filler(folder + "/filler", std::ios::binary);
    const std::size_t fill = FreeBytes(folder) - room;
    filler << std::string(fill, 'f');
}

// A catalogue of five pages less a little, an [Other] section at its end: the
// entry the test adds makes it cross into a sixth page.
std::string Catalogue()
{
    std::string text = "[GCS]\n";
    for (int i = 0; text.size() < 5 * kPage - 400; ++i)
        text += "System " + std::to_string(i) + "=GEOGCS[\"" + std::string(60, 'x') + "\"]\n";
    return text + "[Other]\nKept=1\n";
}

enum class Writer { CatalogueStore, CatalogueRemove, PrjSave, RecentSystem };

struct Way {
    const char* what;
    Writer writer;
    bool closedFolder;     // the user may not write the file's folder: in place
    bool privateState;     // the user's state folder (for a journal) is on the full disk
    std::size_t room;      // bytes left free before the store
};

// In the child: mounts a small file system, stores, and checks. The exit
// status is 0, kCannotMount, or the number of the check that failed.
int StoreOnAFullDisk(const Way& way, const std::string& mountPoint)
{
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("orvane-full", mountPoint.c_str(), "tmpfs", 0, "size=256k,mode=0755") != 0)
        return kCannotMount;
    const std::string files = mountPoint + "/files", state = mountPoint + "/state", data = mountPoint + "/data";
    for (const std::string& folder : {files, state, data})
        mkdir(folder.c_str(), 0700);
    setenv("XDG_STATE_HOME", (way.privateState ? state : "/nonexistent-state").c_str(), 1);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    const std::string path = way.writer == Writer::RecentSystem      ? RecentSystemsPath()
                             : way.writer == Writer::PrjSave         ? files + "/v.prj"
                             : way.writer == Writer::CatalogueRemove ? GetUserCatalogPath()
                                                                     : files + "/CoordSys.dat";
    MakeFolders(FolderOf(path));
    std::string original = Catalogue();
    if (way.writer == Writer::RecentSystem) {
        original.clear();
        for (int i = 0; i < 10; ++i)
            original += "GEOGCS[\"System " + std::to_string(i) + "\"," + std::string(400, 'x') + "]\n";
    }
    WriteFile(path, original);
    AsOrdinaryUser user({mountPoint});
    if (way.closedFolder)
        chmod(files.c_str(), 0500);
    LeaveRoom(mountPoint, way.room);
    const std::size_t room = FreeBytes(mountPoint);

    errno = 0;
    bool stored = false;
    const std::string entry = "GEOGCS[\"" + std::string(500, 'n') + "\"]";
    switch (way.writer) {
    case Writer::CatalogueStore:
        stored = WritePrivateProfileString("GCS", "New", entry, path);
        break;
    case Writer::CatalogueRemove: {
        std::string reason;
        stored = OrvaneRemoveUserGeogSystem("System 0", reason) == ORVANE_REMOVED;
        if (!stored && reason != std::strerror(ENOSPC))
            return 6;
        break;
    }
    case Writer::PrjSave:
        stored = SaveFileUnderLock(path, original + entry);
        break;
    case Writer::RecentSystem:
        stored = RememberRecentSystem(path, SpatialSystem(entry));
        break;
    }
    const int error = errno;
    std::printf("%-60s %6zu bytes free: %s (%s)\n", way.what, room, stored ? "stored" : "failed",
                std::strerror(error));
    std::fflush(stdout);
    if (stored)
        return 1;  // the disk was not full enough for the test to mean anything
    if (error != ENOSPC)
        return 2;
    if (ReadFile(path) != original)
        return 3;
    // Nothing of the attempt is left: no temporary file, no journal.
    for (const std::string& folder : {FolderOf(path), state + "/orvane"})
        if (std::filesystem::exists(folder))
            for (const auto& file : std::filesystem::directory_iterator(folder))
                if (file.path() != path && file.path() != LockFileOf(path))
                    return 4;
    // With room again, the same store succeeds.
    std::filesystem::remove(mountPoint + "/filler");
    if (way.writer == Writer::CatalogueStore && !WritePrivateProfileString("GCS", "New", entry, path))
        return 5;
    return 0;
}

}  // namespace

TEST(FullDisk, AFailedStoreLeavesTheFileWholeAndNothingBehind)
{
    const Way ways[] = {
        {"a catalogue store, renamed over the file", Writer::CatalogueStore, false, true, 2 * kPage},
        {"a catalogue store in place, no room for its journal", Writer::CatalogueStore, true, true, 2 * kPage},
        {"a catalogue store in place, its journal fits but the file cannot grow", Writer::CatalogueStore, true,
         true, 6 * kPage},
        {"a catalogue store in place, without a state folder", Writer::CatalogueStore, true, false, 0},
        {"Save as .prj over a file, renamed", Writer::PrjSave, false, true, 2 * kPage},
        {"Save as .prj in place, its journal fits but the file cannot grow", Writer::PrjSave, true, true, 6 * kPage},
        {"a recent system", Writer::RecentSystem, false, true, 0},
        {"a user's system removed (orvane catalog remove)", Writer::CatalogueRemove, false, true, 2 * kPage},
    };
    for (const Way& way : ways) {
        TempDir mountPoint("orvane full disk");
        std::fflush(stdout);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            _exit(StoreOnAFullDisk(way, mountPoint.Path()));
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << way.what;
        if (WEXITSTATUS(status) == kCannotMount)
            GTEST_SKIP() << "this machine does not let the test mount a file system";
        const char* const failures[] = {"",
                                        "the store succeeded: the disk was not full",
                                        "the failure is not \"No space left on device\"",
                                        "the file changed",
                                        "the attempt left a file behind",
                                        "with room again, the store failed",
                                        "the reason is not said"};
        EXPECT_EQ(WEXITSTATUS(status), 0) << way.what << ": " << failures[std::min(WEXITSTATUS(status), 6)];
    }
}
