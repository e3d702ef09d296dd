// CItemEdit: the in-place editor of one cell of a CEditListCtrl.
#pragma once

#include <QLineEdit>

#include "platform/Controls.h"

// The line editor's widget: it keeps the horizontal position it was given,
// whatever moves it (the list scrolling its rows moves its children).
class ItemEditWidget : public QLineEdit {
    Q_OBJECT
public:
    explicit ItemEditWidget(QWidget* parent) : QLineEdit(parent) {}
    int m_left = 0;

Q_SIGNALS:
    void confirmed();
    void cancelled();

protected:
    void moveEvent(QMoveEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

class CItemEdit : public CEdit {
public:
    // Opens an editor over `cell` (list client coordinates) of `list`,
    // holding `text`, its left edge at cell left + 4.
    ItemEditWidget* Open(QWidget* viewport, const QRect& cell, const std::string& text);
    void Close();
    bool IsOpen() const { return m_widget != nullptr; }
    ItemEditWidget* Editor() const { return qobject_cast<ItemEditWidget*>(m_widget.data()); }

    int m_left = 0;
};
