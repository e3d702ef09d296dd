#include "controls/ItemEdit.h"

#include <QKeyEvent>

void ItemEditWidget::moveEvent(QMoveEvent* event)
{
    QLineEdit::moveEvent(event);
    if (x() != m_left)
        move(m_left, y());
}

void ItemEditWidget::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT confirmed();
        return;
    case Qt::Key_Escape:
        Q_EMIT cancelled();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void ItemEditWidget::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A popup (the editor's own context menu) takes the focus only for a while.
    if (event->reason() != Qt::PopupFocusReason)
        Q_EMIT confirmed();
}

ItemEditWidget* CItemEdit::Open(QWidget* viewport, const QRect& cell, const std::string& text)
{
    Close();
    auto* editor = new ItemEditWidget(viewport);
    m_left = cell.left() + 4;
    editor->m_left = m_left;
    editor->setFrame(false);
    editor->setGeometry(m_left, cell.top(), std::max(cell.right() + 1 - m_left, 1), cell.height());
    editor->setText(QString::fromStdString(text));
    editor->selectAll();
    Attach(editor);
    editor->show();
    editor->setFocus(Qt::MouseFocusReason);
    return editor;
}

void CItemEdit::Close()
{
    if (QWidget* editor = m_widget.data()) {
        m_widget = nullptr;
        editor->hide();
        editor->deleteLater();
    }
}
