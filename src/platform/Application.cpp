#include "platform/Application.h"

#include <QApplication>
#include <QThread>
#include <QGuiApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "module/Language.h"
#include "platform/ConnectionWatchdog.h"
#include "platform/DisplayCheck.h"
#include "platform/QtTranslations.h"
#include "platform/XServerCheck.h"

namespace {

// Qt keeps argc and argv for the life of the application: the program's
// name, then the platform the check chose.
int g_argc = 1;
char g_name[] = "Orvane";
char g_platformOption[] = "-platform";
std::string g_platform;
char* g_argv[] = {g_name, g_platformOption, nullptr, nullptr};

// The library's own application; never destroyed (see ApplicationScope).
QApplication* g_own = nullptr;
int g_depth = 0;

// Why the last dialog had no application to show on (no display could be
// had, or Qt's own connection failed); empty once one is made or there.
std::string g_lastFailure;

// A platform that needs no display, which Qt falls back on when its
// connection to the checked one fails, rather than end the process: the
// fallback tells the library Qt failed. Empty when Qt has none.
std::string Fallback()
{
    for (const char* platform : {"offscreen", "minimal"})
        if (HavePlatformPlugin(platform))
            return platform;
    return std::string();
}

// The display a platform shows on, as a user names it.
std::string DisplayOf(const std::string& platform)
{
    const char* display = std::getenv(platform.compare(0, 3, "xcb") == 0 ? "DISPLAY" : "WAYLAND_DISPLAY");
    return platform.compare(0, 3, "xcb") == 0 ? std::string("display ") + (display ? display : "")
                                              : std::string("the Wayland display ") + (display ? display : "wayland-0");
}

QApplication* NewApplication(const std::string& platform)
{
    const char* current = std::setlocale(LC_ALL, nullptr);
    const std::string hostLocale = current ? current : "C";
    // Qt takes the options it reads out of argv: all are put back for each
    // application.
    g_platform = platform;
    g_argv[0] = g_name;
    g_argv[1] = g_platformOption;
    g_argv[2] = g_platform.data();
    g_argv[3] = nullptr;
    g_argc = 3;
    QApplication* application = new QApplication(g_argc, g_argv);
    std::setlocale(LC_ALL, hostLocale.c_str());
    return application;
}

// The library's application, made when a platform can be had; null, with
// the reason in `problem`, when none can. Qt's own connection is made after
// the check's and may still fail (the server's last client slot was the
// check's; the server went away or stopped answering meanwhile): Qt then
// falls back on a platform without a display, the application is let go at
// once, and the check's connection with it before Qt tries once more.
bool MakeOwnApplication(std::string& problem)
{
    DisplayCheck check = CheckDisplay();
    if (check.platform.empty()) {
        problem = check.problem;
        return false;
    }
    const std::string chosen = check.platform.substr(0, check.platform.find(':'));
    const std::string fallback = Fallback();
    const bool guarded = !fallback.empty() && chosen != "offscreen" && chosen != "minimal";
    bool unanswered = false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        {
            // An X server that answered the check but never answers Qt is
            // cut off rather than waited on for ever: Qt's X11 plugin then
            // fails to connect. (Its Wayland plugin would end the process.)
            ConnectionWatchdog watchdog(guarded && chosen == "xcb" ? check.peer : std::string(),
                                        std::chrono::seconds(kDisplayAnswerSeconds));
            g_own = NewApplication(guarded ? check.platform + ";" + fallback : check.platform);
            unanswered = unanswered || watchdog.CutOff();
        }
        if (!guarded || QGuiApplication::platformName() != QString::fromStdString(fallback)) {
            // Qt's connection is made: the check's may go.
            check.hold.reset();
            g_lastFailure.clear();
            return true;
        }
        delete g_own;
        g_own = nullptr;
        check.hold.reset();
    }
    problem = "cannot connect to " + DisplayOf(chosen) +
                            (unanswered ? " (Qt's own connection got no answer in " +
                                              std::to_string(kDisplayAnswerSeconds) + " seconds)"
                                        : " (Qt's own connection failed)");
    return false;
}

// Whether the library's own application lost its display (an X server that
// went away or dropped it after the last dialog): Qt would end the process
// the moment it next looked at the connection.
bool LostItsDisplay()
{
    if (!g_own || QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    auto* x11 = g_own->nativeInterface<QNativeInterface::QX11Application>();
    return x11 && XConnectionBroken(x11->connection());
}

}  // namespace

bool HaveWidgetApplication()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

std::string WhyNoDialogsFromHere(bool& noDialogs)
{
    noDialogs = false;
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return std::string();
    if (!HaveWidgetApplication()) {
        noDialogs = true;
        return "the program's Qt application has no widgets";
    }
    if (QThread::currentThread() != application->thread())
        return "the chooser is shown only from the thread of the program's Qt application";
    return std::string();
}

bool PrepareApplication()
{
    bool noDialogs = false;
    if (!WhyNoDialogsFromHere(noDialogs).empty())
        return false;
    const ApplicationScope application;
    return application.Ready();
}

QWidget* LiveWidgetAt(const void* address)
{
    if (!address || !HaveWidgetApplication())
        return nullptr;
    for (QWidget* widget : QApplication::allWidgets())
        if (widget == address)
            return widget;
    return nullptr;
}

std::string WhyNoDialogs()
{
    if (QCoreApplication::instance() && !LostItsDisplay())
        return HaveWidgetApplication() ? "" : "the program's Qt application has no widgets";
    return CheckDisplay().problem;
}

std::string WhyTheLastDialogFailed()
{
    return g_lastFailure;
}

ApplicationScope::ApplicationScope()
{
    m_outermost = g_depth++ == 0;
    // A lost display is let go with its application; the next is made anew.
    if (m_outermost && LostItsDisplay()) {
        delete g_own;
        g_own = nullptr;
    }
    if (!QCoreApplication::instance()) {
        std::string problem;
        if (!MakeOwnApplication(problem)) {
            g_lastFailure = problem;
            std::fprintf(stderr, "Orvane: no display to show a dialog on: %s\n", problem.c_str());
            return;
        }
    }
    m_ready = HaveWidgetApplication();
    if (m_ready) {
        g_lastFailure.clear();
        m_translations = std::make_unique<QtTranslationScope>(QtLocaleName());
    }
}

ApplicationScope::~ApplicationScope()
{
    m_translations.reset();
    --g_depth;
    // Windows closed with deleteLater() go now, not at some later dialog.
    if (m_outermost && g_own && QCoreApplication::instance() == g_own)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void PumpEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
