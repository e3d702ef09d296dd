#include "catalog/SystemChoice.h"

#include <cmath>

#include "module/GdalSupport.h"
#include "util/NumberText.h"
#include "util/Text.h"

namespace {

const int kParameterDecimals = 18;

// Parameter values as the list shows them: "%.18lf".
// The unit factor as the edit shows it: 15 significant digits.
const int kUnitFactorDigits = 15;

// The geographic system the projected categories start from.
const char kDefaultGeogEntry[] = "WGS 1984";

bool SameValue(double a, double b)
{
    // Not a number is nothing the user chose: never the same as anything.
    return a == b;
}

bool IsGaussKrueger(int category)
{
    return category == kBeijing1954CategoryPosition || category == kXian1980CategoryPosition;
}

const SystemCatalog* ZonesOf(const SystemChoice& choice)
{
    if (choice.shown.category == kBeijing1954CategoryPosition)
        return &choice.catalogues.beijing1954;
    if (choice.shown.category == kXian1980CategoryPosition)
        return &choice.catalogues.xian1980;
    return nullptr;
}

std::string EntryIfListed(const SystemCatalog& catalogue, const std::string& name)
{
    return catalogue.count(name) ? name : std::string();
}

int PositionOfUnit(const std::vector<RefEntry>& units, const std::string& name)
{
    for (std::size_t i = 0; i < units.size(); ++i)
        if (units[i].name == name)
            return static_cast<int>(i);
    return -1;
}

ChoiceParameters DefaultParameters(const ProjectionMethod& method)
{
    ChoiceParameters parameters;
    for (const auto& [name, value] : method.parameters)
        parameters.push_back(ChoiceParameter{name, value, std::string()});
    return parameters;
}

// Shows method `position` with the values it showed last.
void ShowMethod(SystemChoice& choice, int position)
{
    const std::vector<ProjectionMethod>& methods = choice.catalogues.methods;
    if (position < 0 || static_cast<std::size_t>(position) >= methods.size())
        return;
    const ProjectionMethod& method = methods[static_cast<std::size_t>(position)];
    choice.shown.methodName = method.name;
    const auto remembered = choice.methodValues.find(method.name);
    choice.shown.parameters =
        remembered != choice.methodValues.end() ? remembered->second : DefaultParameters(method);
}

void RememberShownValues(SystemChoice& choice)
{
    if (choice.shown.projected && !choice.shown.methodName.empty())
        choice.methodValues[choice.shown.methodName] = choice.shown.parameters;
}

void SetParameter(ChoiceParameters& parameters, const char* name, double value)
{
    for (ChoiceParameter& p : parameters) {
        if (p.name == name) {
            p = ChoiceParameter{name, value, std::string()};
            return;
        }
    }
    parameters.push_back(ChoiceParameter{name, value, std::string()});
}

// Writes a zone's five parameters into the method on show (Transverse
// Mercator for UTM, Gauss-Kruger for the Chinese zones).
void WriteZoneParameters(SystemChoice& choice, const ZoneParameters& zone)
{
    ChoiceParameters& p = choice.shown.parameters;
    SetParameter(p, "latitude_of_origin", zone.latitudeOfOrigin);
    SetParameter(p, "central_meridian", zone.centralMeridian);
    SetParameter(p, "false_northing", zone.falseNorthing);
    SetParameter(p, "false_easting", zone.falseEasting);
    SetParameter(p, "scale_factor", zone.scaleFactor);
    choice.lastZoneMeridian = zone.centralMeridian;
    choice.lastZoneNorthern = IsNorthernFalseNorthing(zone.falseNorthing);
    RememberShownValues(choice);
}

void ApplyZone(SystemChoice& choice)
{
    const int position = choice.shown.zone;
    if (position < 0)
        return;
    if (choice.shown.category == kUtmCategoryPosition) {
        if (position < kUtmZoneCount)
            WriteZoneParameters(choice, UtmParameters(UtmZoneOfPosition(position), UtmPositionIsNorthern(position)));
        return;
    }
    const SystemCatalog* zones = ZonesOf(choice);
    if (!zones || static_cast<std::size_t>(position) >= zones->size())
        return;
    auto zone = zones->begin();
    std::advance(zone, position);
    const OsrHandle srs = NewSpatialReference(zone->second);
    if (!srs)
        return;
    auto parm = [&](const char* name, double fallback) { return OSRGetProjParm(srs.get(), name, fallback, nullptr); };
    WriteZoneParameters(choice, ZoneParameters{parm("latitude_of_origin", 0.0), parm("central_meridian", 0.0),
                                               parm("false_northing", 0.0), parm("false_easting", 0.0),
                                               parm("scale_factor", 1.0)});
}

void ChooseUnitByName(SystemChoice& choice, const std::string& name)
{
    ChooseUnit(choice, PositionOfUnit(choice.catalogues.units, name));
}

std::string DefaultGeogEntry(const SystemChoice& choice)
{
    return EntryIfListed(choice.catalogues.geographic, kDefaultGeogEntry);
}

// The geographic entry a projected category starts from: the catalogue's
// default, but never instead of the held system's own geographic system
// while it is shown (a user's datum shift would be traded for the default's).
std::string GeogEntryToKeep(const SystemChoice& choice)
{
    if (IsHeldGeographic(choice.held, choice.shown.geogName))
        return choice.shown.geogName;
    return DefaultGeogEntry(choice);
}

}  // namespace

