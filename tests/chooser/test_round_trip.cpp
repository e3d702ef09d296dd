// Every EPSG projected system a user may hand in comes back as it went in
// when the user presses OK without changing anything.
#include <ogr_srs_api.h>

#include "chooser/ChooserFixture.h"

namespace {

struct CrsInfoListDeleter {
    void operator()(OSRCRSInfo** list) const { OSRDestroyCRSInfoList(list); }
};

// GDAL's WKT1 of every non-deprecated EPSG projected system.
std::vector<std::pair<std::string, std::string>> EpsgProjectedSystems()
{
    std::vector<std::pair<std::string, std::string>> systems;
    int count = 0;
    std::unique_ptr<OSRCRSInfo*, CrsInfoListDeleter> list(OSRGetCRSInfoListFromDatabase("EPSG", nullptr, &count));
    for (int i = 0; i < count; ++i) {
        const OSRCRSInfo* info = list.get()[i];
        if (info->bDeprecated || info->eType != OSR_CRS_TYPE_PROJECTED)
            continue;
        OsrHandle srs(OSRNewSpatialReference(nullptr));
        if (OSRImportFromEPSG(srs.get(), std::atoi(info->pszCode)) != OGRERR_NONE)
            continue;
        const std::string wkt = ExportToWkt(srs.get());
        if (!wkt.empty())
            systems.emplace_back(info->pszCode, wkt);
    }
    return systems;
}

}  // namespace

TEST_F(ChooserTest, EveryEpsgProjectedSystemComesBackAsItWentIn)
{
#ifdef ORVANE_SANITIZED
    // The sanitizers look for memory faults, which every eighth system shows
    // as well as all do; the plain build checks every system.
    const std::size_t stride = 8;
#else
    const std::size_t stride = 1;
#endif
    Open();
    int same = 0, different = 0, refused = 0, unknown = 0;
    std::string report;
    const auto systems = EpsgProjectedSystems();
    for (std::size_t i = 0; i < systems.size(); i += stride) {
        const auto& [code, wkt] = systems[i];
        m_prompts.Clear();
        Dlg().m_strWKT = wkt;
        Dlg().m_bUseInputSrs = true;
        Dlg().InitSelectionFromWKT();
        if (!m_prompts.Messages().empty()) {
            ++unknown;
            continue;
        }
        if (!Dlg().UpdateData(TRUE) || !Dlg().BuildWKT()) {
            ++refused;
            report += " refused:" + code;
            continue;
        }
        OsrHandle in = NewSpatialReference(wkt), out = NewSpatialReference(Dlg().m_strWKT);
        const char* outCode = out ? OSRGetAuthorityCode(out.get(), nullptr) : nullptr;
        if (out && OSRIsSame(in.get(), out.get()) && outCode && code == outCode) {
            ++same;
        } else {
            ++different;
            if (different < 40)
                report += " " + code;
        }
    }
    std::printf("EPSG round trip: %d same, %d different, %d refused, %d outside the catalogue\n", same,
                different, refused, unknown);
    EXPECT_EQ(different, 0) << report;
}
