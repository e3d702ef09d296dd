// A store killed at any moment leaves the catalogue as it was or with the
// new entry: never truncated, never mixed, and with its own line ends.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "catalog/GeogCatalog.h"
#include "util/FileIO.h"
#include "util/Profile.h"
#include "support/TestSupport.h"

namespace {

std::string Catalogue(const std::string& eol)
{
    std::string text = "; systems" + eol + "[GCS]" + eol;
    for (int i = 0; i < 2000; ++i)
        text += "System " + std::to_string(i) + "=GEOGCS[\"" + std::string(300, 'x') + "\"]" + eol;
    return text + eol + "[Beijing 1954]" + eol + "Zone=PROJCS[]" + eol;
}

// The file is the original with entries "Added k=value k" for k = 0..n-1 at
// the end of [GCS], each whole.
bool OriginalPlusWholeEntries(const std::string& original, const std::string& now, const std::string& eol)
{
    const std::size_t sectionEnd = original.find(eol + "[Beijing 1954]");
    if (now.compare(0, sectionEnd, original, 0, sectionEnd) != 0)
        return false;
    const std::string tail = original.substr(sectionEnd);
    if (now.size() < tail.size() || now.compare(now.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    std::string added = now.substr(sectionEnd, now.size() - tail.size() - sectionEnd);
    for (int k = 0; !added.empty(); ++k) {
        const std::string line = "Added " + std::to_string(k) + "=value " + std::to_string(k) + eol;
        if (added.compare(0, line.size(), line) != 0)
            return false;
        added.erase(0, line.size());
    }
    return true;
}

// `hardLinked`: the file has a second name, so stores overwrite it in place
// (through a journal) instead of renaming a new file over it.
void KillWhileStoring(const std::string& eol, bool hardLinked)
{
    TempDir dir("orvane interrupted");
    const std::string path = dir / "CoordSys.dat";
    const std::string original = Catalogue(eol);
    WriteFile(path, original);
    if (hardLinked) {
        ASSERT_EQ(link(path.c_str(), (dir / "second name").c_str()), 0);
    }
    std::mt19937 random(12345);
    for (int round = 0; round < 25; ++round) {
        std::string before;
        ASSERT_TRUE(ReadRewrittenFile(path, before));
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Carry on from what the file holds.
            int next = 0;
            while (before.find("Added " + std::to_string(next) + "=") != std::string::npos)
                ++next;
            for (;; ++next)
                WritePrivateProfileString("GCS", "Added " + std::to_string(next), "value " + std::to_string(next), path);
        }
        usleep(std::uniform_int_distribution<int>(0, 20000)(random));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        std::string now;
        ASSERT_TRUE(ReadRewrittenFile(path, now));
        ASSERT_TRUE(OriginalPlusWholeEntries(original, now, eol)) << "round " << round;
        ASSERT_GE(now.size(), before.size()) << "nothing lost, round " << round;
    }
    // The next store cleans up after the killed writers.
    ASSERT_TRUE(WritePrivateProfileString("GCS", "Last", "1", path));
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, hardLinked ? 2 : 1) << "no temporary file or journal left";
    if (hardLinked) {
        EXPECT_EQ(ReadFile(dir / "second name"), ReadFile(path)) << "still one file under two names";
    }
}

}  // namespace

TEST(InterruptedStore, LeavesTheFileWholeWithUnixLineEnds)
{
    KillWhileStoring("\n", false);
}

TEST(InterruptedStore, LeavesTheFileWholeWithWindowsLineEnds)
{
    KillWhileStoring("\r\n", false);
}

TEST(InterruptedStore, LeavesAHardLinkedFileWholeWhenOverwrittenInPlace)
{
    KillWhileStoring("\n", true);
}
