// Owners for what GDAL hands out, so that no early return leaks it.
#pragma once

#include <memory>
#include <string>

#include <cpl_error.h>
#include <cpl_vsi.h>
#include <ogr_srs_api.h>

struct OsrReleaser {
    void operator()(OGRSpatialReferenceH srs) const { OSRRelease(srs); }
};
using OsrHandle = std::unique_ptr<std::remove_pointer_t<OGRSpatialReferenceH>, OsrReleaser>;

// A spatial reference made from WKT, or null when GDAL refuses the text or
// the text is empty.
OsrHandle NewSpatialReference(const std::string& wkt);

// The WKT GDAL exports for `srs`, empty when it exports nothing.
std::string ExportToWkt(OGRSpatialReferenceH srs);

// The value of the first `key` node (child 0), or empty text.
std::string AttrValue(OGRSpatialReferenceH srs, const char* key);

// While alive, GDAL's error messages are not printed: texts the library does
// not control get a silent default instead of noise on the host's stderr.
class QuietGdalErrors {
public:
    QuietGdalErrors() { CPLPushErrorHandler(CPLQuietErrorHandler); }
    ~QuietGdalErrors() { CPLPopErrorHandler(); }
    QuietGdalErrors(const QuietGdalErrors&) = delete;
    QuietGdalErrors& operator=(const QuietGdalErrors&) = delete;
};
