#include "platform/Controls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "platform/ReportListWidget.h"

// ---- CComboBox ----

QComboBox* CComboBox::Combo() const
{
    return qobject_cast<QComboBox*>(m_widget.data());
}

void CComboBox::ResetContent()
{
    if (QComboBox* c = Combo())
        c->clear();
}

int CComboBox::AddString(const std::string& text)
{
    QComboBox* c = Combo();
    if (!c)
        return CB_ERR;
    // Qt selects the first entry added to an empty box; Windows selects nothing.
    const int selected = c->currentIndex();
    c->addItem(QString::fromStdString(text));
    if (selected < 0)
        c->setCurrentIndex(-1);
    return c->count() - 1;
}

void CComboBox::AddStrings(const std::vector<std::string>& texts)
{
    QComboBox* c = Combo();
    if (!c || texts.empty())
        return;
    QStringList list;
    list.reserve(static_cast<int>(texts.size()));
    for (const std::string& text : texts)
        list << QString::fromStdString(text);
    const int selected = c->currentIndex();
    c->addItems(list);
    if (selected < 0)
        c->setCurrentIndex(-1);
}

void CComboBox::SetStrings(const std::vector<std::string>& texts)
{
    QComboBox* c = Combo();
    if (!c)
        return;
    bool same = c->count() == static_cast<int>(texts.size());
    for (int i = 0; same && i < c->count(); ++i)
        same = QAnyStringView::compare(c->itemText(i), QUtf8StringView(texts[static_cast<std::size_t>(i)])) == 0;
    if (same) {
        c->setCurrentIndex(-1);
        return;
    }
    ResetContent();
    AddStrings(texts);
}

int CComboBox::SetCurSel(int index)
{
    QComboBox* c = Combo();
    if (!c)
        return CB_ERR;
    if (index < 0 || index >= c->count()) {
        c->setCurrentIndex(-1);
        return CB_ERR;
    }
    c->setCurrentIndex(index);
    return index;
}

int CComboBox::GetCurSel() const
{
    QComboBox* c = Combo();
    return c ? c->currentIndex() : CB_ERR;
}

int CComboBox::GetCount() const
{
    QComboBox* c = Combo();
    return c ? c->count() : 0;
}

std::string CComboBox::GetLBText(int index) const
{
    QComboBox* c = Combo();
    if (!c || index < 0 || index >= c->count())
        return std::string();
    return c->itemText(index).toStdString();
}

int CComboBox::GetLBText(int index, std::string& text) const
{
    QComboBox* c = Combo();
    if (!c || index < 0 || index >= c->count())
        return CB_ERR;
    text = c->itemText(index).toStdString();
    return static_cast<int>(text.size());
}

// ---- CEdit ----

namespace {

// A read-only edit shows the window's colour, as on Windows, so that a user
// sees at once which fields take input.
void ShowReadOnly(QWidget* edit, bool readOnly)
{
    QPalette palette = edit->palette();
    const QPalette normal = QApplication::palette(edit);
    palette.setColor(QPalette::Base, normal.color(readOnly ? QPalette::Window : QPalette::Base));
    edit->setPalette(palette);
}

}  // namespace

BOOL CEdit::SetReadOnly(BOOL readOnly)
{
    if (auto* edit = qobject_cast<QLineEdit*>(m_widget.data())) {
        edit->setReadOnly(readOnly != FALSE);
        ShowReadOnly(edit, readOnly != FALSE);
        return TRUE;
    }
    if (auto* area = qobject_cast<QPlainTextEdit*>(m_widget.data())) {
        area->setReadOnly(readOnly != FALSE);
        return TRUE;
    }
    return FALSE;
}

// ---- CListCtrl ----

QTableWidget* CListCtrl::Table() const
{
    return qobject_cast<QTableWidget*>(m_widget.data());
}

int CListCtrl::InsertColumn(int column, const std::string& heading, int format, int width)
{
    QTableWidget* t = Table();
    if (!t || column < 0)
        return -1;
    column = std::min(column, t->columnCount());
    t->insertColumn(column);
    auto* header = new QTableWidgetItem(QString::fromStdString(heading));
    Qt::Alignment align = Qt::AlignLeft;
    if (format == LVCFMT_RIGHT)
        align = Qt::AlignRight;
    else if (format == LVCFMT_CENTER)
        align = Qt::AlignHCenter;
    header->setTextAlignment(align | Qt::AlignVCenter);
    t->setHorizontalHeaderItem(column, header);
    if (width >= 0)
        t->setColumnWidth(column, width);
    return column;
}

DWORD CListCtrl::SetExtendedStyle(DWORD style)
{
    auto* list = qobject_cast<ReportListWidget*>(m_widget.data());
    if (!list)
        return 0;
    const DWORD previous = list->ExtendedStyle();
    list->SetExtendedStyle(style);
    return previous;
}

DWORD CListCtrl::GetExtendedStyle() const
{
    auto* list = qobject_cast<ReportListWidget*>(m_widget.data());
    return list ? list->ExtendedStyle() : 0;
}

int CListCtrl::InsertItem(int row, const std::string& text)
{
    QTableWidget* t = Table();
    if (!t || row < 0 || t->columnCount() == 0)
        return -1;
    row = std::min(row, t->rowCount());
    t->insertRow(row);
    t->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(text)));
    // A row is known by its first cell ("scale_factor"), not its number, to
    // a screen reader reading the row's header.
    t->setVerticalHeaderItem(row, new QTableWidgetItem(QString::fromStdString(text)));
    return row;
}

BOOL CListCtrl::SetItemText(int row, int column, const std::string& text)
{
    QTableWidget* t = Table();
    if (!t || row < 0 || row >= t->rowCount() || column < 0 || column >= t->columnCount())
        return FALSE;
    if (QTableWidgetItem* item = t->item(row, column))
        item->setText(QString::fromStdString(text));
    else
        t->setItem(row, column, new QTableWidgetItem(QString::fromStdString(text)));
    if (column == 0)
        t->setVerticalHeaderItem(row, new QTableWidgetItem(QString::fromStdString(text)));
    return TRUE;
}

std::string CListCtrl::GetItemText(int row, int column) const
{
    QTableWidget* t = Table();
    if (!t)
        return std::string();
    QTableWidgetItem* item = t->item(row, column);
    return item ? item->text().toStdString() : std::string();
}

BOOL CListCtrl::DeleteAllItems()
{
    QTableWidget* t = Table();
    if (!t)
        return FALSE;
    t->setRowCount(0);
    return TRUE;
}

int CListCtrl::GetItemCount() const
{
    QTableWidget* t = Table();
    return t ? t->rowCount() : 0;
}

