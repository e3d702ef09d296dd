// The chooser's model: what the user has chosen, as one value, the
// catalogues it draws from, and the rules by which each choice leads to the
// next (kind → category → zone → method → parameters → unit). The dialog
// shows a SystemChoice and hands the user's edits to these functions; every
// rule is here, testable without a widget.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "catalog/GeogCatalog.h"
#include "catalog/PredefinedSystems.h"
#include "catalog/ProjectionMethods.h"
#include "catalog/ReferenceTables.h"
#include "module/SpatialSystem.h"

// The category list's entry after the four categories: the held system's own.
enum : int { kHeldCategoryPosition = 4 };

// One row of the parameter list.
struct ChoiceParameter {
    std::string name;
    double value = 0.0;  // not a number when `typed` is not one
    // What the user typed, as typed; empty when the value was set otherwise
    // (the list then shows the value with 18 decimals, FormatShortestFixed).
    std::string typed;
};
using ChoiceParameters = std::vector<ChoiceParameter>;

// Everything the dialog shows of a choice. Two equal ShownChoices compose the
// same system.
struct ShownChoice {
    bool projected = false;
    int category = kCustomCategoryPosition;  // 0..3, or kHeldCategoryPosition
    std::string geogName;                    // the geographic list's entry; empty: none
    int zone = -1;                           // position in the zone list; -1: none
    std::string methodName;                  // empty for a geographic system
    ChoiceParameters parameters;
    int unit = -1;  // position in the unit list; -1: none
    double unitFactor = 1.0;  // metres per unit; not a number when `unitFactorTyped` is not one
    // What the user typed in the factor edit, as typed; empty when the
    // factor was set otherwise (the unit's).
    std::string unitFactorTyped;
};
bool operator==(const ShownChoice& a, const ShownChoice& b);
inline bool operator!=(const ShownChoice& a, const ShownChoice& b) { return !(a == b); }

// The system the chooser holds: handed in, imported, found by the search or
// taken from the recent list. Left unchanged, it is the result, as given.
struct HeldSystem {
    SpatialSystem system;  // as given; no text: none
    std::string name;  // its own name (PROJCS): the category list's entry for it
    ShownChoice shown;  // what it showed when taken
    // Its method was not in the list: it joins the list while the system is held.
    bool methodAdded = false;
    // Whether a system of its method can be composed from its parameters;
    // when not, they are shown but cannot be edited.
    bool composable = true;
};

// Whether the geographic entry `geogName` is the held system's own: its
// geographic part then serves, shift and axes kept, not the catalogue's.
bool IsHeldGeographic(const HeldSystem& held, const std::string& geogName);

// What the chooser offers. Loaded when it opens; a held system's
// geographic part, method or unit that the lists lack joins them (in
// memory only).
struct ChoiceCatalogues {
    SystemCatalog geographic;  // [GCS]: shipped, then the user's
    SystemCatalog beijing1954;
    SystemCatalog xian1980;
    std::vector<ProjectionMethod> methods;
    std::vector<RefEntry> units;  // "<Custom>" first
};
ChoiceCatalogues LoadChoiceCatalogues(const std::string& gdalDataFolder);

struct SystemChoice {
    ChoiceCatalogues catalogues;
    ShownChoice shown;
    HeldSystem held;
    // The values each method showed last: coming back to a method shows them.
    std::map<std::string, ChoiceParameters> methodValues;
    // The UTM zone last applied (a Gauss-Krueger zone counts by its
    // meridian): the UTM category opens on it.
    double lastZoneMeridian = 0.0;
    bool lastZoneNorthern = true;
};

// A fresh chooser: WGS 84 as a geographic system, nothing held.
SystemChoice NewChoice(ChoiceCatalogues catalogues);

// Shows the held system as it was taken (reading it: SystemReading.h).
void ShowHeldSystem(SystemChoice& choice);

// ---- the cascade: one function per user action ----
void ChooseKind(SystemChoice& choice, bool projected);
void ChooseCategory(SystemChoice& choice, int category);
void ChooseGeogSystem(SystemChoice& choice, const std::string& name);
void ChooseZone(SystemChoice& choice, int position);
void ChooseMethod(SystemChoice& choice, int position);
// The user typed `text` as the value of row `row`: a number (blanks around it
// allowed) is taken; anything else is kept as typed and refused on OK.
void EditParameter(SystemChoice& choice, std::size_t row, const std::string& text);
void ChooseUnit(SystemChoice& choice, int position);
// The user typed `text` as the metres per unit of the "<Custom>" unit: a
// number (blanks around it allowed) is taken; anything else is kept as typed
// and refused on OK.
void EditUnitFactor(SystemChoice& choice, const std::string& text);
// A system the user defined in the editor: listed (once), and chosen where
// the geographic list takes input (not where the category fixes the system).
void AddGeogSystem(SystemChoice& choice, const std::string& name, const std::string& wkt);

// ---- what the lists show for a choice ----
std::vector<std::string> CategoryEntries(const SystemChoice& choice);
std::vector<std::string> ZoneEntries(const SystemChoice& choice);
std::vector<std::string> MethodEntries(const SystemChoice& choice);
std::vector<std::string> UnitEntries(const SystemChoice& choice);
std::vector<std::string> GeogEntries(const SystemChoice& choice);
// The text of a parameter's value cell.
std::string ParameterText(const ChoiceParameter& parameter);
// The text of the factor edit: as typed, else the factor (15 digits).
std::string UnitFactorText(const ShownChoice& shown);
// The parameter of that name (ASCII case aside); null when there is none.
const ChoiceParameter* FindParameter(const ChoiceParameters& parameters, const char* name);

// Which controls take input for a choice.
struct ControlStates {
    bool category = false;
    bool geogSystem = true;  // the geographic list, and New… beside it
    bool zone = false;
    bool method = false;
    bool parameters = false;
    bool parametersEditable = false;  // false for a held method that cannot be composed
    bool unit = false;
    bool unitFactorEditable = false;  // only for the "<Custom>" unit
};
ControlStates StatesOf(const SystemChoice& choice);

// Whether the choice is still the held system, unchanged.
bool IsUnchanged(const SystemChoice& choice);
