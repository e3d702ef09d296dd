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

// Whether `prefix` (the text before a colon) is an authority GDAL or PROJ
// resolves codes of, letter case aside: EPSG, ESRI, IGNF, OGC, … and GDAL's
// own prefixes (AUTO, CRS, IAU, urn, http, …).
bool IsKnownAuthorityPrefix(const std::string& prefix);
