// Composing a spatial reference from what the user chose: plain functions of
// a value, so that every rule is testable without a dialog. The dialogs only
// read their controls into the value and show the outcome.
#pragma once

#include <functional>
#include <string>

#include <ogr_srs_api.h>

#include "catalog/SystemChoice.h"
#include "module/GdalSupport.h"

enum class CompositionProblem {
    None,
    NoGeographicSystem,  // the chosen entry is missing or unreadable
    NoZone,              // a Gauss-Krueger zone is missing or unreadable, or a UTM meridian has no zone
    BadUnitFactor,       // metres per unit not a positive finite number
    NotANumber,          // a parameter's text is not a number
    ScaleFactorZero,     // a scale factor of 0
    ParallelsMeet,       // a conic's standard parallels cancel out
    Unusable,            // GDAL or PROJ cannot compute with the result
};

struct ComposedSystem {
    std::string wkt;  // empty when refused
    CompositionProblem problem = CompositionProblem::None;
    std::string parameter;  // the parameter at fault, where one is
    std::string reason;     // PROJ's own words, for Unusable, where it has some
    SpatialSystem system;   // the result as a value (its text is `wkt`); none when refused
};

// The EPSG code of the one EPSG system a composed system is, names aside;
// empty for none. The chooser passes one that remembers what it found.
using EpsgIdentifier = std::function<std::string(const std::string& wkt)>;

// The name of a projected system composed from the lists that is no EPSG
// system (and no UTM zone as it stands): the custom category's.
inline constexpr const char* kComposedSystemName = kCustomCategory;

// The system the choice stands for:
// - unchanged, the held system, as the very text given;
// - composed otherwise, from what the dialog shows and nothing else: the
//   geographic system (the held system's own while its entry is chosen), the
//   method and every parameter of the list, the unit and its factor;
// - a composed system that is exactly one EPSG system (`identify`) is EPSG's
//   own definition, name and code; any other keeps no name it could be taken
//   for: a UTM zone exactly as the zone is named as GDAL 1.8 named it, every
//   other projected system kComposedSystemName.
// Refused with the problem (and the parameter) when it cannot be used.
ComposedSystem ComposeSystem(const SystemChoice& choice, const EpsgIdentifier& identify);
// Composed only: no search of PROJ's database, no usability check (the code
// line asks what the current choice is while the user works). `knownCode`,
// when given, receives the code of the EPSG system the draft is known to be
// exactly without that search (the held system, the Gauss-Krueger zone it
// was made of), as ComposeSystem finds it; empty when not known so.
std::string ComposeWithoutIdentity(const SystemChoice& choice, std::string* knownCode = nullptr);

// Whether PROJ can compute with `srs`, which GDAL wrote as `wkt`
// (ExportToWkt's text; empty is unusable): PROJ builds the projection of its
// PROJ definition (a scale factor of 0, a unit of 0 metres, an impossible
// ellipsoid or conic parallels are refused). PROJ's reason goes to `reason`.
// Fast enough for OK.
bool IsUsableSystem(OGRSpatialReferenceH srs, const std::string& wkt, std::string* reason = nullptr);

// The geographic system the choice builds on: the held system's own while
// its entry is chosen, the catalogue's otherwise; null for none.
OsrHandle ChosenGeographic(const SystemChoice& choice);

// Whether the held system's own values compose a system the same as it:
// else its parameters can only be shown.
bool ReproducesHeld(const ChoiceCatalogues& catalogues, const HeldSystem& held);

// The name the geographic list shows for the geographic part of `srs`:
// without ESRI's "GCS_" prefix, "UNNAMED GCS" when it has none.
std::string ListedGeogName(OGRSpatialReferenceH srs);

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
