#include "catalog/SystemReading.h"

#include <cmath>
#include <cstring>

#include <ogr_spatialref.h>

#include "catalog/Composition.h"
#include "module/GdalSupport.h"
#include "module/ProjSupport.h"
#include "util/Text.h"

namespace {

// WKT1's own description of the method: its PROJECTION and PARAMETERs. False
// when there is none, or when it is not the whole truth (a PROJ4 extension,
// as GDAL writes for Pseudo-Mercator, says more than the parameters).
bool ReadWkt1Method(OGRSpatialReferenceH srs, SystemReading& reading)
{
    const OGR_SRSNode* projcs = OGRSpatialReference::FromHandle(srs)->GetAttrNode("PROJCS");
    if (!projcs)
        return false;
    std::string method;
    ChoiceParameters parameters;
    for (int i = 0; i < projcs->GetChildCount(); ++i) {
        const OGR_SRSNode* child = projcs->GetChild(i);
        const std::string key = child->GetValue();
        if (key == "EXTENSION")
            return false;
        if (key == "PROJECTION" && child->GetChildCount() > 0)
            method = child->GetChild(0)->GetValue();
        if (key == "PARAMETER" && child->GetChildCount() >= 2)
            parameters.push_back(ChoiceParameter{child->GetChild(0)->GetValue(), CPLAtof(child->GetChild(1)->GetValue()),
                                                 std::string()});
    }
    if (method.empty())
        return false;
    reading.methodName = method;
    reading.parameters = std::move(parameters);
    return true;
}

// PROJ's WKT1 names of Pseudo-Mercator, the one EPSG method GDAL writes in
// WKT1 under another method's name.
const char* Wkt1NameOfPseudoMercatorParameter(const std::string& name)
{
    if (name == "Latitude of natural origin")
        return "latitude_of_origin";
    if (name == "Longitude of natural origin")
        return "central_meridian";
    if (name == "False easting")
        return "false_easting";
    if (name == "False northing")
        return "false_northing";
    return nullptr;
}

// The method and parameters as PROJ reads them from the system itself.
void ReadProjMethod(const std::string& wkt, OGRSpatialReferenceH srs, SystemReading& reading)
{
    PJ_CONTEXT* context = QuietProjContext();
    if (!context)
        return;
    PjHandle crs(proj_create(context, wkt.c_str()));
    if (crs && proj_get_type(crs.get()) == PJ_TYPE_BOUND_CRS)
        crs.reset(proj_get_source_crs(context, crs.get()));
    if (crs && proj_get_type(crs.get()) == PJ_TYPE_COMPOUND_CRS)
        crs.reset(proj_crs_get_sub_crs(context, crs.get(), 0));
    const PjHandle operation(crs ? proj_crs_get_coordoperation(context, crs.get()) : nullptr);
    if (!operation)
        return;
    const char* methodName = nullptr;
    const char* methodCode = nullptr;
    if (!proj_coordoperation_get_method_info(context, operation.get(), &methodName, nullptr, &methodCode))
        return;
    const bool pseudoMercator = methodCode && std::strcmp(methodCode, "1024") == 0;
    reading.methodName = pseudoMercator ? "Popular_Visualisation_Pseudo_Mercator" : (methodName ? methodName : "");
    const double radiansPerUnit = OSRGetAngularUnits(srs, nullptr);
    const double metresPerUnit = OSRGetLinearUnits(srs, nullptr);
    const int count = proj_coordoperation_get_param_count(context, operation.get());
    for (int i = 0; i < count; ++i) {
        const char* name = nullptr;
        const char* category = nullptr;
        double value = 0.0, toBase = 1.0;
        if (!proj_coordoperation_get_param(context, operation.get(), i, &name, nullptr, nullptr, &value, nullptr,
                                           &toBase, nullptr, nullptr, nullptr, &category) ||
            !name)
            continue;
        std::string shownName = name;
        if (pseudoMercator) {
            const char* wkt1 = Wkt1NameOfPseudoMercatorParameter(name);
            if (!wkt1)
                continue;
            shownName = wkt1;
        }
        double shownValue = value * toBase;
        if (category && std::strcmp(category, "angular") == 0 && radiansPerUnit > 0)
            shownValue /= radiansPerUnit;
        else if (category && std::strcmp(category, "linear") == 0 && metresPerUnit > 0)
            shownValue /= metresPerUnit;
        reading.parameters.push_back(ChoiceParameter{shownName, shownValue, std::string()});
    }
}

// The WGS 84 the chooser falls back on, listed under its own name.
void ShowWgs84(SystemChoice& choice)
{
    SystemCatalog& geographic = choice.catalogues.geographic;
    const OsrHandle wgs84 = NewSpatialReference(kWgs84DefaultWkt);
    const std::string name = wgs84 ? ListedGeogName(wgs84.get()) : std::string("WGS 84");
    if (!geographic.count(name) && wgs84)
        geographic[name] = kWgs84DefaultWkt;
    choice.shown = ShownChoice();
    choice.shown.geogName = name;
}

}  // namespace

