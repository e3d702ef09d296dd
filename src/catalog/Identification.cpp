#include "catalog/Identification.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <tuple>

#include "module/GdalSupport.h"
#include "module/Messages.h"
#include "module/ProjSupport.h"

namespace {

// The authority's code `srs` carries for the whole system, taken at its word.
std::string ClaimedCode(OGRSpatialReferenceH srs)
{
    const char* authority = srs ? OSRGetAuthorityName(srs, nullptr) : nullptr;
    const char* code = srs ? OSRGetAuthorityCode(srs, nullptr) : nullptr;
    return authority && code && std::strcmp(authority, "EPSG") == 0 && IsEpsgCodeText(code) ? code : std::string();
}

// EPSG's object of `code` in PROJ's database (a system, a datum ensemble);
// null for none.
PjHandle EpsgObject(const std::string& code, PJ_CATEGORY category)
{
    PJ_CONTEXT* context = QuietProjContext();
    if (!context || code.empty())
        return nullptr;
    return PjHandle(proj_create_from_database(context, "EPSG", code.c_str(), category, 0, nullptr));
}

// An EPSG system `srs` may be, with what ranks it among others of the same
// definition (see IdentifyEpsg).
struct Candidate {
    std::string code;
    EpsgDeprecation deprecation;
    bool namedAsUtmZone = false;

    std::tuple<bool, bool, long> Rank() const
    {
        return std::make_tuple(deprecation.deprecated, !namedAsUtmZone, std::atol(code.c_str()));
    }
};

}  // namespace

bool IsEpsgCodeText(const std::string& code)
{
    return !code.empty() && code.size() <= 9 && code.find_first_not_of("0123456789") == std::string::npos;
}

OsrHandle EpsgSystem(const std::string& code)
{
    QuietGdalErrors quiet;
    const EpsgCodesAsGiven asGiven;
    OsrHandle srs(OSRNewSpatialReference(nullptr));
    if (!srs || OSRImportFromEPSG(srs.get(), std::atoi(code.c_str())) != OGRERR_NONE)
        return nullptr;
    return srs;
}

std::string ClaimedEpsgCode(const std::string& wkt)
{
    // WKT1 ends a system with its own AUTHORITY: `…,AUTHORITY["EPSG","4326"]]`.
    static const char kMark[] = "AUTHORITY[\"EPSG\",\"";
    const std::size_t end = wkt.find_last_not_of(" \t\r\n");
    if (end == std::string::npos || end < 3 || wkt.compare(end - 2, 3, "\"]]") != 0)
        return std::string();
    const std::size_t start = wkt.rfind(kMark);
    if (start == std::string::npos)
        return std::string();
    const std::size_t digits = start + sizeof kMark - 1;
    const std::size_t quote = end - 2;
    const std::string code = quote > digits ? wkt.substr(digits, quote - digits) : std::string();
    return IsEpsgCodeText(code) ? code : std::string();
}

std::string OwnEpsgCode(OGRSpatialReferenceH srs)
{
    const std::string code = ClaimedCode(srs);
    if (code.empty())
        return code;
    const OsrHandle epsg = EpsgSystem(code);
    if (SameAs(srs, epsg.get()))
        return code;
    // A WKT1 leaves a projected system's axis order to its reader: a .prj
    // as ESRI writes EPSG:3006 has no axes, which WKT1 reads as easting
    // first, where EPSG's go northing first. Its claim holds all the same.
    OGRAxisOrientation first = OAO_Other;
    if (!epsg || !OSRIsProjected(epsg.get()) || !OSRGetAxis(epsg.get(), "PROJCS", 0, &first) || first != OAO_North)
        return std::string();
    const OsrHandle eastFirst(OSRClone(epsg.get()));
    return eastFirst &&
                   OSRSetAxes(eastFirst.get(), "PROJCS", "Easting", OAO_East, "Northing", OAO_North) == OGRERR_NONE &&
                   SameAs(srs, eastFirst.get())
               ? code
               : std::string();
}

EpsgDeprecation DeprecationOf(const std::string& code)
{
    EpsgDeprecation deprecation;
    const PjHandle system = EpsgObject(code, PJ_CATEGORY_CRS);
    if (!system || !proj_is_deprecated(system.get()))
        return deprecation;
    deprecation.deprecated = true;
    PJ_CONTEXT* context = QuietProjContext();
    PJ_OBJ_LIST* replacements = proj_get_non_deprecated(context, system.get());
    const int count = replacements ? proj_list_get_count(replacements) : 0;
    for (int i = 0; i < count; ++i) {
        const PjHandle replacement(proj_list_get(context, replacements, i));
        const char* authority = replacement ? proj_get_id_auth_name(replacement.get(), 0) : nullptr;
        const char* id = replacement ? proj_get_id_code(replacement.get(), 0) : nullptr;
        if (authority && id && std::strcmp(authority, "EPSG") == 0)
            deprecation.replacedBy.push_back(id);
    }
    proj_list_destroy(replacements);
    return deprecation;
}

