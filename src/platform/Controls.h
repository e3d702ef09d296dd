// The controls the dialogs use, as handles on their Qt widgets.
#pragma once

#include <string>
#include <vector>

#include "platform/Wnd.h"

class QComboBox;
class QTableWidget;

// A drop-down list that keeps its entries in the order they were added.
class CComboBox : public CWnd {
public:
    void ResetContent();
    int AddString(const std::string& text);  // the new entry's index
    // Adds many entries at once: one refill of the list, not one per entry.
    void AddStrings(const std::vector<std::string>& texts);
    // ResetContent, then AddStrings; a list that holds `texts` already is
    // kept (with nothing selected), which spares rebuilding a long list.
    void SetStrings(const std::vector<std::string>& texts);
    // Selects entry `index`, or nothing for -1; returns CB_ERR for an index
    // out of range. Never notifies the dialog.
    int SetCurSel(int index);
    int GetCurSel() const;  // -1 when nothing is selected
    int GetCount() const;
    std::string GetLBText(int index) const;
    int GetLBText(int index, std::string& text) const;  // length, or CB_ERR

private:
    QComboBox* Combo() const;
};

class CEdit : public CWnd {
public:
    BOOL SetReadOnly(BOOL readOnly = TRUE);
};

// A report-style list: rows of cells under column headings.
class CListCtrl : public CWnd {
public:
    int InsertColumn(int column, const std::string& heading, int format = LVCFMT_LEFT,
                     int width = -1);
    DWORD SetExtendedStyle(DWORD style);  // returns the previous style
    DWORD GetExtendedStyle() const;
    int InsertItem(int row, const std::string& text);  // index of the new row, -1 on failure
    BOOL SetItemText(int row, int column, const std::string& text);
    std::string GetItemText(int row, int column) const;
    BOOL DeleteAllItems();
    int GetItemCount() const;

protected:
    QTableWidget* Table() const;
};
