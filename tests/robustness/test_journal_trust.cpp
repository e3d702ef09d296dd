// A journal says what a half-overwritten file holds, so whoever can plant one
// decides what the file reads as. Only the user's own journal, closed to
// others, in the user's private state folder and written for that very file
// is taken: everything else an attacker may plant is ignored when the file is
// read and never copied into it when it is saved.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "support/TestSupport.h"
#include "util/FileIO.h"

namespace {

const char kOriginal[] = "GEOGCS[\"NAD83\"]";
const char kPlanted[] = "GEOGCS[\"Attacker says Mars\"]";
const char kSecret[] = "the owner's secret";

class PlantedJournals : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previousState = std::getenv("XDG_STATE_HOME");
        setenv("XDG_STATE_HOME", m_state.Path().c_str(), 1);
        ASSERT_FALSE(PrivateFolder("XDG_STATE_HOME", ".local/state").empty());
    }
    void TearDown() override { setenv("XDG_STATE_HOME", m_previousState.c_str(), 1); }

    std::string JournalFor(const std::string& path)
    {
        struct stat st {};
        EXPECT_EQ(stat(path.c_str(), &st), 0);
        return JournalOf(path, st.st_dev, st.st_ino);
    }
    std::string HeaderFor(const std::string& path, ino_t shift = 0)
    {
        struct stat st {};
        EXPECT_EQ(stat(path.c_str(), &st), 0);
        return "orvane journal " + std::to_string(st.st_dev) + " " + std::to_string(st.st_ino + shift) + "\n";
    }

    // A journal as a writer leaves it, private to its owner.
    void PlantJournal(const std::string& path, const std::string& header)
    {
        WriteFile(JournalFor(path), header + kPlanted);
        chmod(JournalFor(path).c_str(), 0600);
    }

    TempDir m_dir{"orvane journals"}, m_state{"orvane state"};
    std::string m_previousState;
};

}  // namespace

TEST_F(PlantedJournals, OnlyTheUsersOwnIsTakenAndNoneIsCopied)
{
    const std::string file = m_dir / "v.prj", secret = m_dir / "secret";
    struct Plant {
        const char* what;
        std::function<void()> plant;
        bool taken;
    };
    const Plant plants[] = {
        {"the user's own journal", [&] { PlantJournal(file, HeaderFor(file)); }, true},
        {"a journal beside the file", [&] { WriteFile(file + ".orvane-journal", HeaderFor(file) + kPlanted); },
         false},
        {"a link to the owner's secret",
         [&] {
             WriteFile(secret, HeaderFor(file) + kSecret);
             chmod(secret.c_str(), 0600);
             std::filesystem::create_symlink(secret, JournalFor(file));
         },
         false},
        {"another user's journal",
         [&] {
             PlantJournal(file, HeaderFor(file));
             if (geteuid() == 0) {
                 ASSERT_EQ(chown(JournalFor(file).c_str(), 65534, 65534), 0);
             }
         },
         geteuid() != 0},
        {"a journal others may read",
         [&] {
             PlantJournal(file, HeaderFor(file));
             chmod(JournalFor(file).c_str(), 0644);
         },
         false},
        {"a journal in a folder others may write",
         [&] {
             PlantJournal(file, HeaderFor(file));
             chmod(FolderOf(JournalFor(file)).c_str(), 0777);
         },
         false},
        {"a journal of another file", [&] { PlantJournal(file, HeaderFor(file, 1)); }, false},
        {"a pipe", [&] { ASSERT_EQ(mkfifo(JournalFor(file).c_str(), 0600), 0); }, false},
    };
    for (const Plant& plant : plants) {
        SCOPED_TRACE(plant.what);
        std::filesystem::remove_all(m_state / "orvane");
        ASSERT_FALSE(PrivateFolder("XDG_STATE_HOME", ".local/state").empty());
        std::filesystem::remove(file + ".orvane-journal");
        WriteFile(file, kOriginal);
        std::filesystem::remove(m_dir / "second name");
        // A second name makes a save overwrite the file in place, the way that journals.
        ASSERT_EQ(link(file.c_str(), (m_dir / "second name").c_str()), 0);
        plant.plant();

        std::string read;
        const pid_t reader = fork();  // a pipe taken for a journal would block for ever
        if (reader == 0) {
            alarm(2);
            _exit(ReadDefinitionFile(file, read) ? 0 : 1);
        }
        int status = 0;
        waitpid(reader, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the file reads at once";
        ASSERT_TRUE(ReadDefinitionFile(file, read));
        EXPECT_EQ(read, plant.taken ? kPlanted : kOriginal);

        ASSERT_TRUE(SaveFile(file, "GEOGCS[\"saved\"]"));
        EXPECT_EQ(ReadFile(file), "GEOGCS[\"saved\"]") << "the save is the file, and nothing else";
        EXPECT_EQ(ReadFile(m_dir / "second name"), "GEOGCS[\"saved\"]");
        if (std::filesystem::exists(secret)) {
            EXPECT_EQ(ReadFile(secret), HeaderFor(file) + kSecret) << "the link's target untouched";
            std::filesystem::remove(secret);
        }
        chmod(FolderOf(JournalFor(file)).c_str(), 0700);
    }
}
