// What the chooser reads of any system GDAL reads: its kind, its names, its
// method and parameters as the system gives them, its unit.
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

SystemReading ReadSystem(const std::string& wkt);

// The position in `units` of the unit named `name` (letter case aside;
// "meter" is "metre") within 0.01 of `metresPerUnit`, the first such; a
// unit of that (lower-case) name and factor is appended when none is.
int MatchLinearUnit(std::vector<RefEntry>& units, const std::string& name, double metresPerUnit);
