// INI sections: reading, and writing that keeps everything else and loses nothing.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

#include "util/Profile.h"
#include "support/TestSupport.h"

namespace {

std::vector<std::string> Section(const std::string& path, const std::string& name)
{
    std::vector<std::string> lines;
    EXPECT_TRUE(GetPrivateProfileSection(name, path, lines));
    return lines;
}

}  // namespace

// Windows line ends, a byte order mark, comments, blank lines, a section
// with nothing in it and one named twice, in one file.
TEST(Profile, ReadsASectionsLinesInFileOrder)
{
    TempDir dir;
    const std::string path = dir / "CoordSys.dat";
    WriteFile(path,
              "\xEF\xBB\xBF[GCS]\r\n"
              "WGS 1984=GEOGCS[\"WGS 84\"]\r\n"
              "; a comment\n"
              "\n"
              "Beijing 1954=GEOGCS[\"Beijing 1954\",X=1]\n"
              "no equals sign here\n"
              "  [ Beijing 1954 ]  \n"
              "zone 1=PROJCS[]\n"
              "[Xian 1980]\n"
              "; nothing but a comment\n"
              "[gcs]\n"
              "second section of the same name=ignored");
    EXPECT_EQ(Section(path, "GCS"),
              (std::vector<std::string>{"WGS 1984=GEOGCS[\"WGS 84\"]",
                                        "Beijing 1954=GEOGCS[\"Beijing 1954\",X=1]",
                                        "no equals sign here"}));
    EXPECT_EQ(Section(path, "gcs").size(), 3u) << "section names ignore letter case";
    EXPECT_EQ(Section(path, "BEIJING 1954"), (std::vector<std::string>{"zone 1=PROJCS[]"}));
    EXPECT_TRUE(Section(path, "Xian 1980").empty());
    EXPECT_TRUE(Section(path, "Xian 1954").empty());
}

TEST(Profile, UnreadableFilesGiveNothing)
{
    TempDir dir;
    std::vector<std::string> lines{"stale"};
    EXPECT_FALSE(GetPrivateProfileSection("GCS", dir / "missing.dat", lines));
    EXPECT_TRUE(lines.empty());
    EXPECT_FALSE(GetPrivateProfileSection("GCS", dir.Path(), lines)) << "a folder";
    symlink((dir / "nowhere").c_str(), (dir / "dangling").c_str());
    EXPECT_FALSE(GetPrivateProfileSection("GCS", dir / "dangling", lines));
}

TEST(Profile, WritingReplacesAddsOrAppendsAndKeepsEverythingElse)
{
    TempDir dir;
    const std::string path = dir / "CoordSys.dat";
    const std::string original =
        "; catalogue\n"
        "[GCS]\n"
        "WGS 1984=old\n"
        "wgs 1984=other case\n"
        "\n"
        "[Beijing 1954]\n"
        "   zone=keep   spacing\n";
    WriteFile(path, original);

    ASSERT_TRUE(WritePrivateProfileString("GCS", "WGS 1984", "new=value", path));
    EXPECT_EQ(ReadFile(path),
              "; catalogue\n[GCS]\nWGS 1984=new=value\nwgs 1984=other case\n\n"
              "[Beijing 1954]\n   zone=keep   spacing\n");

    ASSERT_TRUE(WritePrivateProfileString("gcs", "Xian 1980", "GEOGCS[]", path));
    EXPECT_EQ(ReadFile(path),
              "; catalogue\n[GCS]\nWGS 1984=new=value\nwgs 1984=other case\nXian 1980=GEOGCS[]\n\n"
              "[Beijing 1954]\n   zone=keep   spacing\n");

    ASSERT_TRUE(WritePrivateProfileString("Xian 1980", "zone 1", "PROJCS[]", path));
    EXPECT_EQ(Section(path, "Xian 1980"), (std::vector<std::string>{"zone 1=PROJCS[]"}));
    EXPECT_EQ(Section(path, "Beijing 1954"), (std::vector<std::string>{"   zone=keep   spacing"}));
}

