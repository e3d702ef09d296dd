#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "support/TestSupport.h"

namespace {

// The offscreen platform says at every window what it cannot do; that is no news.
void QuietOffscreenWarnings(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text.startsWith(QLatin1String("This plugin does not support")) ||
        text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

}  // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(QuietOffscreenWarnings);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // No test reaches the real user's catalogue or journals.
    TempDir dataHome("orvane-data-home");
    setenv("XDG_DATA_HOME", dataHome.Path().c_str(), 1);
    setenv("XDG_STATE_HOME", (dataHome / "state").c_str(), 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
