// The selection cascade: system kind, category, and the fill steps of the
// dependent lists.
#include "catalog/PredefinedSystems.h"
#include "chooser/ListNames.h"
#include "chooser/ProjectionDlg.h"
#include "module/GdalSupport.h"

void CProjectionDlg::OnSelchangeSystemKind()
{
    UpdateData(TRUE);
    for (int id : {IDC_PROJ_METHOD, IDC_ZONE, IDC_PARAMETERS, IDC_UNIT, IDC_UNIT_FACTOR})
        EnableControl(id, true);
    m_cbProjMethod.ResetContent();
    m_cbZone.ResetContent();
    m_cbUnit.ResetContent();
    if (m_cbSystemKind.GetCurSel() != 0) {
        m_nSystemKind = kProjected;
        FillProjCategoryCombo(false);
        FillGeogSystemCombo(kCustomCategory);
        FillProjMethodCombo(kCustomCategory);
        FillUnitCombo(kCustomCategory);
        EnableControl(IDC_ZONE, false);
    } else {
        m_lcParams.DeleteAllItems();
        for (int id : {IDC_PROJ_METHOD, IDC_ZONE, IDC_PARAMETERS, IDC_UNIT, IDC_UNIT_FACTOR})
            EnableControl(id, false);
        m_nSystemKind = kGeographic;
        FillProjCategoryCombo(true);
    }
    UpdateData(FALSE);
}

void CProjectionDlg::OnSelchangeProjCategory()
{
    UpdateData(TRUE);
    if (m_nSystemKind == kGeographic)
        return;
    const unsigned category = static_cast<unsigned>(m_cbProjCategory.GetCurSel());
    if (category < m_projCategories.size()) {
        m_bUseInputSrs = false;
        const std::string& name = m_projCategories[category];
        if (category == kCustomCategoryPosition) {
            FillGeogSystemCombo(name);
            FillProjMethodCombo(name);
            FillUnitCombo(name);
            m_cbZone.ResetContent();
            EnableControl(IDC_ZONE, false);
        } else {
            FillGeogSystemCombo(name);
            FillProjMethodCombo(name);
            FillZoneCombo(name, m_centralMeridian, m_falseNorthing == 0.0);
            FillUnitCombo(name);
            EnableControl(IDC_ZONE, true);
        }
    } else {
        // The entry of the handed-in (or imported) system itself.
        m_bUseInputSrs = true;
        OsrHandle srs = NewSpatialReference(m_strWKT);
        if (!srs) {
            m_bUseInputSrs = false;
            ShowUnknownSrsMessage();
            return;
        }
        const std::string geogName = ListedGeogName(srs.get());
        char* unitName = nullptr;
        const double unitFactor = OSRGetLinearUnits(srs.get(), &unitName);
        const std::string unit = unitName ? unitName : "";
        FillGeogSystemCombo(kCustomCategory);
        SelectComboString(m_cbGeogSystem, geogName);
        OnSelchangeGeogSystem();
        FillProjMethodCombo(kCustomCategory);
        if (!SelectProjectionFromSrs(srs.get()))
            ShowUnknownSrsMessage();
        FillUnitCombo(kCustomCategory);
        SelectLinearUnit(unit, unitFactor);
        m_cbZone.ResetContent();
        EnableControl(IDC_ZONE, false);
    }
    UpdateData(FALSE);
}

void CProjectionDlg::FillProjCategoryCombo(bool geographic)
{
    m_cbProjCategory.ResetContent();
    if (geographic) {
        m_cbProjCategory.AddString(kGeographicCategory);
        EnableControl(IDC_PROJ_CATEGORY, false);
    } else {
        EnableControl(IDC_PROJ_CATEGORY, true);
        m_cbProjCategory.AddStrings(m_projCategories);
    }
    m_cbProjCategory.SetCurSel(0);
}

void CProjectionDlg::FillGeogSystemCombo(const std::string& category)
{
    m_cbGeogSystem.SetStrings(NamesOf(g_geogSystems));
    if (category == kBeijing1954Category) {
        SelectComboString(m_cbGeogSystem, kBeijing1954Section);
        EnableControl(IDC_GEOG_SYSTEM, false);
    } else if (category == kXian1980Category) {
        SelectComboString(m_cbGeogSystem, kXian1980Section);
        EnableControl(IDC_GEOG_SYSTEM, false);
    } else {
        EnableControl(IDC_GEOG_SYSTEM, true);
        SelectComboString(m_cbGeogSystem, "WGS 1984");
    }
    UpdateGeogSummary();
}

void CProjectionDlg::FillProjMethodCombo(const std::string& category)
{
    m_cbProjMethod.SetStrings(NamesOf(m_projMethods));
    if (category == kUtmCategory) {
        m_cbProjMethod.SetCurSel(kTransverseMercatorPosition);
        OnSelchangeProjMethod();
        EnableControl(IDC_PROJ_METHOD, false);
    } else if (category == kBeijing1954Category || category == kXian1980Category) {
        m_cbProjMethod.SetCurSel(kGaussKrugerPosition);
        OnSelchangeProjMethod();
        EnableControl(IDC_PROJ_METHOD, false);
    } else {
        EnableControl(IDC_PROJ_METHOD, true);
        m_cbProjMethod.SetCurSel(0);
        OnSelchangeProjMethod();
    }
}

void CProjectionDlg::FillUnitCombo(const std::string& category)
{
    m_cbUnit.SetStrings(category != kGeographicCategory ? NamesOf(m_units) : std::vector<std::string>());
    if (category == kBeijing1954Category || category == kXian1980Category || category == kUtmCategory)
        SelectComboString(m_cbUnit, "metre");
    else
        m_cbUnit.SetCurSel(0);
    OnSelchangeUnit();
}
