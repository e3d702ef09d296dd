// The systems used at a place, best first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "search/Candidate.h"
#include "search/SearchCandidates.h"

// What a system was found by, the strongest evidence first: the ranking's
// first rule, which no later rule overrides (a place's or a realisation's
// rules order the systems within one kind of evidence).
enum class Evidence : std::uint8_t {
    Code,      // its code, in any form ("EPSG:4326", "urn:ogc:def:crs:EPSG::4326")
    WholeName, // the words spell its whole name or an alias, in any accepted spelling or script
    Words,     // every word a word of its name, aliases, terms or area (or the start of one)
    Place,     // a place read (a city, a country, coordinates), with the other words
    Corrected, // the words split or corrected
};

struct Found {
    const Candidate* candidate = nullptr;
    // The other name of the system the words were found in (an alias, a
    // catalogue entry's name); empty when it was its own name.
    std::string alias;
    Evidence evidence = Evidence::Place;
};

// The city a place is, when it is one: its name and its country, folded
// words (" hong kong ", " china "), either empty when unknown.
struct CityAsked {
    std::string words;
    std::string countryWords;
    // The folded words typed with it, each reading ("nad 83" of "nad83
    // chicago"): a datum they name comes before its other realisations.
    std::vector<std::string> typed;
};

// The candidates whose area of use holds the place: those on today's datums,
// then historical ones, the smallest area first within each (a city's grid,
// then the country's, then the UTM zone's, then the continent's). At a city,
// those named after it first, and another country's after its own.
std::vector<Found> CandidatesAt(const SearchCandidates& candidates, double latitude,
                                double longitude, std::size_t limit,
                                const CityAsked& city = CityAsked());
