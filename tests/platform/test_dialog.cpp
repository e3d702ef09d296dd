// Dialogs from templates: modal runs, OK and Cancel, controls by ID.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "module/Language.h"
#include "platform/Controls.h"
#include "platform/DataExchange.h"
#include "platform/Dialog.h"
#include "support/ScriptedPrompts.h"
#include "support/TestSupport.h"

namespace {

class NameDialog : public CDialog {
public:
    NameDialog() : CDialog(IDD_EDITOR_ENGLISH) { OnClicked(1078, [this] { ++radioClicks; }); }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        ++inits;
        return TRUE;
    }
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Text(dx, 1036, name);
        DDX_Text(dx, 1039, axis);
    }
    std::string name;
    double axis = 1.0;
    int inits = 0;
    int radioClicks = 0;
};

QPushButton* Button(CDialog& dlg, int id)
{
    return qobject_cast<QPushButton*>(dlg.FindControl(id));
}

}  // namespace

TEST(Dialog, ModalRunEndsWithOkAndKeepsWhatWasTyped)
{
    NameDialog dlg;
    WhenModalShows([&](QWidget*) {
        qobject_cast<QLineEdit*>(dlg.FindControl(1036))->setText("Typed name");
        QTest::mouseClick(Button(dlg, IDOK), Qt::LeftButton);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.inits, 1);
    EXPECT_EQ(dlg.name, "Typed name");
    EXPECT_EQ(dlg.FindControl(1036), nullptr) << "the window is gone after the run";
}

TEST(Dialog, EscapeAndTheCancelButtonEndWithCancel)
{
    NameDialog first;
    WhenModalShows([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(first.DoModal(), IDCANCEL);

    NameDialog second;
    WhenModalShows([&](QWidget*) { QTest::mouseClick(Button(second, IDCANCEL), Qt::LeftButton); });
    EXPECT_EQ(second.DoModal(), IDCANCEL);
}

TEST(Dialog, OkWithInvalidInputKeepsTheDialogOpen)
{
    ScriptedPrompts prompts;
    NameDialog dlg;
    int okPresses = 0;
    WhenModalShows([&](QWidget*) {
        qobject_cast<QLineEdit*>(dlg.FindControl(1039))->setText("not a number");
        QTest::mouseClick(Button(dlg, IDOK), Qt::LeftButton);
        ++okPresses;
        EXPECT_NE(dlg.FindControl(1039), nullptr) << "still open after the refused OK";
        qobject_cast<QLineEdit*>(dlg.FindControl(1039))->setText("2.5");
        QTest::mouseClick(Button(dlg, IDOK), Qt::LeftButton);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(okPresses, 1);
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].text, "Please enter a number.");
    EXPECT_DOUBLE_EQ(dlg.axis, 2.5);
}

TEST(Dialog, UnknownTemplateCannotBeMade)
{
    CDialog dlg(4242);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_FALSE(dlg.Create());
    EXPECT_EQ(dlg.GetDlgItem(1), nullptr);
    EXPECT_FALSE(dlg.UpdateData(TRUE));
}

TEST(Dialog, ControlsByIdEnableAndCarryText)
{
    NameDialog dlg;
    ASSERT_TRUE(dlg.Create());
    CWnd* edit = dlg.GetDlgItem(1036);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit, dlg.GetDlgItem(1036)) << "one handle per control";
    EXPECT_EQ(edit->GetWidget()->property("controlId").toInt(), 1036);
    EXPECT_EQ(dlg.GetDlgItem(9999), nullptr);

    EXPECT_FALSE(edit->EnableWindow(FALSE)) << "was enabled";
    EXPECT_FALSE(edit->GetWidget()->isEnabled());
    EXPECT_TRUE(edit->EnableWindow(TRUE)) << "was disabled";

    edit->SetWindowText("Beijing 1954");
    EXPECT_EQ(edit->GetWindowText(), "Beijing 1954");

    // A multi-line box gives its lines back with Windows line ends.
    CDialog chooser(IDD_CHOOSER_ENGLISH);
    ASSERT_TRUE(chooser.Create());
    CWnd* summary = chooser.GetDlgItem(1081);
    summary->SetWindowText("WGS 84\r\nDatum: WGS_1984\r\nSpheroid: WGS 84");
    EXPECT_EQ(summary->GetWindowText(), "WGS 84\r\nDatum: WGS_1984\r\nSpheroid: WGS 84");

}

TEST(Dialog, HandlersAreBoundByControlId)
{
    NameDialog dlg;
    ASSERT_TRUE(dlg.Create());
    QWidget* radio = dlg.FindControl(1078);
    ASSERT_NE(radio, nullptr);
    QTest::mouseClick(radio, Qt::LeftButton);
    EXPECT_EQ(dlg.radioClicks, 1);
}

TEST(Dialog, ReadOnlyEdits)
{
    NameDialog dlg;
    ASSERT_TRUE(dlg.Create());
    CEdit edit;
    edit.Attach(dlg.FindControl(1039));
    auto* line = qobject_cast<QLineEdit*>(dlg.FindControl(1039));
    EXPECT_FALSE(line->isReadOnly());
    edit.SetReadOnly(TRUE);
    EXPECT_TRUE(line->isReadOnly());
    line->setFocus();
    QTest::keyClicks(line, "123");
    EXPECT_EQ(line->text(), "1") << "typing into a read-only edit changes nothing";
}
