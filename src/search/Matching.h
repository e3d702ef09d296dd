// Which candidates a search text finds, and which a place lies in, best first.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "search/AtPlace.h"
#include "search/SearchCandidates.h"

// The candidates `query` finds, best first, at most `limit`. Letter case,
// accents, punctuation and spacing aside, every word of the query must be a
// word of one name of the system ("utm33n" is "UTM zone 33N"), or the start
// of one, or of its area of use; a number must be a whole number of the name
// or the start of the code ("EPSG:" or "ESRI:" before it says whose). The
// search terms read Chinese names and nicknames as the names they stand for.
// The ranking is one rule: see Matching.cpp. An empty query finds nothing.
std::vector<Found> FindCandidates(const SearchCandidates& candidates, std::string_view query,
                                  std::size_t limit);

// What a text finds: the systems used at the place it names (coordinates,
// or a city: then, after them, the systems whose names hold the city's
// name, "DHDN / Soldner Berlin"), else what its words find (FindCandidates).
// `place` and `placeLabel` say the place, when it named one.
struct Finding {
    std::vector<Found> found;
    bool atPlace = false;
    double latitude = 0, longitude = 0;
    std::string placeLabel; // "Berlin (DE)", "52.5200°N 13.4000°E"
};
Finding FindForText(const SearchCandidates& candidates, std::string_view text, std::size_t limit);