bool IsHeldGeographic(const HeldSystem& held, const std::string& geogName)
{
    return held.system.IsSystem() && !geogName.empty() && geogName == held.shown.geogName;
}

bool operator==(const ShownChoice& a, const ShownChoice& b)
{
    if (a.projected != b.projected || a.geogName != b.geogName)
        return false;
    if (!a.projected)
        return true;
    if (a.category != b.category || a.zone != b.zone || a.methodName != b.methodName || a.unit != b.unit ||
        !SameValue(a.unitFactor, b.unitFactor) ||
        a.parameters.size() != b.parameters.size())
        return false;
    for (std::size_t i = 0; i < a.parameters.size(); ++i) {
        if (a.parameters[i].name != b.parameters[i].name ||
            !SameValue(a.parameters[i].value, b.parameters[i].value))
            return false;
    }
    return true;
}

ChoiceCatalogues LoadChoiceCatalogues(const std::string& gdalDataFolder)
{
    ChoiceCatalogues catalogues;
    LoadCatalogSection(kGeogSection, catalogues.geographic);
    LoadCatalogSection(kBeijing1954Section, catalogues.beijing1954);
    LoadCatalogSection(kXian1980Section, catalogues.xian1980);
    catalogues.methods = BuildProjectionMethods();
    catalogues.units.push_back(CustomLengthUnit());
    ReadLengthUnits(gdalDataFolder, catalogues.units);
    return catalogues;
}

SystemChoice NewChoice(ChoiceCatalogues catalogues)
{
    SystemChoice choice;
    choice.catalogues = std::move(catalogues);
    const SystemCatalog& geographic = choice.catalogues.geographic;
    // WGS 84 under its own name, else the catalogue's default entry.
    choice.shown.geogName = geographic.count("WGS 84") ? std::string("WGS 84") : DefaultGeogEntry(choice);
    return choice;
}

void ShowHeldSystem(SystemChoice& choice)
{
    choice.shown = choice.held.shown;
    RememberShownValues(choice);
}

void ChooseKind(SystemChoice& choice, bool projected)
{
    ShownChoice& shown = choice.shown;
    if (!projected) {
        // The geographic list keeps its entry; the projection side empties.
        const std::string geogName = shown.geogName;
        shown = ShownChoice();
        shown.geogName = geogName;
        return;
    }
    shown.projected = true;
    shown.category = kCustomCategoryPosition;
    shown.geogName = GeogEntryToKeep(choice);
    shown.zone = -1;
    ShowMethod(choice, 0);
    ChooseUnit(choice, 0);
}

void ChooseCategory(SystemChoice& choice, int category)
{
    ShownChoice& shown = choice.shown;
    if (!shown.projected)
        return;
    if (category == kHeldCategoryPosition) {
        if (choice.held.shown.projected)
            ShowHeldSystem(choice);
        return;
    }
    if (category < kCustomCategoryPosition || category > kXian1980CategoryPosition)
        return;
    shown.category = category;
    shown.zone = -1;
    if (category == kCustomCategoryPosition) {
        shown.geogName = GeogEntryToKeep(choice);
        ShowMethod(choice, 0);
        ChooseUnit(choice, 0);
        return;
    }
    if (category == kUtmCategoryPosition) {
        shown.geogName = GeogEntryToKeep(choice);
        ShowMethod(choice, kTransverseMercatorPosition);
        // The zone of the meridian last applied (one outside -180..180 lies
        // in the zone of its equivalent), in its hemisphere.
        const int zone = UtmZoneOfMeridian(NormalisedMeridian(choice.lastZoneMeridian));
        if (zone >= 1 && zone <= 60)
            shown.zone = UtmPositionOfZone(zone, choice.lastZoneNorthern);
    } else {
        const bool beijing = category == kBeijing1954CategoryPosition;
        shown.geogName = EntryIfListed(choice.catalogues.geographic, beijing ? kBeijing1954Section : kXian1980Section);
        ShowMethod(choice, kGaussKrugerPosition);
        if (!ZonesOf(choice)->empty())
            shown.zone = 0;
    }
    ApplyZone(choice);
    ChooseUnitByName(choice, "metre");
}

void ChooseGeogSystem(SystemChoice& choice, const std::string& name)
{
    choice.shown.geogName = name;
}

void ChooseZone(SystemChoice& choice, int position)
{
    const int count = static_cast<int>(ZoneEntries(choice).size());
    if (position < 0 || position >= count)
        return;
    choice.shown.zone = position;
    ApplyZone(choice);
}

