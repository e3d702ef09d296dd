#include "module/Sameness.h"

#include <algorithm>
#include <sstream>

#include "module/GdalSupport.h"

bool operator==(const DatumShift& a, const DatumShift& b)
{
    return a.hasTerms == b.hasTerms && (!a.hasTerms || a.terms == b.terms) && a.grids == b.grids;
}

DatumShift DatumShiftOf(OGRSpatialReferenceH srs)
{
    DatumShift shift;
    if (!srs)
        return shift;
    QuietGdalErrors quiet;
    shift.hasTerms = OSRGetTOWGS84(srs, shift.terms.data(), 7) == OGRERR_NONE;
    // GDAL says a system's grids only in its PROJ form (the form it reads
    // them from); a method PROJ cannot write has none.
    char* proj = nullptr;
    const OGRErr error = OSRExportToProj4(srs, &proj);
    const GdalTextHandle owned(proj);
    if (error != OGRERR_NONE || !proj)
        return shift;
    std::istringstream words(proj);
    for (std::string word; words >> word;) {
        // Kept with its key: a grid named as a geoid is not the same grid
        // named as a datum shift.
        for (const char* key : {"+nadgrids=", "+geoidgrids="}) {
            if (word.rfind(key, 0) == 0)
                shift.grids.push_back(word.substr(1));
        }
    }
    std::sort(shift.grids.begin(), shift.grids.end());
    return shift;
}

bool SameAs(OGRSpatialReferenceH a, OGRSpatialReferenceH b, Sameness criterion)
{
    if (!a || !b)
        return false;
    QuietGdalErrors quiet;
    // The same system under another name (a PROJ string, a composed UTM
    // zone) is that system. A geographic system's axis order is no part of
    // it (WKT1 and PROJ strings leave it open).
    const char* options[] = {"IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=YES",
                             "CRITERION=EQUIVALENT_EXCEPT_AXIS_ORDER_GEOGCRS", nullptr};
    if (!OSRIsSameEx(a, b, options))
        return false;
    return criterion == Sameness::ButForDatumShift || DatumShiftOf(a) == DatumShiftOf(b);
}

std::string ExactWkt(OGRSpatialReferenceH srs)
{
    std::string wkt = ExportToWkt(srs);
    const OsrHandle reread = NewSpatialReference(wkt);
    if (reread && SameAs(reread.get(), srs))
        return wkt;
    char* text = nullptr;
    const char* options[] = {"FORMAT=WKT2_2019", "MULTILINE=NO", nullptr};
    const OGRErr error = OSRExportToWktEx(srs, &text, options);
    const GdalTextHandle owned(text);
    return error == OGRERR_NONE && text ? std::string(text) : wkt;
}
