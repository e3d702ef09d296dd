// The user's edits, each handed to the choice's rules, then shown.
#include "chooser/ProjectionDlg.h"
#include "util/NumberText.h"

void CProjectionDlg::OnSelchangeSystemKind()
{
    ChooseKind(m_choice, m_cbSystemKind.GetCurSel() == 1);
    ShowChoice();
}

void CProjectionDlg::OnSelchangeProjCategory()
{
    ChooseCategory(m_choice, m_cbProjCategory.GetCurSel());
    ShowChoice();
}

void CProjectionDlg::OnSelchangeGeogSystem()
{
    ChooseGeogSystem(m_choice, m_cbGeogSystem.GetWindowText());
    ShowChoice();
}

void CProjectionDlg::OnSelchangeZone()
{
    ChooseZone(m_choice, m_cbZone.GetCurSel());
    ShowChoice();
}

void CProjectionDlg::OnSelchangeProjMethod()
{
    ChooseMethod(m_choice, m_cbProjMethod.GetCurSel());
    ShowChoice();
}

void CProjectionDlg::OnSelchangeUnit()
{
    ChooseUnit(m_choice, m_cbUnit.GetCurSel());
    ShowChoice();
}

void CProjectionDlg::OnParameterEdited(int row, const std::string& text)
{
    if (row < 0)
        return;
    EditParameter(m_choice, static_cast<std::size_t>(row), text);
    ShowChoice();
}

void CProjectionDlg::OnUnitFactorEdited()
{
    CWnd* factor = GetDlgItem(IDC_UNIT_FACTOR);
    if (!factor)
        return;
    EditUnitFactor(m_choice, factor->GetWindowText());
    UpdateSystemCodeLater();
}
