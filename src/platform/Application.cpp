#include "platform/Application.h"

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "module/Language.h"
#include "platform/DisplayCheck.h"
#include "platform/QtTranslations.h"

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

// The library's application, made when a platform can be had; null, with
// the reason in `problem`, when none can.
bool MakeOwnApplication(std::string& problem)
{
    DisplayCheck check = CheckDisplay();
    if (check.platform.empty()) {
        problem = check.problem;
        return false;
    }
    const char* current = std::setlocale(LC_ALL, nullptr);
    const std::string hostLocale = current ? current : "C";
    g_platform = check.platform;
    g_argv[2] = g_platform.data();
    g_argc = 3;
    g_own = new QApplication(g_argc, g_argv);
    std::setlocale(LC_ALL, hostLocale.c_str());
    // Qt's connection is made: the check's may go.
    check.hold.reset();
    return true;
}

}  // namespace

bool HaveWidgetApplication()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

std::string WhyNoDialogs()
{
    if (QCoreApplication::instance())
        return HaveWidgetApplication() ? "" : "the program's Qt application has no widgets";
    return CheckDisplay().problem;
}

ApplicationScope::ApplicationScope()
{
    m_outermost = g_depth++ == 0;
    if (!QCoreApplication::instance()) {
        std::string problem;
        if (!MakeOwnApplication(problem)) {
            std::fprintf(stderr, "Orvane: no display to show a dialog on: %s\n", problem.c_str());
            return;
        }
    }
    m_ready = HaveWidgetApplication();
    if (m_ready)
        m_translations = std::make_unique<QtTranslationScope>(QtLocaleName());
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
