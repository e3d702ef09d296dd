#include "platform/Application.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

bool DisplayAvailable()
{
    return std::getenv("QT_QPA_PLATFORM") || std::getenv("DISPLAY") ||
           std::getenv("WAYLAND_DISPLAY");
}

}  // namespace

bool EnsureQApplication()
{
    if (QCoreApplication::instance())
        return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
    if (!DisplayAvailable()) {
        std::fprintf(stderr, "Orvane: no display to show a dialog on (DISPLAY is not set)\n");
        return false;
    }
    static int argc = 1;
    static char name[] = "Orvane";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> application(new QApplication(argc, argv));
    return true;
}

void PumpEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
