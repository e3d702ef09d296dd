// The prompt seam: scripted answers for tests, and the real Qt dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "platform/FileDialog.h"
#include "platform/Wnd.h"
#include "support/ScriptedPrompts.h"
#include "support/TestSupport.h"

TEST(Prompts, ScriptedAnswersAreRecorded)
{
    ScriptedPrompts prompts;
    prompts.AnswerMessage(IDNO);
    EXPECT_EQ(AfxMessageBox("Overwrite?", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(AfxMessageBox("Done"), IDOK) << "unscripted: the first button";
    CWnd owner;
    EXPECT_EQ(owner.MessageBox("Unknown spatial reference!", "Choose Coordinate", MB_ICONEXCLAMATION),
              IDOK);
    ASSERT_EQ(prompts.Messages().size(), 3u);
    EXPECT_EQ(prompts.Messages()[0].text, "Overwrite?");
    EXPECT_EQ(prompts.Messages()[0].caption, "Orvane");
    EXPECT_EQ(prompts.Messages()[0].style, UINT(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(prompts.Messages()[2].caption, "Choose Coordinate");

    CFileDialog save(FALSE, ".prj", "My.prj", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     "Projection File(*.prj)|*.prj||");
    save.m_title = "Save Prj File";
    prompts.AnswerFile("/tmp/chosen.prj");
    ASSERT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.GetPathName(), "/tmp/chosen.prj");
    CFileDialog open(TRUE, "", "", OFN_HIDEREADONLY, "ALL File(*.*)|*.*||");
    EXPECT_EQ(open.DoModal(), IDCANCEL) << "unscripted file dialogs are cancelled";
    ASSERT_EQ(prompts.FileDialogs().size(), 2u);
    const FilePrompt& shown = prompts.FileDialogs()[0];
    EXPECT_FALSE(shown.open);
    EXPECT_EQ(shown.title, "Save Prj File");
    EXPECT_EQ(shown.defaultExtension, ".prj");
    EXPECT_EQ(shown.fileName, "My.prj");
    EXPECT_EQ(shown.flags, DWORD(OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT));
    EXPECT_EQ(shown.filter, "Projection File(*.prj)|*.prj||");
}

TEST(Prompts, RemovingTheScriptRestoresTheRealDialogs)
{
    {
        ScriptedPrompts outer;
        {
            ScriptedPrompts inner;
            AfxMessageBox("to inner");
            EXPECT_EQ(inner.Messages().size(), 1u);
        }
        AfxMessageBox("to outer");
        EXPECT_EQ(outer.Messages().size(), 1u);
    }
    // Now a real box: answer it as a user does.
    WhenModalShows([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), "Keep going?");
        EXPECT_EQ(box->windowTitle(), "Orvane");
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    });
    EXPECT_EQ(AfxMessageBox("Keep going?", MB_YESNO | MB_ICONQUESTION), IDNO);
}

TEST(Prompts, WindowsFiltersBecomeQtNameFilters)
{
    EXPECT_EQ(QtNameFilters("Source File|*.prj;*.img;*.tif|Prj File(*.prj)|*.prj|ALL File(*.*)|*.*||"),
              (std::vector<std::string>{"Source File (*.prj *.img *.tif)", "Prj File(*.prj)",
                                        "ALL File(*.*)"}));
    EXPECT_TRUE(QtNameFilters("").empty());
    EXPECT_TRUE(QtNameFilters("||").empty());
    EXPECT_EQ(QtNameFilters("Odd|*.x"), (std::vector<std::string>{"Odd (*.x)"}));
}

TEST(Prompts, RealSaveDialogTakesTheTypedNameAndDefaultExtension)
{
    TempDir dir("orvane-save");
    CFileDialog save(FALSE, ".prj", "My.prj", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     "Projection File(*.prj)|*.prj||");
    save.m_title = "Save Prj File";
    WhenModalShows([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Save Prj File");
        EXPECT_EQ(dialog->defaultSuffix(), "prj");
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text(), "My.prj");
        name->setText(QString::fromStdString(dir / "zone50"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    ASSERT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.GetPathName(), dir / "zone50.prj");
}
