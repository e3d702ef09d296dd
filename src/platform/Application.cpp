#include "platform/Application.h"

#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "module/Language.h"
#include "platform/QtTranslations.h"

namespace {

bool DisplayAvailable()
{
    return std::getenv("QT_QPA_PLATFORM") || std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

// Qt keeps argc and argv for the life of the application.
int g_argc = 1;
char g_name[] = "Orvane";
char* g_argv[] = {g_name, nullptr};

}  // namespace

bool HaveWidgetApplication()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

ApplicationScope::ApplicationScope()
{
    if (QCoreApplication::instance()) {
        m_ready = HaveWidgetApplication();
        if (m_ready)
            m_translations = std::make_unique<QtTranslationScope>(QtLocaleName());
        return;
    }
    if (!DisplayAvailable()) {
        std::fprintf(stderr, "Orvane: no display to show a dialog on (DISPLAY is not set)\n");
        return;
    }
    const char* current = std::setlocale(LC_ALL, nullptr);
    const std::string hostLocale = current ? current : "C";
    g_argc = 1;
    m_own = std::make_unique<QApplication>(g_argc, g_argv);
    std::setlocale(LC_ALL, hostLocale.c_str());
    m_ready = true;
    m_translations = std::make_unique<QtTranslationScope>(QtLocaleName());
}

ApplicationScope::~ApplicationScope()
{
    m_translations.reset();
    if (!m_own)
        return;
    // Windows closed with deleteLater() go now, while the application that
    // owns their resources still exists.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_own.reset();
}

void PumpEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
