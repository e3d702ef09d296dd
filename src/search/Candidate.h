// A system the chooser's search offers: its names, code, kind, datum and
// area of use, as a search matches and ranks them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "map/AreaOfUse.h"
#include "search/DeferredSystem.h"

// A system's kind; the numbers are those the database's reading gives.
enum class CandidateKind : std::uint8_t { Geographic, Projected, Vertical, Compound };
enum class CandidateSource : std::uint8_t { Database, Catalogue, User, Recent };

// How widely a system's datum is used today, for ranking: WGS 84 is the
// world's; the national and continental datums of today's surveys come next;
// historical ones after them.
enum class DatumUse : std::uint8_t { World, Current, Historical };

struct Candidate {
    std::string name;
    std::string authority; // "EPSG" or "ESRI"; empty for a system without a code
    std::string code;      // the authority's code
    CandidateKind kind = CandidateKind::Geographic;
    CandidateSource source = CandidateSource::Database;
    DatumUse datum = DatumUse::Historical;
    // The year its datum was published; 0 when unknown (an ensemble's,
    // ESRI's). Of two realisations of a system, the later is today's.
    std::uint16_t datumYear = 0;
    const AreaOfUse* area = nullptr;          // null when unknown
    std::shared_ptr<const AreaOfUse> ownArea; // what `area` points to when no database system's
    std::vector<std::string> aliases;         // other names of the system
    std::string words;                        // the name's folded words
    std::vector<std::string> aliasWords;
    DeferredSystem system; // the system itself; none for the database's, made when chosen
    // A catalogue entry that is a database system stands for it: found by
    // its name, it shows as that system.
    const Candidate* standsFor = nullptr;
    // Another form of an EPSG system (an axis-order variant, "(N-E)"; ESRI's
    // copy of it under the same code): ranked after the systems themselves.
    bool variant = false;
    // Retired by its authority: found only by its own code or name, its
    // name marked (kDeprecatedMark), its replacements after it
    // (CandidateDatabase::ReplacementsOf).
    bool deprecated = false;
};

// What a retired system's name is shown with, as PROJ names them.
inline constexpr const char kDeprecatedMark[] = " (deprecated)";

using CandidateList = std::vector<Candidate>;

// The kind as the command line and the records name it: "geographic",
// "projected", "vertical", "compound".
inline const char* CandidateKindName(CandidateKind kind)
{
    static const char* const kNames[] = {"geographic", "projected", "vertical", "compound"};
    return kNames[static_cast<int>(kind)];
}

// Where height systems come among those found alike, where they are
// searched at all: after the horizontal ones (a text or a place rarely asks
// for a height), a vertical system before the compound ones holding it (its
// name alone is what was typed).
inline int HeightRank(CandidateKind kind)
{
    return kind == CandidateKind::Vertical ? 1 : kind == CandidateKind::Compound ? 2 : 0;
}

// "EPSG:4326", "ESRI:54009"; empty for a system without a code.
inline std::string CandidateCode(const Candidate& candidate)
{
    return candidate.code.empty() || candidate.authority.empty()
               ? std::string()
               : candidate.authority + ":" + candidate.code;
}
