// The QDialog behind a CDialog: routes Enter, Escape and closing the window
// to the dialog's OK and Cancel handling, as the framework does.
#pragma once

#include <QDialog>

class CDialog;

class DialogWidget : public QDialog {
    Q_OBJECT
public:
    explicit DialogWidget(QWidget* parent = nullptr) : QDialog(parent) {}
    void SetOwner(CDialog* owner) { m_owner = owner; }

    void accept() override;
    void reject() override;

private:
    CDialog* m_owner = nullptr;
};
