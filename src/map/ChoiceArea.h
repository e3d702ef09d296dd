// The area the chooser's map shows, and what it notes under it.
#pragma once

#include <cmath>
#include <string>

#include <ogr_srs_api.h>

#include "catalog/SystemChoice.h"
#include "map/AreaOfUse.h"

// What of a projection says where it serves: what the map shows for a
// choice or a recent system, and what it notes under it.
struct ProjectionShape {
    std::string method;  // "Transverse_Mercator"; empty for a geographic system
    double meridian = std::nan(""), falseNorthing = 0;
    double parallel1 = std::nan(""), parallel2 = std::nan(""), origin = std::nan("");
    double zoneWidth = 0;  // a listed zone's width in degrees (3 or 6); 0 for any other
    double primeMeridian = 0;  // the geographic system's, east of Greenwich: the meridian counts from it
};
// The shape of what a choice shows (reading its geographic system's prime
// meridian); none for a geographic system.
ProjectionShape ShapeOfChoice(const SystemChoice& choice);
// The same of a system (a recent one).
ProjectionShape ShapeOfSystem(OGRSpatialReferenceH srs);

// The system's own area when it has one (an EPSG system's); for a composed
// projected system, where its projection is meant to be used, within the
// geographic system's area: the band of a zone (UTM, Gauss-Krueger, any
// transverse Mercator) around its central meridian, the cap of a polar
// projection, for other methods a band around the natural origin; the
// geographic system's area otherwise (a world projection's). An unbounded
// area (the outline alone) when none is known.
AreaOfUse AreaToShow(const ProjectionShape& shape, const AreaOfUse* systemArea, const AreaOfUse* geogArea);

// Whether a projection's central meridian (east of Greenwich) lies outside
// its geographic system's area: "Central meridian 117°E lies outside
// ETRS89's area (Europe)"; empty when it lies inside, when the projection
// has no centre (a world or polar projection's, Krovak's; a geographic
// system), or nothing is known.
std::string CentreOutsideNote(const ProjectionShape& shape, const std::string& geogName, const AreaOfUse* geogArea);
