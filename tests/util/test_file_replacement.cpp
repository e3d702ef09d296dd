// Rewriting a file as a user asked (a catalogue store, Save as .prj) respects
// the file: its permissions, owner, links and folder.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/TestSupport.h"
#include "util/FileIO.h"
#include "util/LockedFile.h"
#include "util/Profile.h"

namespace {

struct stat StatOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
    return st;
}

}  // namespace

TEST(FileReplacement, RespectsPermissionsOwnersLinksAndFolders)
{
    TempDir dir;
    // A file the user may not write is never replaced, even in a folder the user may write.
    WriteFile(dir / "locked.prj", "old");
    {
        AsOrdinaryUser user({dir.Path()});
        chmod((dir / "locked.prj").c_str(), 0444);
        EXPECT_FALSE(SaveFile(dir / "locked.prj", "new"));
        EXPECT_FALSE(WritePrivateProfileString("GCS", "A", "1", dir / "locked.prj"));
    }
    EXPECT_EQ(ReadFile(dir / "locked.prj"), "old");

    // A symbolic link stays a link; its target gets the content, mode kept.
    WriteFile(dir / "target.prj", "old");
    chmod((dir / "target.prj").c_str(), 0640);
    std::filesystem::create_symlink("target.prj", dir / "link.prj");
    ASSERT_TRUE(SaveFile(dir / "link.prj", "new"));
    EXPECT_TRUE(S_ISLNK(StatOf(dir / "link.prj").st_mode));
    EXPECT_EQ(ReadFile(dir / "target.prj"), "new");
    EXPECT_EQ(StatOf(dir / "target.prj").st_mode & 0777, 0640u);

    // A save killed mid-write left its temporary file; the next save into a
    // folder of the user's own takes it away, and one into a folder others
    // may write in leaves it (it may be another user's save under way).
    for (const mode_t mode : {0700, 01777}) {
        TempDir saves;
        chmod(saves.Path().c_str(), mode);
        const std::string stale = saves / ("v.prj" + std::string(kTemporarySuffix) + "Xy12Zw");
        WriteFile(stale, "half");
        ASSERT_TRUE(SaveFileUnderLock(saves / "v.prj", "newer"));
        EXPECT_EQ(ReadFile(saves / "v.prj"), "newer");
        EXPECT_EQ(std::filesystem::exists(stale), mode != 0700) << std::oct << mode;
    }

    // Hard links stay one file.
    WriteFile(dir / "shared.dat", "[GCS]\n");
    ASSERT_EQ(link((dir / "shared.dat").c_str(), (dir / "other name.dat").c_str()), 0);
    ASSERT_TRUE(WritePrivateProfileString("GCS", "A", "1", dir / "shared.dat"));
    EXPECT_EQ(StatOf(dir / "shared.dat").st_ino, StatOf(dir / "other name.dat").st_ino);
    EXPECT_EQ(ReadFile(dir / "other name.dat"), "[GCS]\nA=1\n");

    // A writable file in a folder the user cannot write is updated in place.
    std::filesystem::create_directory(dir / "fixed");
    WriteFile(dir / "fixed/CoordSys.dat", "[GCS]\n");
    {
        AsOrdinaryUser user({dir.Path()});
        chmod((dir / "fixed").c_str(), 0555);
        EXPECT_TRUE(WritePrivateProfileString("GCS", "B", "2", dir / "fixed/CoordSys.dat"));
        chmod((dir / "fixed").c_str(), 0755);
    }
    EXPECT_EQ(ReadFile(dir / "fixed/CoordSys.dat"), "[GCS]\nB=2\n");

    // Root rewriting another user's file leaves it that user's.
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        WriteFile(dir / "theirs.dat", "[GCS]\n");
        ASSERT_EQ(chown((dir / "theirs.dat").c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        ASSERT_TRUE(WritePrivateProfileString("GCS", "C", "3", dir / "theirs.dat"));
        EXPECT_EQ(StatOf(dir / "theirs.dat").st_uid, nobody->pw_uid);
        EXPECT_EQ(StatOf(dir / "theirs.dat").st_gid, nobody->pw_gid);
    }
}
