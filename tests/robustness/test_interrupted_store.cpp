// A store killed at any moment leaves the catalogue as it was or with the
// new entry: never truncated, never mixed, and with its own line ends.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
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

enum class Path {
    Rename,          // a new file renamed over the old one
    HardLinked,      // the file has a second name: overwritten in place, journal beside it
    ClosedFolder,    // the user may not write the folder: in place, journal in the user's state folder
};

void KillWhileStoring(const std::string& eol, Path way)
{
    TempDir dir("orvane interrupted"), state("orvane state");
    const std::string path = dir / "CoordSys.dat";
    const std::string original = Catalogue(eol);
    WriteFile(path, original);
    const bool hardLinked = way == Path::HardLinked;
    if (hardLinked) {
        ASSERT_EQ(link(path.c_str(), (dir / "second name").c_str()), 0);
    }
    // Forked writers inherit the ordinary user's identity.
    std::unique_ptr<AsOrdinaryUser> user;
    const std::string previousState = std::getenv("XDG_STATE_HOME") ? std::getenv("XDG_STATE_HOME") : "";
    if (way == Path::ClosedFolder) {
        setenv("XDG_STATE_HOME", state.Path().c_str(), 1);
        user = std::make_unique<AsOrdinaryUser>(std::initializer_list<std::string>{dir.Path(), state.Path()});
        chmod(dir.Path().c_str(), 0555);
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
    if (way == Path::ClosedFolder) {
        for (const auto& entry : std::filesystem::directory_iterator(state / "orvane"))
            EXPECT_EQ(entry.path().filename().string().rfind("journal", 0), std::string::npos) << "no journal left";
        chmod(dir.Path().c_str(), 0755);
        setenv("XDG_STATE_HOME", previousState.c_str(), 1);
    }
    if (hardLinked) {
        EXPECT_EQ(ReadFile(dir / "second name"), ReadFile(path)) << "still one file under two names";
    }
}

}  // namespace

TEST(InterruptedStore, LeavesTheFileWholeWithUnixLineEnds)
{
    KillWhileStoring("\n", Path::Rename);
}

TEST(InterruptedStore, LeavesTheFileWholeWithWindowsLineEnds)
{
    KillWhileStoring("\r\n", Path::Rename);
}

TEST(InterruptedStore, LeavesAFileOverwrittenInPlaceWhole)
{
    KillWhileStoring("\n", Path::HardLinked);
    KillWhileStoring("\n", Path::ClosedFolder);
}
