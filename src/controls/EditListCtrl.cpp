#include "controls/EditListCtrl.h"

#include <algorithm>

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QItemSelectionModel>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace {

// An empty cell highlights as if it held text this wide.
const int kEmptyTextWidth = 41;
// Where a cell keeps why its text is no value (SetCellProblem).
const int kProblemRole = Qt::UserRole + 1;

// A cell's text as drawn: a value that is none behind a warning sign.
QString ShownText(const QModelIndex& index)
{
    const QString text = index.data(Qt::DisplayRole).toString();
    return index.data(kProblemRole).toString().isEmpty() ? text : QStringLiteral("\u26A0 ") + text;
}

}  // namespace

// Listens to the list widget for its owner and draws its cells.
class CEditListCtrl::Hooks : public QStyledItemDelegate {
public:
    Hooks(CEditListCtrl* owner, QTableWidget* table)
        : QStyledItemDelegate(table), m_owner(owner), m_table(table)
    {
        table->viewport()->installEventFilter(this);
        table->installEventFilter(this);
        table->setItemDelegate(this);
    }

    void Detach()
    {
        if (m_table) {
            m_table->viewport()->removeEventFilter(this);
            m_table->removeEventFilter(this);
            if (m_table->itemDelegate() == this)
                m_table->setItemDelegate(nullptr);
        }
        m_owner = nullptr;
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_owner || !m_table)
            return false;
        // A double click arrives as a second press (then a double-click event,
        // left to the list): select, then edit.
        if (watched == m_table->viewport() && event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton)
                return m_owner->OnLButtonDown(mouse->position().toPoint());
        } else if (watched == m_table && event->type() == QEvent::FocusOut) {
            m_owner->OnKillFocus();
        } else if (watched == m_table && event->type() == QEvent::FocusIn) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
                m_owner->OnKeyboardFocus();
        } else if (watched == m_table && event->type() == QEvent::KeyPress) {
            return m_owner->OnKeyDown(static_cast<QKeyEvent*>(event)->key());
        }
        return false;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        if (m_owner)
            m_owner->DrawCell(painter, option, index);
    }

private:
    CEditListCtrl* m_owner;
    QPointer<QTableWidget> m_table;
};

CEditListCtrl::CEditListCtrl() = default;

CEditListCtrl::~CEditListCtrl()
{
    m_editor.Close();
    if (m_hooks) {
        m_hooks->Detach();
        delete m_hooks.data();
    }
}

void CEditListCtrl::PreSubclassWindow()
{
    QTableWidget* table = Table();
    if (!table)
        return;
    if (m_hooks) {
        m_hooks->Detach();
        delete m_hooks.data();
    }
    m_hooks = new Hooks(this, table);
    m_nCurrentColumn = m_nCurrentRow = -1;
    m_bCellSelected = m_bActive = false;
}

bool CEditListCtrl::OnLButtonDown(const QPoint& point)
{
    QTableWidget* table = Table();
    if (!table)
        return false;
    m_bActive = true;
    const QModelIndex hit = table->indexAt(point);
    if (hit.isValid()) {
        if (m_bCellSelected && hit.row() == m_nCurrentRow && hit.column() == m_nCurrentColumn) {
            EditLabel(m_nCurrentRow);
            return true;
        }
        m_nCurrentRow = hit.row();
        m_nCurrentColumn = hit.column();
        m_bCellSelected = true;
    } else if (!m_editor.IsOpen()) {
        m_bCellSelected = false;
    }
    ShowCurrentToAssistants();
    Redraw();
    return false;
}

void CEditListCtrl::OnKeyboardFocus()
{
    QTableWidget* table = Table();
    if (!table || table->rowCount() == 0)
        return;
    if (m_nCurrentRow < 0 || m_nCurrentRow >= table->rowCount())
        m_nCurrentRow = 0;
    // The value, the one cell of a row that can change.
    m_nCurrentColumn = table->columnCount() > 1 ? 1 : 0;
    m_bCellSelected = m_bActive = true;
    table->scrollToItem(table->item(m_nCurrentRow, m_nCurrentColumn));
    ShowCurrentToAssistants();
    Redraw();
}

