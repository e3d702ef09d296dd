// A host without a QApplication: the first modal dialog makes the library's
// own, which serves every later dialog for the rest of the process; where no
// platform can be had, DoModal fails with the reason instead of Qt aborting.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "module/Language.h"
#include "platform/Dialog.h"
#include "platform/DisplayCheck.h"
#include "platform/Prompt.h"

namespace {

// Closes each message box and file dialog as soon as it is the active modal
// window: what a user answering them at once does.
void AnswerPromptsAtOnce()
{
    static QTimer* timer = nullptr;
    if (timer)
        return;
    timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (qobject_cast<QMessageBox*>(modal) || qobject_cast<QFileDialog*>(modal))
            static_cast<QDialog*>(modal)->reject();
    });
    timer->start(5);
}

// A dialog that, once shown, asks its questions (a message box; a file
// dialog when `withFile`) and closes.
class AskingDialog : public CDialog
{
public:
    explicit AskingDialog(bool withFile) : CDialog(IDD_CHOOSER_ENGLISH), m_withFile(withFile) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_hadApplication = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
        QTimer::singleShot(0, QCoreApplication::instance(), [this] {
            AnswerPromptsAtOnce();
            AfxMessageBox("A question");
            if (m_withFile) {
                CFileDialog file(TRUE, ".prj", nullptr, 0, "Projection Files (*.prj)|*.prj||");
                file.DoModal();
            }
            EndDialog(IDOK);
        });
        return TRUE;
    }
    bool m_hadApplication = false;

private:
    bool m_withFile;
};

class SelfClosingDialog : public CDialog
{
public:
    SelfClosingDialog() : CDialog(IDD_CHOOSER_ENGLISH) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        QTimer::singleShot(0, [this] { EndDialog(IDOK); });
        return TRUE;
    }
};

// An X display of its own, with no window manager and no client: the server
// resets whenever its last client leaves, as a bare Xvfb does.
class BareXServer
{
public:
    BareXServer()
    {
        // A display number of its own, far above those the other tests'
        // servers pick (-displayfd takes the lowest free one, and servers
        // starting at once could both take it): one taken is passed over.
        const int first = 200 + static_cast<int>(getpid() % 500);
        for (int number = first; number < first + 5 && m_display.empty(); ++number)
            Start(number);
    }
    ~BareXServer() { Stop(); }
    const std::string& Display() const { return m_display; }

private:
    void Start(int number)
    {
        const std::string display = ":" + std::to_string(number);
        m_pid = fork();
        if (m_pid == 0) {
            execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        // Up when it listens on its socket; a server that found the number
        // taken ends at once.
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        for (int waited = 0; m_pid > 0 && waited < 1000; ++waited) {
            if (waitpid(m_pid, nullptr, WNOHANG) != 0) {
                m_pid = -1;
                return;
            }
            if (access(socket.c_str(), F_OK) == 0) {
                m_display = display;
                return;
            }
            usleep(10000);
        }
        Stop();
    }
    void Stop()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        m_pid = -1;
    }

    pid_t m_pid = -1;
    std::string m_display;
};

}  // namespace

// Where no platform can be had, the dialog fails and says why: Qt is never
// asked, so it never aborts the host.
TEST(NoApplication, WithoutAPlatformDoModalFailsInsteadOfAborting)
{
    // A socket that takes connections and never answers them.
    char folder[] = "/tmp/orvane-silent-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string silent = std::string(folder) + "/wayland-silent";
    const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, silent.c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 4), 0);

    struct Case {
        const char* platform; // QT_QPA_PLATFORM; null: unset
        const char* display;  // DISPLAY; null: unset
        const char* says;
        const char* wayland = nullptr; // WAYLAND_DISPLAY; null: unset
    };
    const Case cases[] = {
        {nullptr, nullptr, "DISPLAY is not set"},
        {nullptr, ":987", "cannot connect to display :987"},
        {"xcb", ":987", "cannot connect to display :987"},
        {"bogus", ":0", "unknown platform 'bogus'"},
        {"wayland", nullptr, "[Ww]ayland"},
        {"wayland", nullptr, "cannot connect to the Wayland display .*wayland-silent \\(no answer in 5 seconds\\)",
         silent.c_str()},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                unsetenv("QT_QPA_PLATFORM");
                unsetenv("DISPLAY");
                unsetenv("WAYLAND_DISPLAY");
                unsetenv("XDG_SESSION_TYPE");
                setenv("XDG_RUNTIME_DIR", "/nonexistent", 1);
                if (c.platform)
                    setenv("QT_QPA_PLATFORM", c.platform, 1);
                if (c.display)
                    setenv("DISPLAY", c.display, 1);
                if (c.wayland)
                    setenv("WAYLAND_DISPLAY", c.wayland, 1);
                SelfClosingDialog dlg;
                std::exit(dlg.DoModal() == -1 && !QCoreApplication::instance() ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), c.says)
            << (c.platform ? c.platform : "(unset)") << " " << (c.display ? c.display : "(unset)");
    }
    close(listener);
    unlink(silent.c_str());
    rmdir(folder);
}

