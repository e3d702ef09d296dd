// Combo boxes and the report list, on a real dialog template.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTableWidget>

#include "module/Language.h"
#include "platform/Controls.h"
#include "platform/DataExchange.h"
#include "platform/Dialog.h"
#include "support/TestSupport.h"

namespace {

class ComboDialog : public CDialog {
public:
    ComboDialog() : CDialog(IDD_CHOOSER_ENGLISH)
    {
        OnSelChange(1093, [this] { ++selChanges; lastSeen = m_combo.GetCurSel(); });
    }
    void DoDataExchange(CDataExchange* dx) override
    {
        DDX_Control(dx, 1093, m_combo);
        DDX_Control(dx, 1091, m_list);
    }
    CComboBox m_combo;
    CListCtrl m_list;
    int selChanges = 0;
    int lastSeen = -2;
};

}  // namespace

TEST(ComboBox, KeepsInsertionOrderAndNotifiesOnlyForTheUsersChoice)
{
    ComboDialog dlg;
    ASSERT_TRUE(dlg.Create());
    CComboBox& combo = dlg.m_combo;
    EXPECT_EQ(combo.GetCurSel(), -1);
    EXPECT_EQ(combo.GetWindowText(), "");
    EXPECT_EQ(combo.AddString("Zulu"), 0);
    EXPECT_EQ(combo.AddString("alpha"), 1);
    EXPECT_EQ(combo.AddString("Mike"), 2);
    EXPECT_EQ(combo.GetCount(), 3);
    EXPECT_EQ(combo.GetLBText(0), "Zulu");
    EXPECT_EQ(combo.GetLBText(2), "Mike");
    std::string text;
    EXPECT_EQ(combo.GetLBText(5, text), CB_ERR);
    EXPECT_EQ(combo.GetCurSel(), -1) << "adding entries selects nothing";

    EXPECT_EQ(combo.SetCurSel(2), 2);
    EXPECT_EQ(combo.GetWindowText(), "Mike");
    EXPECT_EQ(dlg.selChanges, 0) << "SetCurSel must not run the handler";

    auto* widget = qobject_cast<QComboBox*>(dlg.FindControl(1093));
    ChooseComboEntry(widget, 1);
    EXPECT_EQ(dlg.selChanges, 1);
    EXPECT_EQ(dlg.lastSeen, 1) << "the handler sees the new selection";
    EXPECT_EQ(combo.GetWindowText(), "alpha");

    EXPECT_EQ(combo.SetCurSel(7), CB_ERR);
    EXPECT_EQ(combo.GetCurSel(), -1);
    combo.ResetContent();
    EXPECT_EQ(combo.GetCount(), 0);
    EXPECT_EQ(dlg.selChanges, 1);
}

TEST(ListCtrl, HoldsRowsOfCellsUnderColumns)
{
    ComboDialog dlg;
    ASSERT_TRUE(dlg.Create());
    CListCtrl& list = dlg.m_list;
    EXPECT_EQ(list.InsertItem(0, "no columns yet"), -1);
    EXPECT_EQ(list.InsertColumn(0, "Parameters", LVCFMT_LEFT, 150), 0);
    EXPECT_EQ(list.InsertColumn(1, "Value", LVCFMT_LEFT, 180), 1);
    list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    EXPECT_EQ(list.GetExtendedStyle(), DWORD(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES));

    auto* table = qobject_cast<QTableWidget*>(dlg.FindControl(1091));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->horizontalHeaderItem(0)->text(), "Parameters");
    EXPECT_EQ(table->columnWidth(0), 150);
    EXPECT_EQ(table->columnWidth(1), 180);
    EXPECT_TRUE(table->showGrid());

    EXPECT_EQ(list.InsertItem(0, "central_meridian"), 0);
    EXPECT_TRUE(list.SetItemText(0, 1, "117.0"));
    EXPECT_EQ(list.InsertItem(1, "false_easting"), 1);
    EXPECT_EQ(list.InsertItem(99, "scale_factor"), 2) << "past the end appends";
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetItemText(0, 0), "central_meridian");
    EXPECT_EQ(list.GetItemText(0, 1), "117.0");
    EXPECT_EQ(list.GetItemText(1, 1), "");
    EXPECT_FALSE(list.SetItemText(5, 1, "x"));
    EXPECT_EQ(list.GetItemText(5, 0), "");
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST(Controls, WithoutAWidgetDoNothing)
{
    CComboBox combo;
    EXPECT_EQ(combo.AddString("x"), CB_ERR);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(combo.GetCount(), 0);
    CListCtrl list;
    EXPECT_EQ(list.InsertColumn(0, "a"), -1);
    EXPECT_EQ(list.GetItemCount(), 0);
    CEdit edit;
    EXPECT_FALSE(edit.SetReadOnly(TRUE));
    EXPECT_EQ(edit.GetWindowText(), "");
    EXPECT_FALSE(edit.EnableWindow(FALSE));
}