void CEditListCtrl::ShowCurrentToAssistants()
{
    // The list draws its own current cell; the view's current index is what
    // a screen reader follows (focus moves with it, and leaves with it).
    QTableWidget* table = Table();
    if (!table)
        return;
    const QModelIndex cell = m_bCellSelected && m_nCurrentRow >= 0
                                 ? table->model()->index(m_nCurrentRow, std::max(m_nCurrentColumn, 0))
                                 : QModelIndex();
    table->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::NoUpdate);
}

bool CEditListCtrl::OnKeyDown(int key)
{
    QTableWidget* table = Table();
    if (!table || table->rowCount() == 0 || m_editor.IsOpen())
        return false;
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (m_bCellSelected && m_nCurrentRow >= 0)
            m_nCurrentRow = std::clamp(m_nCurrentRow + (key == Qt::Key_Down ? 1 : -1), 0, table->rowCount() - 1);
        OnKeyboardFocus();
        return true;
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter with no value chosen is the dialog's (its OK button).
        if (!m_bCellSelected || m_nCurrentRow < 0)
            return false;
        m_bKeyboardEdit = true;
        EditLabel(m_nCurrentRow);
        return true;
    default:
        return false;
    }
}

void CEditListCtrl::EditLabel(int row)
{
    QTableWidget* table = Table();
    if (!table || m_bReadOnly || row < 0 || row >= table->rowCount())
        return;
    const int column = m_nCurrentColumn < 0 ? 0 : m_nCurrentColumn;
    const QRect cell = table->visualRect(table->model()->index(row, column));
    m_nEditRow = row;
    ItemEditWidget* editor = m_editor.Open(table->viewport(), cell, GetItemText(row, column));
    // Named as its row: "scale_factor", not nothing.
    editor->setAccessibleName(QString::fromStdString(GetItemText(row, 0)));
    QObject::connect(editor, &ItemEditWidget::confirmed, editor, [this] { EndEdit(true); });
    QObject::connect(editor, &ItemEditWidget::cancelled, editor, [this] { EndEdit(false); });
    Redraw();
}

void CEditListCtrl::EndEdit(bool confirmed)
{
    ItemEditWidget* editor = m_editor.Editor();
    if (!editor)
        return;
    const std::string text = editor->text().toStdString();
    const bool hadFocus = editor->hasFocus();
    // The keyboard goes back to the list before the editor goes: hidden
    // while it has the focus, it would hand it to the dialog's first
    // control for a moment (a screen reader says "Search:"). Its own leave
    // is no confirmation now.
    if (hadFocus && Table()) {
        editor->blockSignals(true);
        Table()->setFocus(Qt::OtherFocusReason);
    }
    m_editor.Close();
    // Column 0 holds names: an edit there changes nothing.
    const int row = m_nEditRow;
    const bool kept = confirmed && m_nCurrentColumn >= 1;
    if (kept)
        SetItemText(row, m_nCurrentColumn, text);
    m_nEditRow = -1;
    // The keyboard's cell stays chosen; the mouse's only while over the list.
    if (!m_bKeyboardEdit && !CursorInsideList())
        DropSelection();
    m_bKeyboardEdit = false;
    ShowCurrentToAssistants();
    Redraw();
    if (kept && m_onEdited)
        m_onEdited(row, text);
}

void CEditListCtrl::OnKillFocus()
{
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus == m_editor.GetWidget())
        return;
    // A screen reader's focus leaves the cell with the keyboard, whatever
    // the highlight under the mouse does.
    if (QTableWidget* table = Table())
        table->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    if (CursorInsideList() || !focus)
        return;
    DropSelection();
    Redraw();
}

