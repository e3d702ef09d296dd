#include "catalog/Composition.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>

#include "module/GdalSupport.h"
#include "module/ProjSupport.h"
#include "module/Sameness.h"
#include "catalog/Identification.h"
#include "util/NumberText.h"
#include "util/Text.h"

namespace {

// A text as a WKT name: quoted, its quotes doubled.
std::string QuotedWkt(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// The projected axes of `srs` as WKT1 writes them; empty when it has none.
std::string AxesOf(OGRSpatialReferenceH srs)
{
    std::string axes;
    for (int i = 0; i < 2; ++i) {
        OGRAxisOrientation orientation = OAO_Other;
        const char* name = OSRGetAxis(srs, "PROJCS", i, &orientation);
        if (!name)
            return std::string();
        axes += ",AXIS[" + QuotedWkt(name) + "," + OSRAxisEnumToName(orientation) + "]";
    }
    return axes;
}

// `parameters` in the order systems of `method` write them (the list shows
// them by name): PROJ tells which EPSG system a text is by its parameters'
// positions, so that another order makes the same system unknown to every
// reader. Names the method lacks follow, in their own order.
ChoiceParameters InWrittenOrder(const ChoiceCatalogues& catalogues, const std::string& method,
                                ChoiceParameters parameters)
{
    const int listed = FindProjectionMethod(catalogues.methods, method);
    if (listed < 0)
        return parameters;
    const std::vector<std::string>& order = catalogues.methods[static_cast<std::size_t>(listed)].writtenOrder;
    const auto rank = [&order](const ChoiceParameter& p) {
        for (std::size_t i = 0; i < order.size(); ++i)
            if (EqualIgnoringAsciiCase(order[i], p.name))
                return i;
        return order.size();
    };
    std::stable_sort(parameters.begin(), parameters.end(),
                     [&rank](const ChoiceParameter& a, const ChoiceParameter& b) { return rank(a) < rank(b); });
    return parameters;
}

bool IsScaleFactor(const std::string& name)
{
    return LowerAscii(name).find("scale") != std::string::npos;
}

// A system the result may well be, names aside: the held system, the
// Gauss-Krueger zone it was made of (PROJ's identification misses some).
struct LikelySystem {
    SpatialSystem system;
    // A text the library ships, whose claimed code a test holds to the
    // sameness rule: taken at its word.
    bool shipped = false;
};

struct Composing {
    OsrHandle srs;
    CompositionProblem problem = CompositionProblem::None;
    std::string parameter;
    std::vector<LikelySystem> likely;
};

Composing Refusal(CompositionProblem problem, const std::string& parameter = std::string())
{
    return Composing{nullptr, problem, parameter, {}};
}

// Whether a UTM choice is the zone exactly as the zone defines it: then it
// may carry the zone's name.
bool IsPlainUtmZone(const ShownChoice& shown)
{
    if (shown.category != kUtmCategoryPosition || shown.zone < 0 || shown.parameters.size() != 5)
        return false;
    const auto value = [&shown](const char* name) {
        const ChoiceParameter* p = FindParameter(shown.parameters, name);
        return p ? p->value : std::nan("");
    };
    const ZoneParameters values{value("latitude_of_origin"), value("central_meridian"), value("false_northing"),
                                value("false_easting"), value("scale_factor")};
    int zone = 0;
    bool northern = true;
    return IsUtm(values, zone, northern) && zone == UtmZoneOfPosition(shown.zone) &&
           northern == UtmPositionIsNorthern(shown.zone);
}

// The geographic system a choice builds on: the held system's own while its
// entry is chosen (a held geographic system whole, its shift and axes
// kept), the catalogue's entry otherwise; null for none.
OsrHandle GeographicFor(const ChoiceCatalogues& catalogues, const HeldSystem& held, const std::string& geogName,
                        bool whole)
{
    const OGRSpatialReferenceH heldSrs = held.system.Handle();
    if (IsHeldGeographic(held, geogName))
        return OsrHandle(whole && OSRIsGeographic(heldSrs) ? OSRClone(heldSrs) : OSRCloneGeogCS(heldSrs));
    const auto entry = catalogues.geographic.find(geogName);
    return entry == catalogues.geographic.end() ? nullptr : NewSpatialReference(entry->second);
}

// A parameter or unit factor that is no value a system can have.
std::optional<Composing> ValueProblem(const ShownChoice& shown)
{
    for (const ChoiceParameter& p : shown.parameters)
        if (!std::isfinite(p.value))
            return Refusal(CompositionProblem::NotANumber, p.name);
    if (!std::isfinite(shown.unitFactor) || !(shown.unitFactor > 0))
        return Refusal(CompositionProblem::BadUnitFactor);
    return std::nullopt;
}

// The Beijing 1954 or Xian 1980 zone's own system; none when the choice
// names no projected zone of the list.
SpatialSystem ListedZoneSystem(const ChoiceCatalogues& catalogues, const ShownChoice& shown)
{
    const SystemCatalog& zones =
        shown.category == kBeijing1954CategoryPosition ? catalogues.beijing1954 : catalogues.xian1980;
    if (shown.zone < 0 || static_cast<std::size_t>(shown.zone) >= zones.size())
        return SpatialSystem();
    auto zone = zones.begin();
    std::advance(zone, shown.zone);
    SpatialSystem system(zone->second);
    return system.IsSystem() && OSRIsProjected(system.Handle()) ? system : SpatialSystem();
}

// The WKT1 of the projected system `shown` on the geographic system
// `geogcs`, named `name`, of `method`, with `axes` (empty: WKT1's default).
std::string ProjectedWkt(const ChoiceCatalogues& catalogues, const ShownChoice& shown, const std::string& name,
                         const std::string& geogcs, const std::string& method, const std::string& axes)
{
    const std::vector<RefEntry>& units = catalogues.units;
    const std::string unitName = shown.unit >= 0 && static_cast<std::size_t>(shown.unit) < units.size()
                                     ? units[static_cast<std::size_t>(shown.unit)].name
                                     : std::string();
    std::string wkt = "PROJCS[" + QuotedWkt(name) + "," + geogcs + ",PROJECTION[" + QuotedWkt(method) + "]";
    for (const ChoiceParameter& p : InWrittenOrder(catalogues, method, shown.parameters))
        wkt += ",PARAMETER[" + QuotedWkt(p.name) + "," + FormatGeneral(p.value, 17) + "]";
    return wkt + ",UNIT[" + QuotedWkt(unitName) + "," + FormatGeneral(shown.unitFactor, 17) + "]" + axes + "]";
}

// The system `shown` stands for. The held system's own geographic part
// serves while its entry is chosen; its projected axes while its method is.
Composing Compose(const ChoiceCatalogues& catalogues, const HeldSystem& held, const ShownChoice& shown)
{
    QuietGdalErrors quiet;
    const OGRSpatialReferenceH heldSrs = held.system.Handle();
    OsrHandle base = GeographicFor(catalogues, held, shown.geogName, !shown.projected);
    if (!base)
        return Refusal(CompositionProblem::NoGeographicSystem);
    if (!shown.projected)
        return Composing{std::move(base), CompositionProblem::None, std::string(), {{held.system}}};

    if (std::optional<Composing> refused = ValueProblem(shown))
        return std::move(*refused);

    std::string name = kComposedSystemName;
    std::string method = shown.methodName;
    // A Krovak grid pointing south and west, a south-orientated system, a
    // zone numbered northing first: without its axes every coordinate
    // computed with the system would be swapped or negated.
    std::string axes;
    if (heldSrs && OSRIsProjected(heldSrs) && held.shown.methodName == shown.methodName)
        axes = AxesOf(heldSrs);
    std::vector<LikelySystem> likely{{held.system}};
    if (shown.category == kUtmCategoryPosition) {
        // The list's values on the zone of its meridian.
        const ChoiceParameter* meridian = FindParameter(shown.parameters, "central_meridian");
        const int zone = UtmZoneOfMeridian(meridian ? meridian->value : 0.0);
        if (zone < 1 || zone > 60)
            return Refusal(CompositionProblem::NoZone);
        method = "Transverse_Mercator";
        // A UTM zone exactly as the zone defines it is named as GDAL 1.8 named it.
        if (IsPlainUtmZone(shown))
            name = UtmSystemName(zone, UtmPositionIsNorthern(shown.zone));
    } else if (shown.category == kBeijing1954CategoryPosition || shown.category == kXian1980CategoryPosition) {
        // The zone's own system, its method and geographic part, with the
        // list's values.
        const SpatialSystem zoneSystem = ListedZoneSystem(catalogues, shown);
        const OGRSpatialReferenceH zoneSrs = zoneSystem.Handle();
        if (!zoneSrs)
            return Refusal(CompositionProblem::NoZone);
        method = AttrValue(zoneSrs, "PROJECTION");
        base.reset(OSRCloneGeogCS(zoneSrs));
        axes = AxesOf(zoneSrs);
        likely.push_back({zoneSystem, true});
    }
    // Written as WKT1, as it means: angles in the geographic system's unit,
    // lengths in the system's own. (GDAL's setters, used in place, turn a
    // geographic system with a shift to WGS 84 into WGS 84, read values set
    // before a geographic system as degrees, and leave a PROJ4 extension
    // they wrote (Pseudo-Mercator) behind later values.) Never the held
    // system's name: PROJ reads some names as the system they name, whatever
    // the values say (WGS 84 / Pseudo-Mercator).
    const std::string geogcs = ExportToWkt(base.get());
    if (geogcs.compare(0, 7, "GEOGCS[") != 0)
        return Refusal(CompositionProblem::NoGeographicSystem);
    OsrHandle srs = NewSpatialReference(ProjectedWkt(catalogues, shown, name, geogcs, method, axes));
    if (!srs)
        return Refusal(CompositionProblem::Unusable);
    return Composing{std::move(srs), CompositionProblem::None, std::string(), std::move(likely)};
}

ComposedSystem Refused(CompositionProblem problem, const std::string& parameter, const std::string& reason = "")
{
    ComposedSystem refused;
    refused.problem = problem;
    refused.parameter = parameter;
    refused.reason = reason;
    return refused;
}

// Why PROJ refused a choice, where the choice says it plainly.
ComposedSystem UnusableBecause(const ShownChoice& shown, const std::string& projReason)
{
    for (const ChoiceParameter& p : shown.parameters)
        if (IsScaleFactor(p.name) && p.value == 0.0)
            return Refused(CompositionProblem::ScaleFactorZero, p.name);
    const ChoiceParameter* first = FindParameter(shown.parameters, "standard_parallel_1");
    const ChoiceParameter* second = FindParameter(shown.parameters, "standard_parallel_2");
    if (first && second && first->value + second->value == 0.0)
        return Refused(CompositionProblem::ParallelsMeet, first->name);
    return Refused(CompositionProblem::Unusable, std::string(), projReason);
}

// The EPSG code of the first of `systems` that is `srs` and exactly an EPSG
// system.
std::string EpsgCodeAmong(OGRSpatialReferenceH srs, const std::vector<LikelySystem>& systems)
{
    for (const LikelySystem& likely : systems) {
        if (!SameAs(srs, likely.system.Handle()))
            continue;
        const std::string code =
            likely.shipped ? ClaimedEpsgCode(likely.system.Text()) : OwnEpsgCode(likely.system.Handle());
        if (!code.empty())
            return code;
    }
    return std::string();
}

}  // namespace

std::string ListedGeogName(OGRSpatialReferenceH srs)
{
    std::string name = AttrValue(srs, "GEOGCS");
    if (name.empty()) {
        // A system WKT1 cannot express keeps its WKT2 nodes.
        QuietGdalErrors quiet;
        const OsrHandle geographic(OSRCloneGeogCS(srs));
        const char* own = geographic ? OSRGetName(geographic.get()) : nullptr;
        name = own ? own : "";
    }
    if (name.compare(0, 4, "GCS_") == 0)
        name.erase(0, 4);
    return name.empty() ? "UNNAMED GCS" : name;
}

bool IsUsableSystem(OGRSpatialReferenceH srs, const std::string& wkt, std::string* reason)
{
    if (reason)
        reason->clear();
    // PROJ's definitions carry no angular unit: check it here.
    const double radians = OSRGetAngularUnits(srs, nullptr);
    if (!std::isfinite(radians) || !(radians > 0))
        return false;
    if (wkt.empty())
        return false;
    PJ_CONTEXT* context = QuietProjContext();
    if (!context)
        return false;
    ClearProjMessage();
    PjHandle system(proj_create(context, wkt.c_str()));
    if (system && proj_get_type(system.get()) == PJ_TYPE_BOUND_CRS)
        system.reset(proj_get_source_crs(context, system.get()));
    // PROJ checks a definition's values only when it builds the projection
    // itself: from the system's PROJ form, not from the system. A method
    // without one (a few EPSG methods) is built from its conversion.
    const char* definition = system ? proj_as_proj_string(context, system.get(), PJ_PROJ_4, nullptr) : nullptr;
    const PjHandle conversion(!definition && system && OSRIsProjected(srs)
                                  ? proj_crs_get_coordoperation(context, system.get())
                                  : nullptr);
    if (conversion)
        definition = proj_as_proj_string(context, conversion.get(), PJ_PROJ_5, nullptr);
    bool usable = false;
    if (definition) {
        std::string operation = definition;
        const std::size_t crsMark = operation.find(" +type=crs");
        if (crsMark != std::string::npos)
            operation.erase(crsMark, std::strlen(" +type=crs"));
        usable = PjHandle(proj_create(context, operation.c_str())) != nullptr;
    } else if (conversion && LastProjMessage().find("Unsupported conversion method") != std::string::npos) {
        // A method this PROJ has no computation for at all (Lambert's West
        // Orientated conic, polar stereographic variant C, …): it can judge
        // no value of it. The system is as good as any of EPSG's of that
        // method, which hosts hold and label.
        usable = true;
    }
    if (!usable && reason)
        *reason = LastProjMessage();
    return usable;
}

bool ReproducesHeld(const ChoiceCatalogues& catalogues, const HeldSystem& held)
{
    const Composing composed = Compose(catalogues, held, held.shown);
    QuietGdalErrors quiet;
    return composed.srs && held.system.IsSystem() && SameAs(composed.srs.get(), held.system.Handle());
}

OsrHandle ChosenGeographic(const SystemChoice& choice)
{
    QuietGdalErrors quiet;
    return GeographicFor(choice.catalogues, choice.held, choice.shown.geogName, false);
}

std::string ComposeWithoutIdentity(const SystemChoice& choice, std::string* knownCode)
{
    if (knownCode)
        knownCode->clear();
    QuietGdalErrors quiet;
    if (IsUnchanged(choice)) {
        if (knownCode)
            *knownCode = OwnEpsgCode(choice.held.system.Handle());
        return choice.held.system.Text();
    }
    const Composing composed = Compose(choice.catalogues, choice.held, choice.shown);
    if (!composed.srs)
        return std::string();
    if (knownCode)
        *knownCode = EpsgCodeAmong(composed.srs.get(), composed.likely);
    return ExportToWkt(composed.srs.get());
}

ComposedSystem ComposeSystem(const SystemChoice& choice, const EpsgIdentifier& identify)
{
    const auto result = [](SpatialSystem system) {
        ComposedSystem composed;
        composed.wkt = system.Text();
        composed.system = std::move(system);
        return composed;
    };
    if (IsUnchanged(choice))
        return result(choice.held.system);
    const ShownChoice& shown = choice.shown;
    Composing composed = Compose(choice.catalogues, choice.held, shown);
    if (!composed.srs)
        return Refused(composed.problem, composed.parameter);
    QuietGdalErrors quiet;
    // A system GDAL cannot write out is no result: never hand back an empty text.
    std::string wkt = ExactWkt(composed.srs.get());
    std::string projReason;
    if (!IsUsableSystem(composed.srs.get(), wkt, &projReason))
        return UnusableBecause(shown, projReason);
    // One system, one text, whatever the path to it: exactly an EPSG system
    // is EPSG's own, whose name and code then say what it is.
    std::string code = EpsgCodeAmong(composed.srs.get(), composed.likely);
    if (code.empty() && identify)
        code = identify(wkt);
    if (!code.empty()) {
        const OsrHandle epsg = EpsgSystem(code);
        std::string epsgWkt = epsg ? ExportToWkt(epsg.get()) : std::string();
        if (!epsgWkt.empty())
            return result(SpatialSystem(std::move(epsgWkt), epsg.get()));
    }
    return result(SpatialSystem(std::move(wkt), composed.srs.get()));
}

double InverseFlatteningOf(const GeogDefinition& d)
{
    if (!d.semiMinorGiven)
        return d.inverseFlattening;
    // Equal axes make a sphere, whose inverse flattening GDAL writes as 0.
    if (d.semiMajorAxis == d.semiMinorAxis)
        return 0.0;
    return d.semiMajorAxis / (d.semiMajorAxis - d.semiMinorAxis);
}

ComposedGeog ComposeGeogSystem(const GeogDefinition& d)
{
    const auto positive = [](double v) { return std::isfinite(v) && v > 0; };
    if (!positive(d.semiMajorAxis))
        return ComposedGeog{std::string(), GeogProblem::BadSemiMajorAxis};
    if (d.semiMinorGiven && (!positive(d.semiMinorAxis) || d.semiMinorAxis > d.semiMajorAxis))
        return ComposedGeog{std::string(), GeogProblem::BadSemiMinorAxis};
    const double inverseFlattening = InverseFlatteningOf(d);
    if (!std::isfinite(inverseFlattening) || (inverseFlattening != 0 && !(inverseFlattening > 1)))
        return ComposedGeog{std::string(), GeogProblem::BadInverseFlattening};
    if (!positive(d.radiansPerUnit))
        return ComposedGeog{std::string(), GeogProblem::BadAngularUnit};

    QuietGdalErrors quiet;
    OsrHandle srs(OSRNewSpatialReference(nullptr));
    OSRSetGeogCS(srs.get(), d.name.c_str(), d.datumName.c_str(), d.ellipsoidName.c_str(), d.semiMajorAxis,
                 inverseFlattening, d.primeMeridianName.c_str(), d.primeMeridianOffset,
                 d.angularUnitName.c_str(), d.radiansPerUnit);
    if (d.hasShift) {
        const double* s = d.toWgs84;
        OSRSetTOWGS84(srs.get(), s[0], s[1], s[2], s[3], s[4], s[5], s[6]);
    }
    std::string wkt = ExportToWkt(srs.get());
    if (!IsUsableSystem(srs.get(), wkt))
        return ComposedGeog{std::string(), GeogProblem::Unusable};
    return ComposedGeog{std::move(wkt), GeogProblem::None};
}
