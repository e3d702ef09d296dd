// The widget behind CListCtrl: a table that looks and behaves like a report
// list (headings, no row numbers, no selection or editing of its own).
#pragma once

#include <QTableWidget>

#include "platform/WinTypes.h"

class ReportListWidget : public QTableWidget {
    Q_OBJECT
public:
    explicit ReportListWidget(QWidget* parent = nullptr);

    DWORD ExtendedStyle() const { return m_extendedStyle; }
    void SetExtendedStyle(DWORD style);

private:
    DWORD m_extendedStyle = 0;
};
