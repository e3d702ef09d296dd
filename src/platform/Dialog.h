// CDialog: a dialog made from a template of the resource library, with its
// controls found by ID, handlers bound by ID and data exchange.
#pragma once

#include <functional>
#include <map>
#include <memory>

#include <QPointer>

#include "platform/DialogWidget.h"
#include "platform/Wnd.h"

class CDataExchange;

class CDialog : public CWnd {
public:
    explicit CDialog(unsigned templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally: the result given to EndDialog (IDOK, IDCANCEL),
    // or -1 when the dialog cannot be made (no template, no display).
    virtual INT_PTR DoModal();
    // Makes the modal dialog belong to a window of another program (its X11
    // id) instead of to a window of this one.
    void SetForeignOwner(unsigned long long windowId) { m_foreignOwner = windowId; }
    // Makes and shows the dialog without a modal loop (tests, embedding).
    BOOL Create();
    void DestroyWindow();

    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* dx);
    // Controls into members (true) or members into controls (false); false
    // when a control's text does not validate (the user has been told).
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result);

    // The control with this ID, or null.
    CWnd* GetDlgItem(int id);
    QWidget* FindControl(int id) const override;
    // Makes the edit `id` read-only or editable.
    void SetEditReadOnly(int id, bool readOnly);
    // The result of the last EndDialog, 0 while the dialog runs.
    int GetResult() const { return m_result; }

    // Called by the dialog widget for a button press or Enter/Escape.
    void DispatchCommand(int id);
    void DispatchSelChange(int id);

protected:
    // Handlers by control ID, as a message map: a button's click, a combo
    // box's selection change made by the user.
    void OnClicked(int id, std::function<void()> handler);
    void OnSelChange(int id, std::function<void()> handler);

private:
    bool MakeWidget();
    void ConnectControls();
    static void GiveLabelsTheirControls(QWidget* dialog);

    unsigned m_templateId;
    CWnd* m_parent;
    unsigned long long m_foreignOwner = 0;
    // Guarded: the window it belongs to may take it along when it goes.
    QPointer<DialogWidget> m_dialog;
    int m_result = 0;
    bool m_modalRunning = false;
    std::map<int, QWidget*> m_controls;
    std::map<int, std::unique_ptr<CWnd>> m_items;
    std::map<int, std::function<void()>> m_clickHandlers;
    std::map<int, std::function<void()>> m_selChangeHandlers;
};
