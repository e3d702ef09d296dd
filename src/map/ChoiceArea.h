// The area the chooser's map shows for a choice, and what it notes under it.
#pragma once

#include <cmath>
#include <string>

#include <ogr_srs_api.h>

#include "catalog/SystemChoice.h"
#include "map/AreaOfUse.h"

// What of a projection says where it serves.
struct ProjectionShape {
    std::string method;  // "Transverse_Mercator"
    double meridian = std::nan(""), falseNorthing = 0;
    double parallel1 = std::nan(""), parallel2 = std::nan(""), origin = std::nan("");
    double zoneWidth = 0;  // a listed zone's width in degrees (3 or 6); 0 for any other
    double primeMeridian = 0;  // the geographic system's, east of Greenwich: the meridian counts from it
};
ProjectionShape ShapeOfChoice(const SystemChoice& choice);
// The same of a projected system (a recent one); no meridian for another.
ProjectionShape ShapeOfSystem(OGRSpatialReferenceH srs);
// Where a projection of that shape serves, within `geogArea` where it
// overlaps it (see AreaOfChoice); unbounded when its meridian is unknown.
AreaOfUse ProjectionArea(const ProjectionShape& shape, const AreaOfUse* geogArea);

// The system's own area when it has one (an EPSG system's); for a composed
// projected system, where its projection is meant to be used, within the
// geographic system's area: the band of a zone (UTM, Gauss-Krueger, any
// transverse Mercator) around its central meridian, the cap of a polar
// projection, for other methods a band around the natural origin; the
// geographic system's area otherwise (a world projection's). An unbounded
// area (the outline alone) when none is known.
AreaOfUse AreaOfChoice(const SystemChoice& choice, const AreaOfUse* systemArea, const AreaOfUse* geogArea);

// The projection's central meridian; not a number for a geographic system
// or a method without one.
double CentralMeridianOf(const ShownChoice& shown);

// Whether a projected choice's central meridian (east of Greenwich) lies
// outside the geographic system's area: "Central meridian 117°E lies outside
// ETRS89's area (Europe)"; empty when it lies inside, when the projection
// has no centre (a world or polar projection's, Krovak's), or nothing is known.
std::string CentreOutsideNote(const SystemChoice& choice, const AreaOfUse* geogArea);
