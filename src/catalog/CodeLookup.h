// The EPSG codes of composed systems, found beside the caller and
// remembered: what the chooser's code line shows and OK hands back.
#pragma once

#include <future>
#include <map>
#include <optional>
#include <string>

#include <ogr_srs_api.h>

class CodeLookup {
public:
    // Known without a search (a Gauss-Krueger zone as listed, say).
    void Remember(const std::string& wkt, const std::string& code);
    // The code of `wkt` ("" for none) when it is known; otherwise a search
    // for it starts beside the caller, once the one running has ended, and
    // nothing is returned yet: ask again later. Identifying a system
    // searches PROJ's database for tens of milliseconds, too long for a
    // thread the user works on.
    // `read`, when given, is `wkt` read already (the held system): the
    // search identifies a copy of it, made here, rather than read the text
    // again (a handle is never read from two threads at once).
    std::optional<std::string> CodeIfFound(const std::string& wkt, OGRSpatialReferenceH read = nullptr);
    // The code of `wkt`, waiting for it: the search running for it, if any,
    // answers sooner than a new one.
    std::string CodeOf(const std::string& wkt);

private:
    // Keeps what the search that ended found.
    void KeepFinished();

    std::map<std::string, std::string> m_codes;
    std::string m_searching;  // the text the running search is for
    std::future<std::string> m_search;
};
