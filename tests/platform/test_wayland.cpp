// The chooser on a real Wayland compositor (Weston, headless), in a host
// with no QApplication of its own: it opens, the search list sits under
// the field, and the system confirmed is the one handed back.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <QWindow>
#include <cstdlib>
#include <ogr_srs_api.h>
#include <sstream>
#include <string>

#include "chooser/ProjectionDlg.h"
#include "interface/Orvane.h"
#include "platform/Application.h"
#include "platform/DisplayCheck.h"
#include "support/TestSupport.h"

namespace {

constexpr const char* kSocket = "orvane-test";

// Weston on its headless backend, on a socket in a runtime folder of its own.
class HeadlessWeston
{
public:
    HeadlessWeston() : m_runtime("orvane-wayland")
    {
        m_pid = fork();
        if (m_pid == 0) {
            setenv("XDG_RUNTIME_DIR", m_runtime.Path().c_str(), 1);
            unsetenv("WAYLAND_DISPLAY");
            unsetenv("DISPLAY");
            const std::string socket = std::string("--socket=") + kSocket;
            const std::string log = "--log=" + (m_runtime / "weston.log");
            execlp("weston", "weston", "--backend=headless-backend.so", socket.c_str(), log.c_str(), "--no-config",
                   "--idle-time=0", "--width=1280", "--height=800", static_cast<char*>(nullptr));
            _exit(127);
        }
        // Up when a client's round trip is answered: what the library asks.
        const auto environment = [this](const char* name) -> const char* {
            const std::string key = name;
            if (key == "QT_QPA_PLATFORM")
                return "wayland";
            if (key == "WAYLAND_DISPLAY")
                return kSocket;
            if (key == "XDG_RUNTIME_DIR")
                return m_runtime.Path().c_str();
            return nullptr;
        };
        m_up = QTest::qWaitFor(
            [&] { return m_pid > 0 && waitpid(m_pid, nullptr, WNOHANG) == 0 && !CheckDisplay(environment).platform.empty(); },
            20000);
    }
    ~HeadlessWeston()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    bool Up() const { return m_up; }
    std::string Runtime() const { return m_runtime.Path(); }
    std::string Log() const { return ReadFile(m_runtime / "weston.log"); }

private:
    TempDir m_runtime;
    pid_t m_pid = -1;
    bool m_up = false;
};

// What the chooser showed: every fault found, one a line.
std::ostringstream g_faults;
#define CHECK_THAT(condition) \
    if (!(condition))         \
    g_faults << __LINE__ << ": " #condition "\n"
// The system chosen in the search list.
std::string g_chosenCode;

// Types words whose list is wider than the dialog, checks where the list
// stands, chooses the first row with Enter and confirms with OK.
void SearchAndConfirm(QWidget* dialog)
{
    auto* field = qobject_cast<QLineEdit*>(ControlOf(dialog, IDC_SEARCH));
    auto* ok = qobject_cast<QPushButton*>(ControlOf(dialog, IDOK));
    CHECK_THAT(field && ok && QTest::qWaitForWindowExposed(dialog));
    if (!field || !ok) {
        dialog->close();
        return;
    }
    field->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(field, "pulkovo gauss");
    QTreeView* list = nullptr;
    for (QTreeView* tree : dialog->findChildren<QTreeView*>())
        list = tree->isWindow() ? tree : list;
    CHECK_THAT(list && QTest::qWaitFor([list] { return list->isVisible(); }, 5000));
    if (list && list->isVisible() && list->model()->rowCount() > 0) {
        g_chosenCode = list->model()->index(0, 1).data().toString().toStdString();
        // A popup of the dialog's window, placed against it (Wayland tells no
        // client where its windows stand): under the field, within the dialog.
        QWindow* popup = list->windowHandle();
        CHECK_THAT(popup && popup->transientParent() == dialog->windowHandle());
        CHECK_THAT(QTest::qWaitForWindowExposed(list));
        const QRect onDialog = popup->geometry().translated(-dialog->windowHandle()->geometry().topLeft());
        const QPoint underField = field->mapTo(dialog, QPoint(0, field->height() + 2));
        if (onDialog.topLeft() != underField || !QRect(QPoint(0, 0), dialog->size()).contains(onDialog))
            g_faults << "the list stands at " << onDialog.x() << "," << onDialog.y() << " (" << onDialog.width() << "x"
                     << onDialog.height() << ") on the " << dialog->width() << "x" << dialog->height()
                     << " dialog, the field's foot at " << underField.x() << "," << underField.y() << "\n";
    }
    QTest::keyClick(field, Qt::Key_Return);
    CHECK_THAT(list && !list->isVisible());
    QTest::mouseClick(ok, Qt::LeftButton);
}

}  // namespace

TEST(Wayland, TheChooserOpensSearchesAndConfirmsOnAWaylandCompositor)
{
    if (system("command -v weston >/dev/null") != 0)
        GTEST_SKIP() << "no Weston";
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    const HeadlessWeston weston;
    ASSERT_TRUE(weston.Up()) << weston.Log();
    TempDir dataHome("orvane-data-home");
    EXPECT_EXIT(
        {
            setenv("QT_QPA_PLATFORM", "wayland", 1);
            setenv("WAYLAND_DISPLAY", kSocket, 1);
            setenv("XDG_RUNTIME_DIR", weston.Runtime().c_str(), 1);
            // Qt's text input crashes on a compositor with no seat.
            setenv("QT_IM_MODULE", "none", 1);
            unsetenv("DISPLAY");
            setenv("XDG_DATA_HOME", dataHome.Path().c_str(), 1);
            setenv("XDG_STATE_HOME", (dataHome / "state").c_str(), 1);
            const ApplicationScope scope;
            if (!scope.Ready() || QGuiApplication::platformName() != "wayland") {
                fprintf(stderr, "no Wayland application: %s\n", WhyNoDialogs().c_str());
                std::exit(2);
            }
            WhenModalShows(SearchAndConfirm);
            Orvane orvane;
            const int result = orvane.DoModal();
            OGRSpatialReferenceH chosen = OSRNewSpatialReference(orvane.GetWKT());
            OGRSpatialReferenceH expected = OSRNewSpatialReference(nullptr);
            CHECK_THAT(g_chosenCode.rfind("EPSG:", 0) == 0);
            CHECK_THAT(OSRSetFromUserInput(expected, g_chosenCode.c_str()) == OGRERR_NONE);
            CHECK_THAT(result == 1);
            CHECK_THAT(chosen && OSRIsSame(chosen, expected));
            OSRDestroySpatialReference(chosen);
            OSRDestroySpatialReference(expected);
            fprintf(stderr, "%s", g_faults.str().c_str());
            std::exit(g_faults.str().empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "")
        << weston.Log();
}