SystemReading ReadSystem(const SpatialSystem& system)
{
    SystemReading reading;
    const OGRSpatialReferenceH srs = system.Handle();
    if (!srs)
        return reading;
    QuietGdalErrors quiet;
    const bool geographic = OSRIsGeographic(srs) != 0;
    if (!geographic && !OSRIsProjected(srs)) {
        reading.kind = SystemReading::OtherKind;
        return reading;
    }
    reading.kind = geographic ? SystemReading::Geographic : SystemReading::Projected;
    const char* name = SystemNameOf(srs);
    reading.name = name ? name : "";
    reading.geogName = ListedGeogName(srs);
    OsrHandle geographicPart(OSRNewSpatialReference(nullptr));
    OSRCopyGeogCSFrom(geographicPart.get(), srs);
    reading.geogWkt = ExportToWkt(geographicPart.get());
    if (geographic)
        return reading;
    char* unit = nullptr;
    reading.metresPerUnit = OSRGetLinearUnits(srs, &unit);
    reading.unitName = unit ? unit : "";
    if (!ReadWkt1Method(srs, reading))
        ReadProjMethod(system.Text(), srs, reading);
    return reading;
}

int MatchLinearUnit(std::vector<RefEntry>& units, const std::string& name, double metresPerUnit)
{
    std::string wanted = LowerAscii(name);
    if (wanted == "meter")
        wanted = "metre";
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (LowerAscii(units[i].name) == wanted && std::fabs(metresPerUnit - units[i].value) < 0.01)
            return static_cast<int>(i);
    }
    units.push_back(RefEntry{0, wanted, metresPerUnit});
    return static_cast<int>(units.size()) - 1;
}

HoldProblem HoldSystem(SystemChoice& choice, const std::string& wkt)
{
    return HoldSystem(choice, SpatialSystem(wkt));
}

HoldProblem HoldSystem(SystemChoice& choice, const SpatialSystem& system)
{
    HeldSystem held;
    const HoldProblem problem = ChoiceOfSystem(system, choice.catalogues, held);
    choice.held = held;
    if (problem != HoldProblem::None) {
        ShowWgs84(choice);
        return problem;
    }
    ShowHeldSystem(choice);
    return HoldProblem::None;
}

HoldProblem ChoiceOfSystem(const SpatialSystem& system, ChoiceCatalogues& catalogues, HeldSystem& held)
{
    const SystemReading reading = ReadSystem(system);
    if (reading.kind == SystemReading::Unreadable)
        return HoldProblem::Unreadable;
    if (reading.kind == SystemReading::OtherKind)
        return HoldProblem::NotAGeographicOrProjectedSystem;
    held = HeldSystem();
    held.system = system;
    ShownChoice& shown = held.shown;
    shown.geogName = reading.geogName;
    // Listed for as long as the chooser is open; the file is never written.
    if (!catalogues.geographic.count(reading.geogName) && !reading.geogWkt.empty())
        catalogues.geographic[reading.geogName] = reading.geogWkt;
    if (reading.kind == SystemReading::Geographic)
        return HoldProblem::None;

    shown.projected = true;
    shown.category = kHeldCategoryPosition;
    held.name = reading.name;
    const int listed = FindProjectionMethod(catalogues.methods, reading.methodName);
    if (listed < 0) {
        // Its own method, with its own parameters, as the system gives them.
        ProjectionMethod own{reading.methodName, {}, {}};
        for (const ChoiceParameter& p : reading.parameters) {
            own.parameters[p.name] = p.value;
            own.writtenOrder.push_back(p.name);
        }
        catalogues.methods.push_back(own);
        held.methodAdded = true;
        shown.parameters = reading.parameters;
    } else {
        // The method's parameters, the system's values (its default where it
        // has none), then whatever else the system carries: nothing is dropped.
        const ProjectionMethod& method = catalogues.methods[static_cast<std::size_t>(listed)];
        std::vector<bool> used(reading.parameters.size(), false);
        for (const auto& [name, fallback] : method.parameters) {
            double value = DefaultParameterValue(name);
            for (std::size_t i = 0; i < reading.parameters.size(); ++i) {
                if (!used[i] && EqualIgnoringAsciiCase(reading.parameters[i].name, name)) {
                    value = reading.parameters[i].value;
                    used[i] = true;
                    break;
                }
            }
            shown.parameters.push_back(ChoiceParameter{name, value, std::string()});
        }
        for (std::size_t i = 0; i < reading.parameters.size(); ++i)
            if (!used[i])
                shown.parameters.push_back(reading.parameters[i]);
    }
    shown.methodName = reading.methodName;
    shown.unit = MatchLinearUnit(catalogues.units, reading.unitName, reading.metresPerUnit);
    shown.unitFactor = catalogues.units[static_cast<std::size_t>(shown.unit)].value;
    held.composable = ReproducesHeld(catalogues, held);
    return HoldProblem::None;
}
