// Data exchange and validation through the controls of a real template.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRadioButton>
#include <cmath>

#include "module/Language.h"
#include "platform/DataExchange.h"
#include "platform/Dialog.h"
#include "support/ScriptedPrompts.h"
#include "support/TestSupport.h"

namespace {

class ExchangeDialog : public CDialog {
public:
    ExchangeDialog() : CDialog(IDD_EDITOR_ENGLISH) {}
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Text(dx, 1036, name);
        DDX_Text(dx, 1039, axis);
        DDX_Radio(dx, 1078, mode);
        DDX_Text(dx, 1088, degrees);
        DDV_MinMaxInt(dx, degrees, -180, 180);
        DDX_Text(dx, 1090, seconds);
    }
    QLineEdit* Edit(int id) { return qobject_cast<QLineEdit*>(FindControl(id)); }

    std::string name = "Custom GCS";
    double axis = 6378137.0;
    int mode = 1;
    int degrees = -74;
    float seconds = 51.3f;
};

}  // namespace

TEST(DataExchange, ShowsMembersInTheirControls)
{
    ExchangeDialog dlg;
    dlg.axis = M_PI / 180;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.Edit(1036)->text(), "Custom GCS");
    EXPECT_EQ(dlg.Edit(1039)->text(), "0.0174532925199433") << "15 significant digits";
    EXPECT_EQ(dlg.Edit(1088)->text(), "-74");
    EXPECT_EQ(dlg.Edit(1090)->text(), "51.3");
    auto* first = qobject_cast<QRadioButton*>(dlg.FindControl(1078));
    auto* second = qobject_cast<QRadioButton*>(dlg.FindControl(1079));
    EXPECT_FALSE(first->isChecked());
    EXPECT_TRUE(second->isChecked());

    dlg.mode = -1;
    dlg.axis = 6378137.0;
    dlg.UpdateData(FALSE);
    EXPECT_EQ(dlg.Edit(1039)->text(), "6378137");
    EXPECT_FALSE(first->isChecked());
    EXPECT_FALSE(second->isChecked());
}

TEST(DataExchange, ReadsWhatTheUserTyped)
{
    ScriptedPrompts prompts;
    ExchangeDialog dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.Edit(1036)->setText("My system");
    dlg.Edit(1039)->setText("  6378245.5 ");
    dlg.Edit(1088)->setText("180");
    dlg.Edit(1090)->setText("60.5");
    qobject_cast<QRadioButton*>(dlg.FindControl(1078))->click();
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.name, "My system");
    EXPECT_DOUBLE_EQ(dlg.axis, 6378245.5);
    EXPECT_EQ(dlg.mode, 0);
    EXPECT_EQ(dlg.degrees, 180);
    EXPECT_FLOAT_EQ(dlg.seconds, 60.5f);
    EXPECT_TRUE(prompts.Messages().empty());
}

TEST(DataExchange, RefusesTextThatIsNotANumberWithTheStandardPrompt)
{
    struct Case {
        int id;
        const char* text;
        const char* message;
    } cases[] = {
        {1039, "abc", "Please enter a number."},
        {1039, "", "Please enter a number."},
        {1039, "12abc", "Please enter a number."},
        {1039, "nan", "Please enter a number."},
        {1088, "1.5", "Please enter an integer."},
        {1088, "181", "Please enter an integer between -180 and 180."},
        {1088, "-181", "Please enter an integer between -180 and 180."},
        {1088, "99999999999", "Please enter an integer."},
        {1090, "1e40", "Please enter a number."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " in " + std::to_string(c.id));
        ScriptedPrompts prompts;
        ExchangeDialog dlg;
        ASSERT_TRUE(dlg.Create());
        dlg.Edit(c.id)->setText(c.text);
        const double axisBefore = dlg.axis;
        EXPECT_FALSE(dlg.UpdateData(TRUE));
        ASSERT_EQ(prompts.Messages().size(), 1u) << "one prompt, the exchange stops at the first failure";
        EXPECT_EQ(prompts.Messages()[0].text, c.message);
        if (c.id == 1039) {
            EXPECT_EQ(dlg.axis, axisBefore) << "a refused text leaves the member as it was";
        }
    }
}

TEST(DataExchange, LoadingNeverPrompts)
{
    ScriptedPrompts prompts;
    ExchangeDialog dlg;
    dlg.degrees = 500;  // out of range, but only reading is validated
    ASSERT_TRUE(dlg.Create());
    EXPECT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_TRUE(prompts.Messages().empty());
}
