// CWnd: a handle on one widget of a dialog, found by its control ID.
#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

#include "platform/WinTypes.h"


class CWnd {
public:
    CWnd() = default;
    explicit CWnd(QWidget* widget) : m_widget(widget) {}
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Binds the handle to a control's widget; PreSubclassWindow then lets a
    // control class add its own behaviour to the widget.
    void Attach(QWidget* widget)
    {
        m_widget = widget;
        if (widget)
            PreSubclassWindow();
    }
    QWidget* GetWidget() const { return m_widget.data(); }
    // The control of ID `id` within the window; null for none (a plain
    // window has no controls by ID).
    virtual QWidget* FindControl(int) const { return nullptr; }

    // Returns nonzero when the window was disabled before the call.
    BOOL EnableWindow(BOOL enable = TRUE);

    // The text a user reads: an edit's contents, the selected entry of a
    // combo box, a button's label, a dialog's title. Lines of a multi-line
    // edit are joined by "\r\n", as on Windows.
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;

    // A message box owned by this window; the caption defaults to the
    // library's title.
    int MessageBox(const std::string& text, const char* caption = nullptr, UINT type = MB_OK);

protected:
    virtual void PreSubclassWindow() {}

    QPointer<QWidget> m_widget;
};

// Every control carries its numeric ID in this dynamic property.
extern const char kControlIdProperty[];
