// The systems used at a place, best first.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "search/Candidate.h"
#include "search/SearchCandidates.h"

struct Found {
    const Candidate* candidate = nullptr;
    // The other name of the system the words were found in (an alias, a
    // catalogue entry's name); empty when it was its own name.
    std::string alias;
};

// The city a place is, when it is one: its name and its country, folded
// words (" hong kong ", " china "), either empty when unknown.
struct CityAsked {
    std::string words;
    std::string countryWords;
};

// The candidates whose area of use holds the place: those on today's datums,
// then historical ones, the smallest area first within each (a city's grid,
// then the country's, then the UTM zone's, then the continent's). At a city,
// those named after it first, and another country's after its own.
std::vector<Found> CandidatesAt(const SearchCandidates& candidates, double latitude,
                                double longitude, std::size_t limit,
                                const CityAsked& city = CityAsked());
