#include "platform/ReportListWidget.h"

#include <QHeaderView>

ReportListWidget::ReportListWidget(QWidget* parent) : QTableWidget(parent)
{
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setShowGrid(false);
    // Tab leaves the list, as it leaves any other control.
    setTabKeyNavigation(false);
}

void ReportListWidget::SetExtendedStyle(DWORD style)
{
    m_extendedStyle = style;
    setShowGrid((style & LVS_EX_GRIDLINES) != 0);
}
