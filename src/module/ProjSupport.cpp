#include "module/ProjSupport.h"

#include <mutex>
#include <set>

#include "util/Text.h"

PJ_CONTEXT* QuietProjContext()
{
    // Making a context costs more than most uses of it.
    struct Context {
        Context() : pj(proj_context_create())
        {
            if (pj)
                proj_log_level(pj, PJ_LOG_NONE);
        }
        ~Context() { proj_context_destroy(pj); }
        PJ_CONTEXT* pj;
    };
    thread_local Context context;
    return context.pj;
}

bool IsKnownAuthorityPrefix(const std::string& prefix)
{
    static std::set<std::string> known;
    static std::once_flag read;
    std::call_once(read, [] {
        // Prefixes GDAL reads itself, before or instead of PROJ's database.
        for (const char* own : {"epsg", "epsga", "auto", "auto2", "crs", "ogc", "iau", "dict", "esri", "ignf", "urn",
                                "http", "https", "ftp"})
            known.insert(own);
        PJ_CONTEXT* context = QuietProjContext();
        if (PROJ_STRING_LIST authorities = context ? proj_get_authorities_from_database(context) : nullptr) {
            for (PROJ_STRING_LIST name = authorities; *name; ++name)
                known.insert(LowerAscii(*name));
            proj_string_list_destroy(authorities);
        }
    });
    return known.count(LowerAscii(prefix)) != 0;
}
