// Dialog data exchange and validation: members to controls and back.
#pragma once

#include <string>

#include "platform/WinTypes.h"

class CWnd;
class QWidget;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog)
    {
    }

    const BOOL m_bSaveAndValidate;  // true: controls into members
    CWnd* const m_pDlgWnd;

    // The control `id` as the current one of the exchange, or null.
    QWidget* PrepareCtrl(int id);
    int LastControlId() const { return m_lastControlId; }
    // Tells the user `message` (when saving), focuses the current control and
    // ends the exchange: every later call does nothing.
    void Fail(const std::string& message);
    bool Failed() const { return m_failed; }

private:
    int m_lastControlId = 0;
    bool m_failed = false;
};

void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// Doubles are shown with 15 significant digits, floats with 6.
void DDX_Text(CDataExchange* dx, int id, double& value);
void DDX_Text(CDataExchange* dx, int id, float& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, std::string& value);
// The index of the checked button in the radio group that starts at `firstId`
// (its buttons share a parent; ordered by ID), -1 when none is checked.
void DDX_Radio(CDataExchange* dx, int firstId, int& value);
// Checks the integer exchanged last, when saving.
void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue);
