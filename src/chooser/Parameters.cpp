// Projection parameters in the list, and the composition of the choice into WKT.
#include "catalog/PredefinedSystems.h"
#include "chooser/ProjectionDlg.h"
#include "util/NumberText.h"

namespace {
// Parameter values as the list shows them: "%.18lf".
const int kParameterDecimals = 18;
}  // namespace

void CProjectionDlg::OnSelchangeProjMethod()
{
    UpdateData(TRUE);
    const int m = m_cbProjMethod.GetCurSel();
    m_lcParams.DeleteAllItems();
    if (m >= 0 && static_cast<std::size_t>(m) < m_projMethods.size()) {
        int row = 0;
        for (const auto& [name, value] : m_projMethods[m].parameters) {
            m_lcParams.InsertItem(row, name);
            m_lcParams.SetItemText(row, 1, FormatFixed(value, kParameterDecimals));
            ++row;
        }
    }
    UpdateData(FALSE);
}

void CProjectionDlg::ReadParametersFromList()
{
    const int m = m_cbProjMethod.GetCurSel();
    if (m < 0 || static_cast<std::size_t>(m) >= m_projMethods.size())
        return;
    int row = 0;
    for (auto& parameter : m_projMethods[m].parameters) {
        if (row < m_lcParams.GetItemCount())
            parameter.second = LeadingDouble(m_lcParams.GetItemText(row, 1));
        ++row;
    }
}

bool CProjectionDlg::SelectProjectionFromSrs(OGRSpatialReferenceH srs)
{
    const int m = FindProjectionMethod(m_projMethods, AttrValue(srs, "PROJECTION"));
    if (m < 0)
        return false;
    for (auto& parameter : m_projMethods[m].parameters)
        parameter.second = OSRGetProjParm(srs, parameter.first.c_str(), 0.0, nullptr);
    m_cbProjMethod.SetCurSel(m);
    OnSelchangeProjMethod();
    return true;
}

bool CProjectionDlg::ComposeProjectedSystem(OsrHandle& srs)
{
    ReadParametersFromList();
    const int category = m_cbProjCategory.GetCurSel();
    const std::string categoryText = m_cbProjCategory.GetWindowText();
    const int m = m_cbProjMethod.GetCurSel();
    if (m < 0 || static_cast<std::size_t>(m) >= m_projMethods.size())
        return false;
    const std::map<std::string, double> parameters = m_projMethods[m].parameters;

    QuietGdalErrors quiet;
    if (category == kUtmCategoryPosition) {
        auto meridian = parameters.find("central_meridian");
        const int zone = UtmZoneOfMeridian(meridian == parameters.end() ? 0.0 : meridian->second);
        const bool northern = m_falseNorthing == 0.0;
        // GDAL accepts zones it cannot build (zone 0 among them).
        if (zone < 1 || zone > 60 || OSRSetUTM(srs.get(), zone, northern) != OGRERR_NONE)
            return false;
        // GDAL 3 leaves the system "unnamed"; hosts read the name back.
        const std::string name = AttrValue(srs.get(), "PROJCS");
        if (name.empty() || name == "unnamed")
            OSRSetProjCS(srs.get(), UtmSystemName(zone, northern).c_str());
    } else if (category == kBeijing1954CategoryPosition || category == kXian1980CategoryPosition) {
        const SystemCatalog& zones =
            category == kBeijing1954CategoryPosition ? m_beijing1954Systems : m_xian1980Systems;
        srs.reset();
        auto zone = zones.find(m_cbZone.GetWindowText());
        if (zone != zones.end())
            srs = NewSpatialReference(zone->second);
        if (!srs)
            return false;
    } else {
        OSRSetProjCS(srs.get(), categoryText.c_str());
        OSRSetProjection(srs.get(), m_projMethods[m].name.c_str());
    }
    for (const auto& [name, value] : parameters)
        OSRSetProjParm(srs.get(), name.c_str(), value);
    OSRSetLinearUnits(srs.get(), m_cbUnit.GetWindowText().c_str(), m_unitFactor);
    return true;
}

bool CProjectionDlg::BuildWKT()
{
    auto entry = g_geogSystems.find(m_cbGeogSystem.GetWindowText());
    if (entry == g_geogSystems.end())
        return false;
    OsrHandle srs = NewSpatialReference(entry->second);
    if (!srs)
        return false;
    if (m_nSystemKind != kGeographic && !ComposeProjectedSystem(srs))
        return false;
    std::string wkt = ExportToWkt(srs.get());
    // A system GDAL cannot write out is no result: never hand back an empty text.
    if (wkt.empty())
        return false;
    m_strWKT = std::move(wkt);
    return true;
}
