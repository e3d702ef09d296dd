// What the chooser reads of any system GDAL reads: its kind, its names, its
// method and parameters as the system gives them, its unit; and the choice
// that shows a system so read.
#pragma once

#include <string>
#include <vector>

#include "catalog/SystemChoice.h"

struct SystemReading {
    enum Kind { Unreadable, OtherKind, Geographic, Projected } kind = Unreadable;
    std::string name;      // the system's own name (its GEOGCS or PROJCS)
    std::string geogName;  // its geographic part, as the geographic list shows it
    std::string geogWkt;   // its geographic part as WKT1
    // Projected only: the method as WKT1 names it (PROJ's name where WKT1 has
    // none), its parameters in WKT1's units (angles in the geographic
    // system's unit, lengths in the system's unit), and the unit.
    std::string methodName;
    ChoiceParameters parameters;
    std::string unitName;
    double metresPerUnit = 1.0;
};

SystemReading ReadSystem(const SpatialSystem& system);

// The position in `units` of the unit named `name` (letter case aside;
// "meter" is "metre") within 0.01 of `metresPerUnit`, the first such; a
// unit of that (lower-case) name and factor is appended when none is.
int MatchLinearUnit(std::vector<RefEntry>& units, const std::string& name, double metresPerUnit);

// Why a text cannot be held.
enum class HoldProblem { None, Unreadable, NotAGeographicOrProjectedSystem };

// Holds `wkt` and shows it (what the dialog shows for any system GDAL reads):
// its geographic system (its name without ESRI's "GCS_", "UNNAMED GCS" when
// it has none), its method (one the list lacks joins it), every parameter it
// carries and those of its method, its unit. An unreadable text, or one of
// another kind (a local system), leaves the choice at WGS 84 and says why.
HoldProblem HoldSystem(SystemChoice& choice, const SpatialSystem& system);
HoldProblem HoldSystem(SystemChoice& choice, const std::string& wkt);

// The inverse of composition: what the chooser shows for `wkt` (in
// `held.shown`), the lists gaining what they lack. Nothing changes when GDAL
// cannot read it as a geographic or projected system.
HoldProblem ChoiceOfSystem(const SpatialSystem& system, ChoiceCatalogues& catalogues, HeldSystem& held);
