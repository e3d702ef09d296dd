// A host without a QApplication: each modal dialog makes one, and destroys it
// before it returns.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <clocale>
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
        m_hadApplication = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
        QTimer::singleShot(0, [this] { EndDialog(IDOK); });
        return TRUE;
    }
    bool m_hadApplication = false;
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

TEST(NoApplication, EachModalDialogHasAnApplicationAndLeavesNone)
{
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    // Qt sets the C locale from the environment; the host's own must stay.
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    SelfClosingDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(dlg.m_hadApplication);
    EXPECT_EQ(QCoreApplication::instance(), nullptr)
        << "destroyed with the dialog, while Qt is whole, never by exit()'s handlers";
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    SelfClosingDialog again;
    EXPECT_EQ(again.DoModal(), IDOK);
    EXPECT_TRUE(again.m_hadApplication) << "a new one for the next dialog";
    unsetenv("LC_ALL");
}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
