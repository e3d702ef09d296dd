// Opening the chooser on a WKT, and closing it.
#include "catalog/PredefinedSystems.h"
#include "chooser/ProjectionDlg.h"
#include "module/Messages.h"
#include "module/Module.h"
#include "platform/Prompt.h"

namespace {

// What the restore reads of a parsed system.
struct SystemFacts {
    std::string projectedName;
    std::string geographicName;
    std::string methodName;
    std::string unitName;
    double unitFactor = 1.0;
    bool geographic = false;
};

SystemFacts ReadFacts(OGRSpatialReferenceH srs)
{
    SystemFacts facts;
    facts.projectedName = AttrValue(srs, "PROJCS");
    facts.geographicName = ListedGeogName(srs);
    facts.methodName = AttrValue(srs, "PROJECTION");
    char* unit = nullptr;
    facts.unitFactor = OSRGetLinearUnits(srs, &unit);
    facts.unitName = unit ? unit : "";
    facts.geographic = OSRIsGeographic(srs) != 0;
    return facts;
}

}  // namespace

BOOL CProjectionDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    LoadGeographicSystems();
    LoadBeijing1954Systems();
    LoadXian1980Systems();
    InitProjCategories();
    LoadProjectionMethods();
    LoadLengthUnits();
    m_lcParams.SetExtendedStyle(m_lcParams.GetExtendedStyle() | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    m_lcParams.InsertColumn(0, "Parameters", LVCFMT_LEFT, 150);
    m_lcParams.InsertColumn(1, "Value", LVCFMT_LEFT, 180);
    InitSelectionFromWKT();
    UpdateData(FALSE);
    SetUpSearch();
    return TRUE;
}

void CProjectionDlg::FillSystemKindCombo(bool geographic)
{
    m_cbSystemKind.ResetContent();
    m_cbSystemKind.AddString(kGeographicKind);
    m_cbSystemKind.AddString(kProjectedKind);
    m_cbSystemKind.SetCurSel(geographic ? 0 : 1);
    OnSelchangeSystemKind();
}

void CProjectionDlg::InitSelectionFromWKT()
{
    if (m_strWKT.empty()) {
        m_bUseInputSrs = false;
        m_strWKT = kWgs84DefaultWkt;
    }
    OsrHandle srs = NewSpatialReference(m_strWKT);
    if (!srs) {
        m_bUseInputSrs = false;
        ShowUnknownSrsMessage();
        m_strWKT = kWgs84DefaultWkt;
        srs = NewSpatialReference(m_strWKT);
    }
    SystemFacts facts = ReadFacts(srs.get());
    if (!facts.geographic && !IsProjectionSupported(facts.methodName)) {
        ShowUnknownSrsMessage();
        m_strWKT = kWgs84DefaultWkt;
        srs = NewSpatialReference(m_strWKT);
        facts = ReadFacts(srs.get());
    }
    m_strRestoredWKT = m_bUseInputSrs ? m_strWKT : std::string();
    m_cbProjMethod.ResetContent();
    m_cbZone.ResetContent();
    m_cbUnit.ResetContent();
    m_lcParams.DeleteAllItems();
    if (m_bUseInputSrs)
        AddGeogSystemIfMissing(facts.geographicName, srs.get());
    if (facts.geographic) {
        FillSystemKindCombo(true);
        FillGeogSystemCombo(kGeographicCategory);
        SelectComboString(m_cbGeogSystem, facts.geographicName);
        OnSelchangeGeogSystem();
        for (int id : {IDC_PROJ_METHOD, IDC_ZONE, IDC_PARAMETERS, IDC_UNIT, IDC_UNIT_FACTOR})
            EnableControl(id, false);
    } else {
        EnableControl(IDC_PARAMETERS, true);
        EnableControl(IDC_ZONE, false);
        FillSystemKindCombo(false);
        if (m_bUseInputSrs) {
            m_cbProjCategory.AddString(facts.projectedName);
            SelectComboString(m_cbProjCategory, facts.projectedName);
        } else {
            SelectComboString(m_cbProjCategory, kCustomCategory);
        }
        OnSelchangeProjCategory();
        FillGeogSystemCombo(kCustomCategory);
        SelectComboString(m_cbGeogSystem, facts.geographicName);
        OnSelchangeGeogSystem();
        FillProjMethodCombo(kCustomCategory);
        if (!SelectProjectionFromSrs(srs.get()))
            ShowUnknownSrsMessage();
        FillUnitCombo(kCustomCategory);
        SelectLinearUnit(facts.unitName, facts.unitFactor);
    }
    UpdateData(FALSE);
}

void CProjectionDlg::OnBnClickedOk()
{
    if (!UpdateData(TRUE))
        return;
    if (BuildWKT()) {
        RememberChoice();
        CDialog::OnOK();
        return;
    }
    AfxMessageBox(MessageText(MessageId::CoordinateSetError));
}

void CProjectionDlg::OnBnClickedCancel()
{
    CDialog::OnCancel();
}