void CEditListCtrl::SetCellProblem(int row, int column, const std::string& why)
{
    QTableWidget* table = Table();
    QTableWidgetItem* item = table ? table->item(row, column) : nullptr;
    if (!item)
        return;
    const QString text = QString::fromStdString(why);
    if (item->data(kProblemRole).toString() == text)
        return;
    item->setData(kProblemRole, text);
    item->setData(Qt::AccessibleDescriptionRole, text);
    Redraw();
}

std::string CEditListCtrl::GetCellProblem(int row, int column) const
{
    QTableWidget* table = Table();
    QTableWidgetItem* item = table ? table->item(row, column) : nullptr;
    return item ? item->data(kProblemRole).toString().toStdString() : std::string();
}

void CEditListCtrl::FocusCell(int row, int column)
{
    QTableWidget* table = Table();
    if (!table || row < 0 || row >= table->rowCount())
        return;
    table->setFocus(Qt::OtherFocusReason);
    m_nCurrentRow = row;
    m_nCurrentColumn = std::clamp(column, 0, table->columnCount() - 1);
    m_bCellSelected = m_bActive = true;
    table->scrollToItem(table->item(row, m_nCurrentColumn));
    ShowCurrentToAssistants();
    Redraw();
}

void CEditListCtrl::DropSelection()
{
    m_nCurrentRow = m_nCurrentColumn = -1;
    m_bCellSelected = false;
    m_bActive = false;
    ShowCurrentToAssistants();
}

bool CEditListCtrl::CursorInsideList() const
{
    QTableWidget* table = Table();
    if (!table)
        return false;
    return table->rect().contains(table->mapFromGlobal(QCursor::pos()));
}

void CEditListCtrl::Redraw()
{
    if (QTableWidget* table = Table())
        table->viewport()->update();
}

QRect CEditListCtrl::HighlightRect(int row, int column) const
{
    QTableWidget* table = Table();
    if (!table)
        return QRect();
    const QRect label = table->visualRect(table->model()->index(row, column));
    const QString text = ShownText(table->model()->index(row, column));
    const int width = text.isEmpty() ? kEmptyTextWidth : table->fontMetrics().horizontalAdvance(text);
    const int left = label.left() + 4;
    const int right = std::min(label.left() + width + 10, label.left() + label.width());
    return QRect(QPoint(left, label.top()), QPoint(right - 1, label.bottom()));
}

void CEditListCtrl::DrawCell(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const
{
    QTableWidget* table = Table();
    if (!table)
        return;
    const int row = index.row(), column = index.column();
    const QRect label = option.rect;
    const QPalette& palette = option.palette;
    const QString problem = index.data(kProblemRole).toString();
    // A value that is none shows as a warning, before OK refuses it.
    const QString text = ShownText(index);
    painter->save();
    QColor textColor = problem.isEmpty() ? palette.color(QPalette::Active, QPalette::Text) : QColor(0xB0, 0, 0);
    if (m_bActive && row == m_nCurrentRow && column == m_nCurrentColumn) {
        const QRect highlight = HighlightRect(row, column);
        if (m_bCellSelected) {
            textColor = palette.color(QPalette::Active, QPalette::HighlightedText);
            painter->fillRect(highlight, palette.color(QPalette::Active, QPalette::Highlight));
        }
        QStyleOptionFocusRect focus;
        focus.initFrom(table);
        focus.rect = highlight;
        focus.backgroundColor = palette.color(QPalette::Active, m_bCellSelected ? QPalette::Highlight
                                                                                  : QPalette::Base);
        table->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, table);
    }
    // The open editor shows this cell's text; nothing stale beside it.
    const bool underEditor = m_editor.IsOpen() && row == m_nEditRow &&
                             column == (m_nCurrentColumn < 0 ? 0 : m_nCurrentColumn);
    if (!underEditor) {
        const QRect textRect = label.adjusted(6, 0, 0, 0);
        painter->setPen(textColor);
        painter->setFont(option.font);
        const QString shown =
            option.fontMetrics.elidedText(text, Qt::ElideRight, std::max(textRect.width(), 0));
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    }
    painter->restore();
}