void ChooseMethod(SystemChoice& choice, int position)
{
    if (!choice.shown.projected)
        return;
    ShowMethod(choice, position);
}

void EditParameter(SystemChoice& choice, std::size_t row, const std::string& text)
{
    ChoiceParameters& parameters = choice.shown.parameters;
    if (row >= parameters.size())
        return;
    double value = 0.0;
    parameters[row].value = ParseWholeDouble(text, value) ? value : std::nan("");
    parameters[row].typed = text;
    RememberShownValues(choice);
}

void ChooseUnit(SystemChoice& choice, int position)
{
    const std::vector<RefEntry>& units = choice.catalogues.units;
    if (position < 0 || static_cast<std::size_t>(position) >= units.size())
        return;
    choice.shown.unit = position;
    choice.shown.unitFactor = units[static_cast<std::size_t>(position)].value;
    choice.shown.unitFactorTyped.clear();
}

void EditUnitFactor(SystemChoice& choice, const std::string& text)
{
    if (!StatesOf(choice).unitFactorEditable)
        return;
    double value = 0.0;
    choice.shown.unitFactor = ParseWholeDouble(text, value) ? value : std::nan("");
    choice.shown.unitFactorTyped = text;
}

void AddGeogSystem(SystemChoice& choice, const std::string& name, const std::string& wkt)
{
    choice.catalogues.geographic[name] = wkt;
    // Where the category fixes the geographic system, the new one is listed
    // for later, never shown as the choice: the result could not be on it.
    if (StatesOf(choice).geogSystem)
        choice.shown.geogName = name;
}

std::vector<std::string> CategoryEntries(const SystemChoice& choice)
{
    if (!choice.shown.projected)
        return {kGeographicCategory};
    std::vector<std::string> entries = ProjectedCategories();
    if (choice.held.shown.projected)
        entries.push_back(choice.held.name);
    return entries;
}

std::vector<std::string> ZoneEntries(const SystemChoice& choice)
{
    std::vector<std::string> entries;
    if (!choice.shown.projected)
        return entries;
    if (choice.shown.category == kUtmCategoryPosition) {
        for (int position = 0; position < kUtmZoneCount; ++position)
            entries.push_back(UtmZoneText(position));
    } else if (const SystemCatalog* zones = ZonesOf(choice)) {
        for (const auto& zone : *zones)
            entries.push_back(zone.first);
    }
    return entries;
}

std::vector<std::string> MethodEntries(const SystemChoice& choice)
{
    std::vector<std::string> entries;
    if (!choice.shown.projected)
        return entries;
    for (const ProjectionMethod& method : choice.catalogues.methods)
        entries.push_back(method.name);
    return entries;
}

std::vector<std::string> UnitEntries(const SystemChoice& choice)
{
    std::vector<std::string> entries;
    if (!choice.shown.projected)
        return entries;
    for (const RefEntry& unit : choice.catalogues.units)
        entries.push_back(unit.name);
    return entries;
}

std::vector<std::string> GeogEntries(const SystemChoice& choice)
{
    std::vector<std::string> entries;
    for (const auto& entry : choice.catalogues.geographic)
        entries.push_back(entry.first);
    return entries;
}

const ChoiceParameter* FindParameter(const ChoiceParameters& parameters, const char* name)
{
    for (const ChoiceParameter& p : parameters)
        if (EqualIgnoringAsciiCase(p.name, name))
            return &p;
    return nullptr;
}

std::string ParameterText(const ChoiceParameter& parameter)
{
    return parameter.typed.empty() ? FormatShortestFixed(parameter.value, kParameterDecimals) : parameter.typed;
}

std::string UnitFactorText(const ShownChoice& shown)
{
    return shown.unitFactorTyped.empty() ? FormatGeneral(shown.unitFactor, kUnitFactorDigits) : shown.unitFactorTyped;
}

ControlStates StatesOf(const SystemChoice& choice)
{
    const ShownChoice& shown = choice.shown;
    ControlStates states;
    if (!shown.projected)
        return states;
    states.category = true;
    states.geogSystem = !IsGaussKrueger(shown.category);
    states.zone = shown.category == kUtmCategoryPosition || IsGaussKrueger(shown.category);
    states.method = shown.category == kCustomCategoryPosition || shown.category == kHeldCategoryPosition;
    states.parameters = true;
    // A held system's method that no system can be composed of: its values
    // are shown as the system gives them, and stay so.
    const bool heldMethod = shown.methodName == choice.held.shown.methodName &&
                            (shown.category == kHeldCategoryPosition || choice.held.methodAdded);
    states.parametersEditable = !(heldMethod && !choice.held.composable);
    states.unit = true;
    states.unitFactorEditable = shown.unit == 0;
    return states;
}

bool IsUnchanged(const SystemChoice& choice)
{
    return choice.held.system.IsSystem() && choice.shown == choice.held.shown;
}
