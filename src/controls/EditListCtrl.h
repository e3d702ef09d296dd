// CEditListCtrl: a report list whose cells are selected and edited one at a
// time. The first click on a cell selects that cell (not its row), a second
// click on it opens an editor over it; Enter or leaving the editor writes the
// text back, Escape drops it. The first column's texts never change. From the
// keyboard, coming to the list selects a value, Up and Down move between
// rows, F2 or Enter edit the value; Tab leaves the list.
#pragma once

#include <QPointer>

#include <functional>
#include <string>

#include "controls/ItemEdit.h"
#include "platform/Controls.h"

class QPainter;
class QStyleOptionViewItem;
class QModelIndex;

class CEditListCtrl : public CListCtrl {
public:
    CEditListCtrl();
    ~CEditListCtrl() override;

    // Opens the editor on `row` in the current column (not while read-only).
    void EditLabel(int row);
    // Read-only, cells are still chosen but no editor opens.
    void SetReadOnly(bool readOnly) { m_bReadOnly = readOnly; }
    bool IsReadOnly() const { return m_bReadOnly; }
    // Called with the row and the text when an edit is kept.
    void SetEditedHandler(std::function<void(int row, const std::string& text)> handler)
    {
        m_onEdited = std::move(handler);
    }

    // Marks a cell whose text is no value it can take, with why ("The value
    // of scale_factor is not a number."): drawn as a warning, told in its
    // tooltip and to a screen reader; an empty `why` clears the mark.
    void SetCellProblem(int row, int column, const std::string& why);
    std::string GetCellProblem(int row, int column) const;
    // Gives the keyboard to a cell, as if the user had gone to it.
    void FocusCell(int row, int column);

    int GetCurrentRow() const { return m_nCurrentRow; }
    int GetCurrentColumn() const { return m_nCurrentColumn; }
    bool IsCellSelected() const { return m_bCellSelected; }
    bool IsEditing() const { return m_editor.IsOpen(); }
    CItemEdit& GetEditor() { return m_editor; }

    // The rectangle the current cell's highlight fills, in list client
    // coordinates (right and bottom exclusive, as on Windows).
    QRect HighlightRect(int row, int column) const;

    // Called by the widget's event filter and delegate.
    bool OnLButtonDown(const QPoint& point);
    void OnKillFocus();
    void OnKeyboardFocus();
    // True when the key was the list's.
    bool OnKeyDown(int key);
    void DrawCell(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;

protected:
    void PreSubclassWindow() override;

private:
    class Hooks;
    void EndEdit(bool confirmed);
    void DropSelection();
    void ShowCurrentToAssistants();
    bool CursorInsideList() const;
    void Redraw();

    int m_nCurrentColumn = -1;
    int m_nCurrentRow = -1;
    bool m_bCellSelected = false;
    bool m_bActive = false;
    int m_nEditRow = -1;
    bool m_bKeyboardEdit = false;  // the open editor came from F2 or Enter
    bool m_bReadOnly = false;
    std::function<void(int, const std::string&)> m_onEdited;
    CItemEdit m_editor;
    QPointer<Hooks> m_hooks;  // owned by the list widget
};
