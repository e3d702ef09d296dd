// The six templates of the resource library: every control with its ID and
// kind, labels in the template's language.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "module/Language.h"
#include "module/Module.h"
#include "platform/Dialog.h"

namespace {

enum class Kind { Button, Combo, List, Edit, MultiLineEdit, Radio };

bool HasKind(QWidget* w, Kind kind)
{
    switch (kind) {
    case Kind::Button: return qobject_cast<QPushButton*>(w) != nullptr;
    case Kind::Combo: return qobject_cast<QComboBox*>(w) != nullptr;
    case Kind::List: return qobject_cast<QTableWidget*>(w) != nullptr;
    case Kind::Edit: return qobject_cast<QLineEdit*>(w) != nullptr;
    case Kind::MultiLineEdit: return qobject_cast<QPlainTextEdit*>(w) != nullptr;
    case Kind::Radio: return qobject_cast<QRadioButton*>(w) != nullptr;
    }
    return false;
}

const std::vector<std::pair<int, Kind>> kChooserControls = {
    {1, Kind::Button},    {2, Kind::Button},    {1093, Kind::Combo}, {1062, Kind::Combo},
    {1059, Kind::Combo},  {1055, Kind::Combo},  {1058, Kind::Combo}, {1061, Kind::Combo},
    {1091, Kind::List},   {1092, Kind::Edit},   {1081, Kind::MultiLineEdit},
    {1060, Kind::Button}, {1056, Kind::Button}, {1057, Kind::Button}};

std::vector<std::pair<int, Kind>> EditorControls()
{
    std::vector<std::pair<int, Kind>> controls = {
        {1, Kind::Button},   {2, Kind::Button},   {1036, Kind::Edit},  {1084, Kind::Combo},
        {1067, Kind::Combo}, {1085, Kind::Combo}, {1087, Kind::Combo}, {1039, Kind::Edit},
        {1041, Kind::Edit},  {1044, Kind::Edit},  {1077, Kind::Edit},  {1086, Kind::Edit},
        {1088, Kind::Edit},  {1089, Kind::Edit},  {1090, Kind::Edit},  {1078, Kind::Radio},
        {1079, Kind::Radio}};
    for (int id = 1070; id <= 1075; ++id)
        controls.push_back({id, Kind::Edit});
    return controls;
}

std::string OkLabel(unsigned templateId)
{
    CDialog dlg(templateId);
    if (!dlg.Create())
        return "(no dialog)";
    return qobject_cast<QAbstractButton*>(dlg.FindControl(IDOK))->text().toStdString();
}

}  // namespace

TEST(Templates, EveryTemplateHoldsItsControls)
{
    for (unsigned id : {135u, 137u, 139u, 136u, 138u, 140u}) {
        SCOPED_TRACE(id);
        const bool chooser = id == 135 || id == 137 || id == 139;
        CDialog dlg(id);
        ASSERT_TRUE(dlg.Create());
        for (const auto& [controlId, kind] : chooser ? kChooserControls : EditorControls()) {
            QWidget* w = dlg.FindControl(controlId);
            ASSERT_NE(w, nullptr) << "control " << controlId;
            EXPECT_TRUE(HasKind(w, kind)) << "control " << controlId << " is a "
                                          << w->metaObject()->className();
        }
        EXPECT_FALSE(dlg.GetWindowText().empty()) << "a title";
    }
}

TEST(Templates, LabelsAreInTheTemplatesLanguage)
{
    EXPECT_EQ(OkLabel(135), "确定");
    EXPECT_EQ(OkLabel(139), "確定");
    EXPECT_EQ(OkLabel(137), "OK");
    EXPECT_EQ(OkLabel(136), "确定");
    EXPECT_EQ(OkLabel(140), "確定");
    EXPECT_EQ(OkLabel(138), "OK");
    CDialog simplified(135), traditional(139);
    ASSERT_TRUE(simplified.Create());
    ASSERT_TRUE(traditional.Create());
    EXPECT_EQ(simplified.GetWindowText(), "选择坐标系");
    EXPECT_EQ(traditional.GetWindowText(), "選擇座標系");
}

TEST(Templates, UnknownIdsHaveNone)
{
    EXPECT_EQ(FindDialogTemplate(134, nullptr), nullptr);
    EXPECT_EQ(FindDialogTemplate(141, nullptr), nullptr);
    std::size_t size = 1;
    ASSERT_NE(FindDialogTemplate(138, &size), nullptr);
    EXPECT_GT(size, 1000u);
}
