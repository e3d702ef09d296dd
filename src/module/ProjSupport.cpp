#include "module/ProjSupport.h"

#include <cstring>
#include <set>

#include "util/Text.h"

namespace {

thread_local std::string t_lastProjMessage;

// Kept, never printed: a refusal can then say why.
void KeepProjMessage(void*, int level, const char* message)
{
    if (level != PJ_LOG_ERROR || !message)
        return;
    // "proj_create: …": the function's name is no reason.
    std::string text = message;
    if (text.compare(0, 5, "proj_") == 0 && text.find(": ") != std::string::npos)
        text.erase(0, text.find(": ") + 2);
    t_lastProjMessage = text;
}

}  // namespace

PJ_CONTEXT* QuietProjContext()
{
    // Making a context costs more than most uses of it.
    struct Context {
        Context() : pj(proj_context_create())
        {
            if (pj) {
                proj_log_func(pj, nullptr, KeepProjMessage);
                proj_log_level(pj, PJ_LOG_ERROR);
            }
        }
        ~Context() { proj_context_destroy(pj); }
        PJ_CONTEXT* pj;
    };
    thread_local Context context;
    return context.pj;
}

std::string LastProjMessage()
{
    return t_lastProjMessage;
}

void ClearProjMessage()
{
    t_lastProjMessage.clear();
}

namespace {

struct Authorities {
    std::set<std::string> database;  // as PROJ's database spells them
    std::set<std::string> known;     // the database's and GDAL's own, in lower case
};

const Authorities& KnownAuthorities()
{
    static const Authorities authorities = [] {
        Authorities a;
        // Prefixes GDAL reads itself, before or instead of PROJ's database.
        for (const char* own : {"epsg", "epsga", "auto", "auto2", "crs", "ogc", "iau", "dict", "esri", "ignf", "urn",
                                "http", "https", "ftp"})
            a.known.insert(own);
        PJ_CONTEXT* context = QuietProjContext();
        if (PROJ_STRING_LIST names = context ? proj_get_authorities_from_database(context) : nullptr) {
            for (PROJ_STRING_LIST name = names; *name; ++name) {
                a.database.insert(*name);
                a.known.insert(LowerAscii(*name));
            }
            proj_string_list_destroy(names);
        }
        return a;
    }();
    return authorities;
}

}  // namespace

bool IsKnownAuthorityPrefix(const std::string& prefix)
{
    return KnownAuthorities().known.count(LowerAscii(prefix)) != 0;
}

bool IsDatabaseAuthority(const std::string& authority)
{
    return KnownAuthorities().database.count(authority) != 0;
}

bool DatabaseHasObject(const std::string& authority, const std::string& code)
{
    PJ_CONTEXT* context = QuietProjContext();
    if (!context)
        return false;
    // GDAL makes systems of some other objects too (a datum, say): any will do.
    for (PJ_CATEGORY category : {PJ_CATEGORY_CRS, PJ_CATEGORY_DATUM, PJ_CATEGORY_DATUM_ENSEMBLE, PJ_CATEGORY_ELLIPSOID,
                                 PJ_CATEGORY_PRIME_MERIDIAN, PJ_CATEGORY_COORDINATE_OPERATION}) {
        if (PjHandle(proj_create_from_database(context, authority.c_str(), code.c_str(), category, 0, nullptr)))
            return true;
    }
    return false;
}

bool NamesFileForProj(const std::string& text)
{
    const std::string lower = LowerAscii(text);
    for (const char* key : {"init=", "grids=", "file=", "model="}) {
        for (std::size_t at = lower.find(key); at != std::string::npos; at = lower.find(key, at + 1)) {
            const std::size_t start = at + std::strlen(key);
            const std::size_t end = lower.find_first_of(" \t\r\n\"']", start);
            const std::string value = lower.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (value.find_first_of("/\\~") != std::string::npos)
                return true;
        }
    }
    return false;
}
