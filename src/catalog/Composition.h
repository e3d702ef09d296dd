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

// Whether PROJ can compute with `srs`: GDAL writes it as a PROJ definition
// and PROJ accepts that (a scale factor of 0, a unit of 0 metres, an
// impossible ellipsoid or conic parallels are refused). Fast enough for OK.
bool IsUsableSystem(OGRSpatialReferenceH srs);