EpsgIdentity IdentifyEpsg(OGRSpatialReferenceH srs)
{
    EpsgIdentity identity;
    identity.code = OwnEpsgCode(srs);
    if (identity.code.empty() && srs && (OSRIsProjected(srs) || OSRIsGeographic(srs))) {
        QuietGdalErrors quiet;
        const EpsgCodesAsGiven asGiven;
        int count = 0;
        int* confidences = nullptr;
        OGRSpatialReferenceH* matches = OSRFindMatches(srs, nullptr, &count, &confidences);
        // GDAL's confidence counts names; sameness here does not. GDAL hands
        // each match back with the system's own datum shift: each is judged
        // as EPSG defines it.
        std::set<std::string> codes;
        for (int i = 0; i < count; ++i) {
            const std::string code = ClaimedCode(matches[i]);
            if (!code.empty())
                codes.insert(code);
        }
        OSRFreeSRSArray(matches);
        CPLFree(confidences);
        std::optional<Candidate> same;
        std::optional<Candidate> like;
        for (const std::string& code : codes) {
            const OsrHandle epsg = EpsgSystem(code);
            std::optional<Candidate>* kept = nullptr;
            if (SameAs(srs, epsg.get()))
                kept = &same;
            else if (SameAs(srs, epsg.get(), Sameness::ButForDatumShift))
                kept = &like;
            else
                continue;
            const char* name = OSRGetName(epsg.get());
            Candidate candidate{code, DeprecationOf(code), name && std::strstr(name, "UTM zone ")};
            if (!*kept || candidate.Rank() < (*kept)->Rank())
                *kept = std::move(candidate);
        }
        if (same) {
            identity.code = same->code;
            identity.deprecation = same->deprecation;
        } else if (like) {
            identity.likeButShift = like->code;
        }
        return identity;
    }
    if (!identity.code.empty())
        identity.deprecation = DeprecationOf(identity.code);
    return identity;
}

std::string ExactEpsgCode(OGRSpatialReferenceH srs)
{
    return IdentifyEpsg(srs).code;
}

std::string ShownEpsgCode(const std::string& code)
{
    const std::string shown = "EPSG:" + code;
    const EpsgDeprecation deprecation = DeprecationOf(code);
    if (!deprecation.deprecated)
        return shown;
    std::string replacements;
    for (const std::string& replacement : deprecation.replacedBy)
        replacements += (replacements.empty() ? "EPSG:" : ", EPSG:") + replacement;
    return replacements.empty() ? MessageWith(MessageId::CodeDeprecatedAlone, shown)
                                : MessageWith(MessageId::CodeDeprecated, {shown, replacements});
}

double DatumEnsembleAccuracy(OGRSpatialReferenceH srs)
{
    if (!srs)
        return 0.0;
    QuietGdalErrors quiet;
    const char* authority = OSRGetAuthorityName(srs, "DATUM");
    const char* code = OSRGetAuthorityCode(srs, "DATUM");
    PjHandle ensemble;
    if (authority && code && std::strcmp(authority, "EPSG") == 0) {
        ensemble = EpsgObject(code, PJ_CATEGORY_DATUM_ENSEMBLE);
    } else if (PJ_CONTEXT* context = QuietProjContext()) {
        // A datum without its code ("WGS_1984" as a user wrote it): by the
        // name PROJ reads it as.
        const std::string wkt = ExportToWkt(srs);
        const PjHandle system(wkt.empty() ? nullptr : proj_create(context, wkt.c_str()));
        const PjHandle datum(system ? proj_crs_get_datum_forced(context, system.get()) : nullptr);
        const char* name = datum ? proj_get_name(datum.get()) : nullptr;
        const PJ_TYPE types[] = {PJ_TYPE_DATUM_ENSEMBLE};
        PJ_OBJ_LIST* found =
            name ? proj_create_from_name(context, "EPSG", name, types, 1, 0, 1, nullptr) : nullptr;
        if (found && proj_list_get_count(found) > 0)
            ensemble.reset(proj_list_get(context, found, 0));
        proj_list_destroy(found);
    }
    if (!ensemble)
        return 0.0;
    // A datum that only bears the ensemble's name or code is not it: its
    // ellipsoid and prime meridian must be the ensemble's too.
    PJ_CONTEXT* context = QuietProjContext();
    const PjHandle member(proj_datum_ensemble_get_member(context, ensemble.get(), 0));
    const PjHandle ellipsoid(member ? proj_get_ellipsoid(context, member.get()) : nullptr);
    const PjHandle meridian(member ? proj_get_prime_meridian(context, member.get()) : nullptr);
    double semiMajor = 0, semiMinor = 0, inverseFlattening = 0, longitude = 0, toRadians = 0;
    int computed = 0;
    if (!ellipsoid || !meridian ||
        !proj_ellipsoid_get_parameters(context, ellipsoid.get(), &semiMajor, &semiMinor, &computed,
                                       &inverseFlattening) ||
        !proj_prime_meridian_get_parameters(context, meridian.get(), &longitude, &toRadians, nullptr))
        return 0.0;
    const auto near = [](double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b)); };
    OGRErr error = OGRERR_NONE;
    const double ownLongitude = OSRGetPrimeMeridian(srs, nullptr);
    if (!near(OSRGetSemiMajor(srs, &error), semiMajor) || !near(OSRGetInvFlattening(srs, &error), inverseFlattening) ||
        error != OGRERR_NONE || !near(ownLongitude * 0.0174532925199433, longitude * toRadians))
        return 0.0;
    const double accuracy = proj_datum_ensemble_get_accuracy(context, ensemble.get());
    return accuracy > 0 ? accuracy : 0.0;
}
