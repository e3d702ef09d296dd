#include "catalog/Composition.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "module/GdalSupport.h"
#include "module/ProjSupport.h"

namespace {

// The geographic system the choice builds on: the restored system's own
// while the user keeps its entry, the catalogue's otherwise.
OsrHandle GeographicBase(const SystemChoice& choice, OGRSpatialReferenceH restored)
{
    if (restored && ListedGeogName(restored) == choice.geogName)
        return OsrHandle(OSRCloneGeogCS(restored));
    return NewSpatialReference(choice.geogWkt);
}

// Gives `srs` the projected axes of `restored` (a Krovak grid pointing south
// and west, a south-orientated system): without them every coordinate
// computed with the system would be swapped or negated.
void KeepProjectedAxes(OGRSpatialReferenceH srs, OGRSpatialReferenceH restored)
{
    OGRAxisOrientation first = OAO_Other, second = OAO_Other;
    const char* firstName = OSRGetAxis(restored, "PROJCS", 0, &first);
    const char* secondName = OSRGetAxis(restored, "PROJCS", 1, &second);
    if (firstName && secondName)
        OSRSetAxes(srs, "PROJCS", firstName, first, secondName, second);
}

ComposedSystem Refused(CompositionProblem problem)
{
    return ComposedSystem{std::string(), problem};
}

// The projected system of `choice` on `base`, or null with `problem` set.
OsrHandle ComposeProjected(const SystemChoice& choice, OsrHandle base, CompositionProblem& problem)
{
    OsrHandle srs = std::move(base);
    if (choice.category == kUtmCategoryPosition) {
        auto meridian = choice.parameters.find("central_meridian");
        const int zone = UtmZoneOfMeridian(meridian == choice.parameters.end() ? 0.0 : meridian->second);
        // GDAL accepts zones it cannot build (zone 0 among them).
        if (zone < 1 || zone > 60 || OSRSetUTM(srs.get(), zone, choice.northern) != OGRERR_NONE) {
            problem = CompositionProblem::NoZone;
            return nullptr;
        }
        // GDAL 3 leaves the system "unnamed"; hosts read the name back.
        const std::string name = AttrValue(srs.get(), "PROJCS");
        if (name.empty() || name == "unnamed")
            OSRSetProjCS(srs.get(), UtmSystemName(zone, choice.northern).c_str());
    } else if (choice.category == kBeijing1954CategoryPosition || choice.category == kXian1980CategoryPosition) {
        srs = NewSpatialReference(choice.zoneWkt);
        if (!srs) {
            problem = CompositionProblem::NoZone;
            return nullptr;
        }
    } else {
        OSRSetProjCS(srs.get(), choice.categoryText.c_str());
        OSRSetProjection(srs.get(), choice.methodName.c_str());
    }
    for (const auto& [name, value] : choice.parameters)
        OSRSetProjParm(srs.get(), name.c_str(), value);
    if (!std::isfinite(choice.unitFactor) || !(choice.unitFactor > 0)) {
        problem = CompositionProblem::BadUnitFactor;
        return nullptr;
    }
    OSRSetLinearUnits(srs.get(), choice.unitName.c_str(), choice.unitFactor);
    return srs;
}

}  // namespace

std::string ListedGeogName(OGRSpatialReferenceH srs)
{
    std::string name = AttrValue(srs, "GEOGCS");
    if (name.compare(0, 4, "GCS_") == 0)
        name.erase(0, 4);
    return name.empty() ? "UNNAMED GCS" : name;
}

bool IsUsableSystem(OGRSpatialReferenceH srs, const std::string& wkt)
{
    // PROJ's definitions carry no angular unit: check it here.
    const double radians = OSRGetAngularUnits(srs, nullptr);
    if (!std::isfinite(radians) || !(radians > 0))
        return false;
    if (wkt.empty() || NamesFileForProj(wkt))
        return false;
    PJ_CONTEXT* context = QuietProjContext();
    if (!context)
        return false;
    // PROJ checks a definition's values only when it builds the projection
    // itself: from the system's PROJ form, not from the system.
    PjHandle system(proj_create(context, wkt.c_str()));
    const char* definition = system ? proj_as_proj_string(context, system.get(), PJ_PROJ_4, nullptr) : nullptr;
    if (!definition)
        return false;
    std::string operation = definition;
    const std::size_t crsMark = operation.find(" +type=crs");
    if (crsMark != std::string::npos)
        operation.erase(crsMark, std::strlen(" +type=crs"));
    PjHandle projection(proj_create(context, operation.c_str()));
    return projection != nullptr;
}

ComposedSystem ComposeSystem(const SystemChoice& choice)
{
    QuietGdalErrors quiet;
    const OsrHandle restored = NewSpatialReference(choice.restoredWkt);
    OsrHandle base = GeographicBase(choice, restored.get());
    if (!base)
        return Refused(CompositionProblem::NoGeographicSystem);

    OsrHandle srs;
    if (!choice.projected) {
        // The restored geographic system itself while its entry is kept.
        const bool keepsRestored = restored && OSRIsGeographic(restored.get()) &&
                                   ListedGeogName(restored.get()) == choice.geogName;
        srs = keepsRestored ? OsrHandle(OSRClone(restored.get())) : std::move(base);
    } else {
        CompositionProblem problem = CompositionProblem::None;
        srs = ComposeProjected(choice, std::move(base), problem);
        if (!srs)
            return Refused(problem);
        if (restored && OSRIsProjected(restored.get())) {
            if (AttrValue(restored.get(), "PROJECTION") == choice.methodName)
                KeepProjectedAxes(srs.get(), restored.get());
            // Unchanged: the restored system, its names and codes kept.
            if (OSRIsSame(srs.get(), restored.get()))
                srs.reset(OSRClone(restored.get()));
        }
    }
    // A system GDAL cannot write out is no result: never hand back an empty text.
    std::string wkt = ExportToWkt(srs.get());
    if (!IsUsableSystem(srs.get(), wkt))
        return Refused(CompositionProblem::Unusable);
    return ComposedSystem{std::move(wkt), CompositionProblem::None};
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
