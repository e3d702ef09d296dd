// Composing a spatial reference from what the user chose: plain functions of
// a value, so that every rule is testable without a dialog. The dialogs only
// read their controls into the value and show the outcome.
#pragma once

#include <map>
#include <string>

#include <ogr_srs_api.h>

#include "catalog/PredefinedSystems.h"

// The whole of a choice in the chooser.
struct SystemChoice {
    bool projected = false;
    // Position in the category list; any other value is the entry of the
    // restored system itself, named by `categoryText`.
    int category = kCustomCategoryPosition;
    std::string categoryText;
    // The entry of the geographic list, and its definition in the catalogue
    // (empty when the catalogue lacks it).
    std::string geogName;
    std::string geogWkt;
    // Gauss-Krueger: the chosen zone's definition.
    std::string zoneWkt;
    // UTM: the hemisphere of the zone last applied.
    bool northern = true;
    std::string methodName;
    std::map<std::string, double> parameters;
    std::string unitName;
    double unitFactor = 1.0;
    // The system the chooser was opened on or imported; empty for none.
    std::string restoredWkt;
};

enum class CompositionProblem {
    None,
    NoGeographicSystem,  // the chosen entry is missing or unreadable
    NoZone,              // a Gauss-Krueger zone is missing or unreadable, or a UTM meridian has no zone
    BadUnitFactor,       // metres per unit not a positive finite number
    Unusable,            // GDAL or PROJ cannot compute with the result
};

struct ComposedSystem {
    std::string wkt;  // WKT1 as GDAL writes it; empty when refused
    CompositionProblem problem = CompositionProblem::None;
};

// The name the geographic list shows for the geographic part of `srs`:
// without ESRI's "GCS_" prefix, "UNNAMED GCS" when it has none.
std::string ListedGeogName(OGRSpatialReferenceH srs);

// Composes `choice`. When it equals the restored system (the same method,
// parameter values, geographic system and unit), the restored system comes
// back as given, its names, codes and axes kept; a restored system's
// geographic part stays its own while the user keeps its entry; axes that
// change coordinates (south/west grids) are kept while the method stays.
ComposedSystem ComposeSystem(const SystemChoice& choice);

// Whether PROJ can compute with `srs`, which GDAL wrote as `wkt`
// (ExportToWkt's text; empty is unusable): PROJ builds the projection of its
// PROJ definition (a scale factor of 0, a unit of 0 metres, an impossible
// ellipsoid or conic parallels are refused). Fast enough for OK.
bool IsUsableSystem(OGRSpatialReferenceH srs, const std::string& wkt);

// A geographic system as the editor defines it.
struct GeogDefinition {
    std::string name;
    std::string datumName;
    std::string ellipsoidName;
    double semiMajorAxis = 0.0;
    // One of the two gives the ellipsoid's shape: the semi-minor axis when
    // `semiMinorGiven`, the inverse flattening (0: a sphere) otherwise.
    bool semiMinorGiven = false;
    double semiMinorAxis = 0.0;
    double inverseFlattening = 0.0;
    // The shift to WGS 84 (metres, arc-seconds, ppm), written only when known.
    bool hasShift = false;
    double toWgs84[7] = {0, 0, 0, 0, 0, 0, 0};
    std::string primeMeridianName;
    double primeMeridianOffset = 0.0;  // degrees east of Greenwich
    std::string angularUnitName;
    double radiansPerUnit = 0.0;
};

enum class GeogProblem {
    None,
    BadSemiMajorAxis,      // not a positive finite number
    BadSemiMinorAxis,      // not positive, or above the semi-major axis
    BadInverseFlattening,  // neither 0 (a sphere) nor above 1
    BadAngularUnit,        // not a positive finite number of radians
    Unusable,              // GDAL or PROJ cannot use the result
};

struct ComposedGeog {
    std::string wkt;  // empty when refused
    GeogProblem problem = GeogProblem::None;
};

// The inverse flattening of the definition's ellipsoid (0 for a sphere).
double InverseFlatteningOf(const GeogDefinition& definition);

ComposedGeog ComposeGeogSystem(const GeogDefinition& definition);
