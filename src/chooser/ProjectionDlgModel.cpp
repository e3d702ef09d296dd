// The chooser's model: construction, data exchange, shared helpers, the unit
// list handler.
#include "chooser/ProjectionDlg.h"

#include "module/GdalSupport.h"
#include "module/Messages.h"
#include "module/Module.h"
#include "platform/DataExchange.h"

const char kGeographicKind[] = "Geographic Coordinate System";
const char kProjectedKind[] = "Projected Coordinate System";

CProjectionDlg::CProjectionDlg(unsigned templateId, CWnd* parent) : CDialog(templateId, parent)
{
    g_geogSystems.clear();
    m_beijing1954Systems.clear();
    m_xian1980Systems.clear();

    OnClicked(IDOK, [this] { OnBnClickedOk(); });
    OnClicked(IDCANCEL, [this] { OnBnClickedCancel(); });
    OnClicked(IDC_ADD_GEOG_SYSTEM, [this] { OnBnClickedAddGeogSystem(); });
    OnClicked(IDC_IMPORT, [this] { OnBnClickedImport(); });
    OnClicked(IDC_SAVE_PRJ, [this] { OnBnClickedSavePrj(); });
    OnSelChange(IDC_SYSTEM_KIND, [this] { OnSelchangeSystemKind(); });
    OnSelChange(IDC_PROJ_CATEGORY, [this] { OnSelchangeProjCategory(); });
    OnSelChange(IDC_GEOG_SYSTEM, [this] { OnSelchangeGeogSystem(); });
    OnSelChange(IDC_PROJ_METHOD, [this] { OnSelchangeProjMethod(); });
    OnSelChange(IDC_ZONE, [this] { OnSelchangeZone(); });
    OnSelChange(IDC_UNIT, [this] { OnSelchangeUnit(); });
}

CProjectionDlg::~CProjectionDlg()
{
    m_projCategories.clear();
    m_projMethods.clear();
    m_units.clear();
    g_geogSystems.clear();
    m_beijing1954Systems.clear();
    m_xian1980Systems.clear();
}

void CProjectionDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PROJ_METHOD, m_cbProjMethod);
    DDX_Control(dx, IDC_ZONE, m_cbZone);
    DDX_Control(dx, IDC_GEOG_SYSTEM, m_cbGeogSystem);
    DDX_Control(dx, IDC_UNIT, m_cbUnit);
    DDX_Control(dx, IDC_SYSTEM_KIND, m_cbSystemKind);
    DDX_Control(dx, IDC_PROJ_CATEGORY, m_cbProjCategory);
    DDX_Control(dx, IDC_PARAMETERS, m_lcParams);
    DDX_Text(dx, IDC_UNIT_FACTOR, m_unitFactor);
}

void CProjectionDlg::LoadProjectionMethods()
{
    m_projMethods = BuildProjectionMethods();
}

void CProjectionDlg::SelectComboString(CComboBox& combo, const std::string& text)
{
    const int count = combo.GetCount();
    for (int i = 0; i < count; ++i) {
        if (combo.GetLBText(i) == text) {
            combo.SetCurSel(i);
            return;
        }
    }
}

bool CProjectionDlg::IsProjectionSupported(const std::string& name) const
{
    return !name.empty() && FindProjectionMethod(m_projMethods, name) >= 0;
}

bool CProjectionDlg::IsValidWKT(const std::string& text)
{
    return NewSpatialReference(text) != nullptr;
}

void CProjectionDlg::OnSelchangeUnit()
{
    UpdateData(TRUE);
    const int i = m_cbUnit.GetCurSel();
    if (i < 0 || static_cast<std::size_t>(i) >= m_units.size())
        return;
    m_unitFactor = m_units[static_cast<std::size_t>(i)].value;
    SetEditReadOnly(IDC_UNIT_FACTOR, i != 0);
    UpdateData(FALSE);
}

void CProjectionDlg::ShowUnknownSrsMessage()
{
    MessageBox(MessageText(MessageId::UnknownSrs), MessageText(MessageId::UnknownSrsCaption),
               MB_ICONEXCLAMATION | MB_OK);
}

std::string CProjectionDlg::GetGdalDataFolder()
{
    return ::GetGdalDataFolder();
}

void CProjectionDlg::EnableControl(int id, bool enable)
{
    if (CWnd* control = GetDlgItem(id))
        control->EnableWindow(enable ? TRUE : FALSE);
}
