// A host without a QApplication: the first modal dialog makes the library's
// own, which serves every later dialog for the rest of the process; where no
// platform can be had, DoModal fails with the reason instead of Qt aborting.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <fcntl.h>
#include <sys/prctl.h>
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
#include "platform/Application.h"
#include "platform/DisplayCheck.h"
#include "platform/XServerCheck.h"
#include "platform/FileDialog.h"
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
    // `maxClients`: the clients it takes at once (a power of two, 64 the
    // least); 0: Xvfb's own number. `number`: the display's, or one of its own.
    explicit BareXServer(int maxClients = 0, int number = 0) : m_maxClients(maxClients)
    {
        // A display number of its own, far above those the other tests'
        // servers pick (-displayfd takes the lowest free one, and servers
        // starting at once could both take it): one taken is passed over.
        const int first = number ? number : 200 + static_cast<int>(getpid() % 500);
        for (int n = first; n < first + (number ? 1 : 5) && m_display.empty(); ++n) {
            // A number another test's server holds is passed over.
            if (!number && (access(SocketOf(n).c_str(), F_OK) == 0 || access(LockOf(n).c_str(), F_OK) == 0))
                continue;
            Start(n);
        }
    }
    ~BareXServer() { Stop(); }
    const std::string& Display() const { return m_display; }
    int Number() const { return std::atoi(m_display.c_str() + 1); }
    void Stop()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        m_pid = -1;
    }

private:
    static std::string SocketOf(int number) { return "/tmp/.X11-unix/X" + std::to_string(number); }
    static std::string LockOf(int number) { return "/tmp/.X" + std::to_string(number) + "-lock"; }
    // The process whose server holds the display, as its lock file says.
    static pid_t LockHolder(int number)
    {
        std::ifstream lock(LockOf(number));
        long pid = -1;
        return lock >> pid ? static_cast<pid_t>(pid) : -1;
    }
    void Start(int number)
    {
        const std::string display = ":" + std::to_string(number);
        const std::string clients = std::to_string(m_maxClients);
        m_pid = fork();
        if (m_pid == 0) {
            // It goes with the process that started it, and holds none of
            // its output: a death test's child that ends early (as Qt's
            // exit would end it) leaves nothing behind to wait on.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            if (m_maxClients)
                execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                       "-maxclients", clients.c_str(), static_cast<char*>(nullptr));
            else
                execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                       static_cast<char*>(nullptr));
            _exit(127);
        }
        // Up when it listens on its socket and holds the display's lock; a
        // server that found the number taken ends at once, and until it has,
        // the socket there is another server's.
        const std::string socket = SocketOf(number);
        for (int waited = 0; m_pid > 0 && waited < 1000; ++waited) {
            if (waitpid(m_pid, nullptr, WNOHANG) != 0) {
                m_pid = -1;
                return;
            }
            if (access(socket.c_str(), F_OK) == 0 && LockHolder(number) == m_pid) {
                m_display = display;
                return;
            }
            usleep(10000);
        }
        Stop();
    }

    int m_maxClients = 0;
    pid_t m_pid = -1;
    std::string m_display;
};

// A process that listens on a socket of its own and answers as no display
// does: junk, the very bytes it was sent, nothing once its queue is full; or
// it relays its first client to a real server and closes, or never answers,
// every later one.
class FakeServer
{
public:
    enum Answer { Junk, Echo, FullQueue, RelayFirstThenClose, RelayFirstThenSilence };
    // `path`: a Unix socket's; `port`: a TCP port on 127.0.0.1 instead.
    FakeServer(Answer answer, const std::string& path, int port = 0, const std::string& relayTo = "")
    {
        const int listener = port ? Listen(port) : Listen(path);
        if (listener < 0)
            return;
        if (answer == FullQueue) {
            // Never accepted: the queue fills with the connections made here.
            for (int i = 0; i < 64; ++i) {
                const int client = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
                if (connect(client, reinterpret_cast<const sockaddr*>(&m_address), sizeof m_address) != 0)
                    break;
            }
            m_listener = listener;
            return;
        }
        m_pid = fork();
        if (m_pid == 0) {
            for (int served = 0;; ++served) {
                const int client = accept(listener, nullptr, nullptr);
                if (client < 0)
                    continue;
                if (answer == Junk) {
                    // Junk, and the connection kept until the client leaves.
                    const char junk[] = "not a compositor, not anything\n";
                    (void)!write(client, junk, sizeof junk);
                    char buffer[256];
                    while (read(client, buffer, sizeof buffer) > 0) {
                    }
                } else if (answer == Echo) {
                    char buffer[256];
                    const ssize_t got = read(client, buffer, sizeof buffer);
                    if (got > 0)
                        (void)!write(client, buffer, static_cast<std::size_t>(got));
                } else if (served == 0) {
                    Relay(client, relayTo);
                } else if (answer == RelayFirstThenSilence) {
                    continue;  // left open, never answered
                }
                close(client);
            }
        }
        close(listener);
    }
    ~FakeServer()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_listener >= 0)
            close(m_listener);
    }

