// PROJ used directly, beside GDAL: a quiet context per thread and RAII for
// PROJ's objects.
#pragma once

#include <memory>
#include <string>

#include <proj.h>

struct PjDeleter {
    void operator()(PJ* pj) const { proj_destroy(pj); }
};
using PjHandle = std::unique_ptr<PJ, PjDeleter>;

// A PROJ context of this thread's own, made once: PROJ reports nothing to
// the host's stderr, and no other thread's context is touched. Null when
// PROJ cannot make one.
PJ_CONTEXT* QuietProjContext();

// The last error PROJ reported on this thread's quiet context since
// ClearProjMessage (its own words, in English); empty for none.
std::string LastProjMessage();
void ClearProjMessage();

// Whether `prefix` (the text before a colon) is an authority GDAL or PROJ
// resolves codes of, letter case aside: EPSG, ESRI, IGNF, OGC, … and GDAL's
// own prefixes (AUTO, CRS, IAU, urn, http, …).
bool IsKnownAuthorityPrefix(const std::string& prefix);

// Whether `authority` is one of PROJ's database, spelled as there.
bool IsDatabaseAuthority(const std::string& authority);

// Whether PROJ's database holds an object (a system, datum, ellipsoid, …)
// `code` of `authority` (as spelled there: "ESRI", "IGNF", …). False for an
// authority it does not know.
bool DatabaseHasObject(const std::string& authority, const std::string& code);

// Whether `text` holds a PROJ parameter naming a file by its path
// (`+init=/path:id`, `+nadgrids=/path`, `+file=…`), anywhere (a WKT's PROJ4
// extension too). PROJ opens such files itself, whatever GDAL is told, and a
// pipe or device there would block for ever; plain names are looked up among
// PROJ's own files.
bool NamesFileForProj(const std::string& text);
