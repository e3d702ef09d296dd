// Owners for everything GDAL hands out, so that no early return leaks it,
// and the guard that keeps GDAL quiet about texts the library does not control.
#pragma once

#include <memory>
#include <string>
#include <type_traits>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <cpl_vsi.h>
#include <gdal.h>
#include <ogr_srs_api.h>

namespace gdal_detail {
template <typename T, auto Release>
struct Releaser {
    void operator()(T handle) const { Release(handle); }
};
template <typename T, auto Release>
using Owner = std::unique_ptr<std::remove_pointer_t<T>, Releaser<T, Release>>;
}  // namespace gdal_detail

// A spatial reference (reference-counted by GDAL: released, not destroyed).
using OsrHandle = gdal_detail::Owner<OGRSpatialReferenceH, OSRRelease>;
// An open raster or vector dataset.
using DatasetHandle = gdal_detail::Owner<GDALDatasetH, GDALClose>;
// A file opened through GDAL's virtual file system.
using VsiFileHandle = gdal_detail::Owner<VSILFILE*, VSIFCloseL>;
// A null-terminated list of texts (CSL*).
using StringListHandle = gdal_detail::Owner<char**, CSLDestroy>;
// A text GDAL allocated for the caller.
using GdalTextHandle = gdal_detail::Owner<char*, VSIFree>;

// How a text says which system it is.
enum class SystemText {
    // WKT, as written: nothing in it is looked up.
    Definition,
    // Whatever a user may give: WKT, PROJJSON, a PROJ string, an authority's
    // code ("EPSG:4326", "ESRI:102100"; a retired EPSG code as itself), one
    // of GDAL's names ("WGS84"). No file and no network is read for it.
    Reference,
};

// The one reading of a text into a spatial reference: null when GDAL
// refuses the text, the text is empty, or it would have PROJ open a file.
OsrHandle NewSpatialReference(const std::string& text, SystemText form = SystemText::Definition);

// A keyword and its bracket, as every WKT text begins.
bool LooksLikeWkt(const char* text);

// The WKT GDAL exports for `srs`, empty when it exports nothing.
std::string ExportToWkt(OGRSpatialReferenceH srs);

// The value of the first `key` node (child 0), or empty text.
std::string AttrValue(OGRSpatialReferenceH srs, const char* key);

// The system's own name by its kind (its GEOGCS, PROJCS or LOCAL_CS node);
// null for a system of another kind.
const char* SystemNameOf(OGRSpatialReferenceH srs);

// The name a system is shown and handed back by: a compound system's own
// (not its horizontal part's), else SystemNameOf; "Unknown" for a system
// without one, whichever spelling GDAL gives that ("unknown", "unnamed", "").
std::string DisplayNameOf(OGRSpatialReferenceH srs);
// The name of no system, and of a system without one.
extern const char kUnknownName[];  // "Unknown"

// While alive, a GDAL configuration option has `value` on this thread alone;
// the thread's own setting comes back after. The host's settings (every
// other thread's, and the process's) are never touched.
class ThreadConfigOption {
public:
    ThreadConfigOption(const char* key, const char* value) : m_key(key)
    {
        const char* previous = CPLGetThreadLocalConfigOption(key, nullptr);
        m_hadValue = previous != nullptr;
        m_previous = previous ? previous : "";
        CPLSetThreadLocalConfigOption(key, value);
    }
    ~ThreadConfigOption() { CPLSetThreadLocalConfigOption(m_key, m_hadValue ? m_previous.c_str() : nullptr); }
    ThreadConfigOption(const ThreadConfigOption&) = delete;
    ThreadConfigOption& operator=(const ThreadConfigOption&) = delete;

private:
    const char* m_key;
    bool m_hadValue = false;
    std::string m_previous;
};

// While alive, GDAL reads an EPSG code on this thread as that code's own
// system, a deprecated one's too: by default it hands back the replacement,
// which is another system (EPSG:3411, on the Hughes 1980 ellipsoid, would
// become 3413, on WGS 84's).
class EpsgCodesAsGiven {
public:
    EpsgCodesAsGiven() : m_option("OSR_USE_NON_DEPRECATED", "NO") {}

private:
    ThreadConfigOption m_option;
};

// While alive, GDAL's error messages are not printed: texts the library does
// not control get a silent default instead of noise on the host's stderr.
class QuietGdalErrors {
public:
    QuietGdalErrors() { CPLPushErrorHandler(CPLQuietErrorHandler); }
    ~QuietGdalErrors() { CPLPopErrorHandler(); }
    QuietGdalErrors(const QuietGdalErrors&) = delete;
    QuietGdalErrors& operator=(const QuietGdalErrors&) = delete;
};