private:
    int Listen(const std::string& path)
    {
        const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        m_address.sun_family = AF_UNIX;
        std::strncpy(m_address.sun_path, path.c_str(), sizeof m_address.sun_path - 1);
        unlink(path.c_str());
        if (bind(listener, reinterpret_cast<const sockaddr*>(&m_address), sizeof m_address) != 0 ||
            listen(listener, 0) != 0)
            return -1;
        return listener;
    }
    static int Listen(int port)
    {
        const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int yes = 1;
        setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
            listen(listener, 8) != 0)
            return -1;
        return listener;
    }
    // Passes bytes both ways between `client` and the socket at `path`, in a
    // process of its own, until either side closes.
    static void Relay(int client, const std::string& path)
    {
        if (fork() != 0)
            return;
        const int server = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        if (connect(server, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            _exit(0);
        pollfd ends[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
        char buffer[65536];
        while (poll(ends, 2, -1) > 0) {
            for (int i = 0; i < 2; ++i) {
                if (!(ends[i].revents & (POLLIN | POLLHUP)))
                    continue;
                const ssize_t got = read(ends[i].fd, buffer, sizeof buffer);
                if (got <= 0 || write(ends[1 - i].fd, buffer, static_cast<std::size_t>(got)) != got)
                    _exit(0);
            }
        }
        _exit(0);
    }

    sockaddr_un m_address{};
    int m_listener = -1;
    pid_t m_pid = -1;
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
    // Sockets that answer as no compositor does.
    const std::string junk = std::string(folder) + "/wayland-junk", echo = std::string(folder) + "/wayland-echo",
                      full = std::string(folder) + "/wayland-full";
    const FakeServer junkServer(FakeServer::Junk, junk), echoServer(FakeServer::Echo, echo),
        fullServer(FakeServer::FullQueue, full);

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
        {"wayland", nullptr, "wayland-junk \\(it does not answer as a Wayland compositor\\)", junk.c_str()},
        {"wayland", nullptr, "wayland-echo \\(it does not answer as a Wayland compositor\\)", echo.c_str()},
        {"wayland", nullptr, "wayland-full \\(no answer in 5 seconds\\)", full.c_str()},
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
    for (const std::string& path : {silent, junk, echo, full})
        unlink(path.c_str());
    rmdir(folder);
}

// What an X server can do to a host that the library's check must cover:
// name a screen it lacks, take the check's connection but not Qt's (a relay
// that serves one client), have room for one client only, go away between
// dialogs. The host never ends: a dialog fails with the reason, or Qt
// connects anew.
TEST(NoApplication, AnXServerThatFailsQtsConnectionNeverEndsTheHost)
{
    if (system("command -v Xvfb >/dev/null") != 0)
        GTEST_SKIP() << "no Xvfb";
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    const BareXServer server(64);
    ASSERT_FALSE(server.Display().empty());
    // A relay on TCP that passes its first client to the server and closes
    // every other: the check's connection is served, Qt's is not.
    const int relayNumber = 300 + static_cast<int>(getpid() % 300);
    const std::string serverSocket = "/tmp/.X11-unix/X" + std::to_string(server.Number());
    const FakeServer relay(FakeServer::RelayFirstThenClose, "", 6000 + relayNumber, serverSocket);
    const FakeServer silentRelay(FakeServer::RelayFirstThenSilence, "", 6000 + relayNumber + 1, serverSocket);
    struct Case {
        std::string display;
        const char* says;  // on standard error; empty: the dialog is shown
        bool oneSlotFree;  // the server has room for one more client only
    } cases[] = {
        {server.Display() + ".7", "has no screen 7", false},
        {"127.0.0.1:" + std::to_string(relayNumber), "Qt's own connection failed", false},
        {"127.0.0.1:" + std::to_string(relayNumber + 1), "Qt's own connection got no answer in 5 seconds", false},
        // The check's connection gives way to Qt's.
        {server.Display(), "", true},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                unsetenv("QT_QPA_PLATFORM");
                setenv("DISPLAY", c.display.c_str(), 1);
                std::vector<std::shared_ptr<void>> others;
                for (std::shared_ptr<void> other; c.oneSlotFree;) {
                    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
                    if (!CheckXServer(server.Display(), deadline, other).empty())
                        break;
                    others.push_back(std::move(other));
                }
                if (!others.empty())
                    others.pop_back();
                SelfClosingDialog dlg;
                const int shown = dlg.DoModal();
                std::fprintf(stderr, "why not: %s\n", WhyTheLastDialogFailed().c_str());
                std::exit(*c.says ? (shown == -1 ? 0 : 1) : (shown == IDOK ? 0 : 1));
            },
            ::testing::ExitedWithCode(0), *c.says ? c.says : "why not: \n")
            << c.display;
    }
    // A server gone since the last dialog, and another in its place: the
    // next dialog connects to that one; with none, it fails, and the host goes on.
    EXPECT_EXIT(
        {
            unsetenv("QT_QPA_PLATFORM");
            auto first = std::make_unique<BareXServer>();
            const int number = first->Number();
            setenv("DISPLAY", first->Display().c_str(), 1);
            if (SelfClosingDialog().DoModal() != IDOK)
                std::exit(1);
            first.reset();
            BareXServer second(0, number);
            if (second.Display().empty() || SelfClosingDialog().DoModal() != IDOK)
                std::exit(2);
            second.Stop();
            std::exit(SelfClosingDialog().DoModal() == -1 ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "");
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

// The display goes away under the open chooser of the real program: Qt ends
// the process, which then says so and exits as having no display (3), not
// as a cancel (1).
TEST(NoApplication, ADisplayLostUnderTheChooserIsSaidAsSuch)
{
    if (system("command -v Xvfb >/dev/null && command -v xdotool >/dev/null") != 0)
        GTEST_SKIP() << "no Xvfb or xdotool";
    BareXServer server;
    ASSERT_FALSE(server.Display().empty());
    char self[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    const std::string program = std::string(self).substr(0, std::string(self).rfind('/')) + "/orvane";
    char errors[] = "/tmp/orvane-lost-XXXXXX";
    const int errorsFd = mkstemp(errors);
    ASSERT_GE(errorsFd, 0);
    const pid_t pick = fork();
    ASSERT_GE(pick, 0);
    if (pick == 0) {
        unsetenv("QT_QPA_PLATFORM");
        setenv("DISPLAY", server.Display().c_str(), 1);
        // Nothing of the user's own is read or written.
        for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
            setenv(variable, "/nonexistent", 1);
        dup2(errorsFd, 2);
        execl(program.c_str(), "orvane", "pick", static_cast<char*>(nullptr));
        _exit(127);
    }
    // Up once its window is mapped.
    const std::string shown = "DISPLAY=" + server.Display() +
                              " xdotool search --sync --onlyvisible --name 'Choose Coordinate System' >/dev/null";
    ASSERT_EQ(system(("timeout 60 sh -c \"" + shown + "\"").c_str()), 0);
    server.Stop();
    int status = 0;
    ASSERT_EQ(waitpid(pick, &status, 0), pick);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << status;
    char said[4096] = {};
    (void)!pread(errorsFd, said, sizeof said - 1, 0);
    EXPECT_NE(std::string(said).find("the display went away while it was open"), std::string::npos) << said;
    close(errorsFd);
    unlink(errors);
}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