TEST(NoApplication, PlatformsAreTriedInQtsOrderAndTheFirstReachableTaken)
{
    struct Case {
        std::vector<std::pair<const char*, const char*>> environment;
        std::vector<std::string> candidates;
        const char* chosen; // empty: none
    };
    const Case cases[] = {
        {{}, {"xcb"}, ""},
        {{{"WAYLAND_DISPLAY", "wayland-9"}}, {"xcb", "wayland"}, ""},
        {{{"XDG_SESSION_TYPE", "wayland"}}, {"wayland", "xcb"}, ""},
        {{{"QT_QPA_PLATFORM", "bogus;offscreen"}}, {"bogus", "offscreen"}, "offscreen"},
        {{{"QT_QPA_PLATFORM", "offscreen:fontengine=freetype"}},
         {"offscreen:fontengine=freetype"},
         "offscreen:fontengine=freetype"},
        {{{"QT_QPA_PLATFORM", ";;"}}, {}, ""},
    };
    for (const Case& c : cases) {
        const auto getenv = [&c](const char* name) -> const char* {
            for (const auto& [key, value] : c.environment) {
                if (std::string(key) == name)
                    return value;
            }
            return nullptr;
        };
        EXPECT_EQ(CandidatePlatforms(getenv), c.candidates);
        const DisplayCheck check = CheckDisplay(getenv);
        EXPECT_EQ(check.platform, c.chosen);
        EXPECT_EQ(check.problem.empty(), !check.platform.empty()) << check.problem;
    }
}

// A plain host showing dialog after dialog on an X server with no window
// manager: every connection Qt makes comes while the server is whole, and
// the process ends cleanly with the application still there. Runs before
// any dialog of this process's, so that the child it forks has none yet.
TEST(NoApplication, AHundredDialogsOnABareXServerAndACleanExit)
{
    if (system("command -v Xvfb >/dev/null") != 0)
        GTEST_SKIP() << "no Xvfb";
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    const BareXServer server;
    ASSERT_FALSE(server.Display().empty());
    const pid_t host = fork();
    ASSERT_GE(host, 0);
    if (host == 0) {
        unsetenv("QT_QPA_PLATFORM");
        setenv("DISPLAY", server.Display().c_str(), 1);
        for (int i = 0; i < 100; ++i) {
            AskingDialog dlg(i % 10 == 0);
            if (dlg.DoModal() != IDOK)
                std::exit(1);
        }
        std::exit(0); // through exit()'s handlers, the application alive
    }
    int status = 0;
    ASSERT_EQ(waitpid(host, &status, 0), host);
    EXPECT_TRUE(WIFEXITED(status))
        << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
}

TEST(NoApplication, OneApplicationServesEveryDialogAndTheHostsLocaleStays)
{
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    // Qt sets the C locale from the environment; the host's own must stay.
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    AskingDialog dlg(false);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(dlg.m_hadApplication);
    QCoreApplication* application = QCoreApplication::instance();
    EXPECT_NE(application, nullptr) << "kept for the process's life";
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    AskingDialog again(true);
    EXPECT_EQ(again.DoModal(), IDOK);
    EXPECT_EQ(QCoreApplication::instance(), application) << "the same one for the next dialog";
    unsetenv("LC_ALL");
}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
