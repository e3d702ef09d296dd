// A host without a QApplication: the first dialog creates one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <cstdlib>

#include "module/Language.h"
#include "platform/Dialog.h"

namespace {

class SelfClosingDialog : public CDialog {
public:
    SelfClosingDialog() : CDialog(IDD_CHOOSER_ENGLISH) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        QTimer::singleShot(0, [this] { EndDialog(IDOK); });
        return TRUE;
    }
};

}  // namespace

// Runs first: it needs a process that has no application yet.
TEST(NoApplication, WithoutADisplayDoModalFailsInsteadOfAborting)
{
    EXPECT_EXIT(
        {
            unsetenv("QT_QPA_PLATFORM");
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            SelfClosingDialog dlg;
            std::exit(dlg.DoModal() == -1 && !QCoreApplication::instance() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "no display");
}

TEST(NoApplication, DoModalCreatesTheApplicationItNeeds)
{
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    SelfClosingDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_NE(qobject_cast<QApplication*>(QCoreApplication::instance()), nullptr);
    SelfClosingDialog again;
    EXPECT_EQ(again.DoModal(), IDOK) << "the application is reused";
}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
