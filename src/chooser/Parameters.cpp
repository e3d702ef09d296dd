// Projection parameters in the list, and the composition of the choice into WKT.
#include <cstdlib>

#include "catalog/PredefinedSystems.h"
#include "chooser/ProjectionDlg.h"
#include "search/Identification.h"
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
    TakeListedValues(m_projMethods[m].parameters);
}

void CProjectionDlg::TakeListedValues(std::map<std::string, double>& parameters) const
{
    int row = 0;
    for (auto& parameter : parameters) {
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
        parameter.second =
            OSRGetProjParm(srs, parameter.first.c_str(), DefaultParameterValue(parameter.first), nullptr);
    m_cbProjMethod.SetCurSel(m);
    OnSelchangeProjMethod();
    return true;
}

SystemChoice CProjectionDlg::ReadChoice()
{
    ReadParametersFromList();
    return CurrentChoice();
}

SystemChoice CProjectionDlg::CurrentChoice() const
{
    SystemChoice choice;
    choice.projected = m_nSystemKind != kGeographic;
    choice.category = m_cbProjCategory.GetCurSel();
    choice.categoryText = m_cbProjCategory.GetWindowText();
    choice.geogName = m_cbGeogSystem.GetWindowText();
    if (auto entry = g_geogSystems.find(choice.geogName); entry != g_geogSystems.end())
        choice.geogWkt = entry->second;
    const SystemCatalog* zones = choice.category == kBeijing1954CategoryPosition ? &m_beijing1954Systems
                                 : choice.category == kXian1980CategoryPosition  ? &m_xian1980Systems
                                                                                 : nullptr;
    if (zones) {
        if (auto zone = zones->find(m_cbZone.GetWindowText()); zone != zones->end())
            choice.zoneWkt = zone->second;
    }
    choice.northern = m_falseNorthing == 0.0;
    const int m = m_cbProjMethod.GetCurSel();
    if (m >= 0 && static_cast<std::size_t>(m) < m_projMethods.size()) {
        choice.methodName = m_projMethods[m].name;
        choice.parameters = m_projMethods[m].parameters;
        // The values the list shows, whether or not they are kept yet.
        TakeListedValues(choice.parameters);
    }
    choice.unitName = m_cbUnit.GetWindowText();
    choice.unitFactor = m_unitFactor;
    choice.restoredWkt = m_strRestoredWKT;
    return choice;
}

bool CProjectionDlg::ComposeProjectedSystem(OsrHandle& srs)
{
    SystemChoice choice = ReadChoice();
    choice.projected = true;
    if (choice.methodName.empty())
        return false;
    const ComposedSystem composed = ComposeSystem(choice);
    srs = NewSpatialReference(composed.wkt);
    return srs != nullptr;
}

bool CProjectionDlg::BuildWKT()
{
    SystemChoice choice = ReadChoice();
    if (choice.projected && choice.methodName.empty())
        return false;
    ComposedSystem composed = ComposeSystem(choice);
    if (composed.wkt.empty())
        return false;
    m_strWKT = std::move(composed.wkt);
    // A system the user composed that is exactly one EPSG system says so; a
    // restored system comes back as it was given.
    if (m_strWKT == choice.restoredWkt)
        return true;
    OsrHandle srs = NewSpatialReference(m_strWKT);
    if (!srs || !OwnEpsgCode(srs.get()).empty())
        return true;
    const std::string code = NamedEpsgCode(srs.get());
    if (code.empty() || OSRSetAuthority(srs.get(), OSRIsProjected(srs.get()) ? "PROJCS" : "GEOGCS", "EPSG",
                                        std::atoi(code.c_str())) != OGRERR_NONE)
        return true;
    const std::string identified = ExportToWkt(srs.get());
    if (!identified.empty())
        m_strWKT = identified;
    return true;
}
