#include "module/Sameness.h"

#include <sstream>

#include "module/GdalSupport.h"
#include "util/NumberText.h"

// The same system under another name (a PROJ string, a composed UTM zone)
// is that system. A geographic system's axis order is no part of it (WKT1
// and PROJ strings leave it open).
bool SameExceptDatumShift(OGRSpatialReferenceH a, OGRSpatialReferenceH b)
{
    const char* options[] = {"IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=YES",
                             "CRITERION=EQUIVALENT_EXCEPT_AXIS_ORDER_GEOGCRS", nullptr};
    return OSRIsSameEx(a, b, options) != 0;
}

std::string DatumShiftOf(OGRSpatialReferenceH srs)
{
    if (!srs)
        return std::string();
    QuietGdalErrors quiet;
    std::string shift;
    double terms[7] = {};
    if (OSRGetTOWGS84(srs, terms, 7) == OGRERR_NONE) {
        shift = "+towgs84=";
        for (int i = 0; i < 7; ++i)
            shift += (i ? "," : "") + FormatGeneral(terms[i], 17);
    }
    // Grids are written only in the system's PROJ form (the form GDAL reads
    // them from): a method PROJ cannot write has none.
    char* proj = nullptr;
    const OGRErr error = OSRExportToProj4(srs, &proj);
    const GdalTextHandle owned(proj);
    if (error != OGRERR_NONE || !proj)
        return shift;
    std::istringstream words(proj);
    for (std::string word; words >> word;) {
        if (word.rfind("+nadgrids=", 0) == 0 || word.rfind("+geoidgrids=", 0) == 0)
            shift += (shift.empty() ? "" : " ") + word;
    }
    return shift;
}

bool SameSystem(OGRSpatialReferenceH a, OGRSpatialReferenceH b)
{
    if (!a || !b)
        return false;
    QuietGdalErrors quiet;
    return SameExceptDatumShift(a, b) && DatumShiftOf(a) == DatumShiftOf(b);
}