TEST(Profile, WritingReplacesTheKeyThatIsReadBack)
{
    TempDir dir;
    const std::string path = dir / "CoordSys.dat";
    WriteFile(path, "[GCS]\nA=1\nB=x\nA=2\n");
    ASSERT_TRUE(WritePrivateProfileString("GCS", "A", "3", path));
    EXPECT_EQ(ReadFile(path), "[GCS]\nA=1\nB=x\nA=3\n") << "the last A, the one a reader keeps";
}

TEST(Profile, WritingKeepsTheFilesLineEndsAndMode)
{
    TempDir dir;
    const std::string path = dir / "CoordSys.dat";
    WriteFile(path, "[GCS]\r\nA=1\r\n[Other]\r\nB=2");
    chmod(path.c_str(), 0640);
    ASSERT_TRUE(WritePrivateProfileString("GCS", "C", "3", path));
    ASSERT_TRUE(WritePrivateProfileString("Other", "D", "4", path));
    ASSERT_TRUE(WritePrivateProfileString("New", "E", "5", path));
    EXPECT_EQ(ReadFile(path), "[GCS]\r\nA=1\r\nC=3\r\n[Other]\r\nB=2\r\nD=4\r\n[New]\r\nE=5\r\n");

    // A last line cut after its carriage return only lacks the line feed.
    WriteFile(path, "[GCS]\r\nA=1\r");
    ASSERT_TRUE(WritePrivateProfileString("GCS", "B", "2", path));
    EXPECT_EQ(ReadFile(path), "[GCS]\r\nA=1\r\nB=2\r\n");
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(Profile, WritingRefusesWhatTheFormatCannotCarry)
{
    TempDir dir;
    const std::string path = dir / "CoordSys.dat";
    WriteFile(path, "[GCS]\nA=1\n");
    EXPECT_FALSE(WritePrivateProfileString("GCS", "a=b", "v", path));
    EXPECT_FALSE(WritePrivateProfileString("GCS", "k", "two\nlines", path));
    EXPECT_FALSE(WritePrivateProfileString("GCS", "k\r", "v", path));
    EXPECT_FALSE(WritePrivateProfileString("G]CS", "k", "v", path));
    EXPECT_FALSE(WritePrivateProfileString(" GCS", "k", "v", path));
    EXPECT_FALSE(WritePrivateProfileString("GCS", " [x", "v]", path)) << "would read as a header";
    EXPECT_FALSE(WritePrivateProfileString("GCS", ";k", "v", path)) << "would read as a comment";
    EXPECT_EQ(ReadFile(path), "[GCS]\nA=1\n");
}

TEST(Profile, AFailedWriteLeavesTheFileWhole)
{
    TempDir dir;
    const std::string path = dir / "CoordSys.dat";
    const std::string original = "[GCS]\nA=" + std::string(200, 'x') + "\n";
    WriteFile(path, original);
    // A child whose files may not grow past 100 bytes: the disk is "full".
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(WritePrivateProfileString("GCS", "B", "2", path) ? 1 : 0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the failure is reported";
    EXPECT_EQ(ReadFile(path), original);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1) << "no temporary file left behind";
}

TEST(Profile, WritingThroughASymbolicLinkKeepsTheLink)
{
    TempDir dir;
    WriteFile(dir / "real.dat", "[GCS]\nA=1\n");
    ASSERT_EQ(symlink("real.dat", (dir / "link.dat").c_str()), 0);
    ASSERT_TRUE(WritePrivateProfileString("GCS", "B", "2", dir / "link.dat"));
    struct stat st;
    ASSERT_EQ(lstat((dir / "link.dat").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(dir / "real.dat"), "[GCS]\nA=1\nB=2\n");
    ASSERT_EQ(symlink("nowhere.dat", (dir / "dangling.dat").c_str()), 0);
    EXPECT_FALSE(WritePrivateProfileString("GCS", "B", "2", dir / "dangling.dat"));
    EXPECT_NE(access((dir / "nowhere.dat").c_str(), F_OK), 0) << "nothing created behind the link";
}

