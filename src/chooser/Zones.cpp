// The predefined projected systems: UTM and Gauss-Krueger zones.
#include "catalog/PredefinedSystems.h"
#include "chooser/ListNames.h"
#include "chooser/ProjectionDlg.h"
#include "module/GdalSupport.h"

void CProjectionDlg::InitProjCategories()
{
    m_projCategories = ProjectedCategories();
}

void CProjectionDlg::LoadBeijing1954Systems()
{
    LoadCatalogSection(kBeijing1954Section, m_beijing1954Systems);
}

void CProjectionDlg::LoadXian1980Systems()
{
    LoadCatalogSection(kXian1980Section, m_xian1980Systems);
}

void CProjectionDlg::FillZoneCombo(const std::string& category, double centralMeridian, bool north)
{
    m_cbZone.ResetContent();
    if (category == kGeographicCategory) {
        EnableControl(IDC_ZONE, false);
        return;
    }
    const SystemCatalog* zones = nullptr;
    if (category == kUtmCategory) {
        std::vector<std::string> texts;
        for (int position = 0; position < kUtmZoneCount; ++position)
            texts.push_back(UtmZoneText(position));
        m_cbZone.AddStrings(texts);
        // A meridian outside -180..180 lies in the zone of its equivalent.
        const int zone = UtmZoneOfMeridian(NormalisedMeridian(centralMeridian));
        if (zone >= 1 && zone <= 60)
            m_cbZone.SetCurSel(UtmPositionOfZone(zone, north));
        OnSelchangeZone();
        return;
    }
    if (category == kBeijing1954Category)
        zones = &m_beijing1954Systems;
    else if (category == kXian1980Category)
        zones = &m_xian1980Systems;
    if (!zones)
        return;
    m_cbZone.AddStrings(NamesOf(*zones));
    m_cbZone.SetCurSel(0);
    OnSelchangeZone();
}

void CProjectionDlg::WriteZoneParameters(int methodPosition)
{
    std::map<std::string, double>& parameters = m_projMethods[methodPosition].parameters;
    parameters["latitude_of_origin"] = m_latitudeOfOrigin;
    parameters["central_meridian"] = m_centralMeridian;
    parameters["false_northing"] = m_falseNorthing;
    parameters["false_easting"] = m_falseEasting;
    parameters["scale_factor"] = m_scaleFactor;
}

namespace {

// The five zone parameters of `srs`, with their defaults.
void ReadZoneParameters(OGRSpatialReferenceH srs, double scaleDefault, double& latitude,
                        double& meridian, double& northing, double& easting, double& scale)
{
    latitude = OSRGetProjParm(srs, "latitude_of_origin", 0.0, nullptr);
    meridian = OSRGetProjParm(srs, "central_meridian", 0.0, nullptr);
    northing = OSRGetProjParm(srs, "false_northing", 0.0, nullptr);
    easting = OSRGetProjParm(srs, "false_easting", 0.0, nullptr);
    scale = OSRGetProjParm(srs, "scale_factor", scaleDefault, nullptr);
}

}  // namespace

void CProjectionDlg::ApplyUtmZone(int position)
{
    if (position < 0 || position >= kUtmZoneCount || m_projMethods.empty())
        return;
    OsrHandle scratch = NewSpatialReference(kWgs84DefaultWkt);
    if (!scratch)
        return;
    OSRSetUTM(scratch.get(), UtmZoneOfPosition(position), UtmPositionIsNorthern(position));
    ReadZoneParameters(scratch.get(), 0.9996, m_latitudeOfOrigin, m_centralMeridian,
                       m_falseNorthing, m_falseEasting, m_scaleFactor);
    WriteZoneParameters(kTransverseMercatorPosition);
    OnSelchangeProjMethod();
}

void CProjectionDlg::ApplyGaussKruegerZone(const std::string& zoneWkt)
{
    if (zoneWkt.empty() || m_projMethods.size() <= kGaussKrugerPosition)
        return;
    OsrHandle srs = NewSpatialReference(zoneWkt);
    if (!srs)
        return;
    ReadZoneParameters(srs.get(), 1.0, m_latitudeOfOrigin, m_centralMeridian, m_falseNorthing,
                       m_falseEasting, m_scaleFactor);
    WriteZoneParameters(kGaussKrugerPosition);
    OnSelchangeProjMethod();
}

void CProjectionDlg::OnSelchangeZone()
{
    UpdateData(TRUE);
    const int category = m_cbProjCategory.GetCurSel();
    const std::string zone = m_cbZone.GetWindowText();
    const SystemCatalog* zones = nullptr;
    if (category == kUtmCategoryPosition)
        ApplyUtmZone(m_cbZone.GetCurSel());
    else if (category == kBeijing1954CategoryPosition)
        zones = &m_beijing1954Systems;
    else if (category == kXian1980CategoryPosition)
        zones = &m_xian1980Systems;
    if (zones) {
        auto it = zones->find(zone);
        if (it != zones->end())
            ApplyGaussKruegerZone(it->second);
    }
    UpdateData(FALSE);
}
