// The area the chooser's map shows for a choice, and what it notes under it.
#pragma once

#include <string>

#include "catalog/SystemChoice.h"
#include "map/AreaOfUse.h"

// The system's own area when it has one (an EPSG system's); for a composed
// projected system, where its projection is meant to be used, within the
// geographic system's area: the band of a zone (UTM, Gauss-Krueger, any
// transverse Mercator) around its central meridian, or for other methods a
// band around the natural origin; the geographic system's area otherwise.
// An unbounded area (the outline alone) when none is known.
AreaOfUse AreaOfChoice(const SystemChoice& choice, const AreaOfUse* systemArea, const AreaOfUse* geogArea);

// The projection's central meridian; not a number for a geographic system
// or a method without one.
double CentralMeridianOf(const ShownChoice& shown);

// Whether a projected choice's central meridian lies outside the
// geographic system's area: "Central meridian 117°E lies outside ETRS89's
// area (Europe)"; empty when it lies inside, or nothing is known.
std::string CentreOutsideNote(const SystemChoice& choice, const AreaOfUse* geogArea);
