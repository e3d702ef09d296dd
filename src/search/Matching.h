// Which candidates a search text finds, best first.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "search/Candidates.h"

// The positions in `candidates` of those `query` finds, best first, at most
// `limit`. Every word of the query must occur in the name, letter case
// aside; a word of digits (also written "EPSG:32650") may match the start
// of the code instead. An exact code comes first, then names equal to the
// query, names starting with it, names whose words start with the query's
// words, then the rest; shorter names first within each. An empty query
// finds nothing.
std::vector<std::size_t> MatchCandidates(const CandidateList& candidates, std::string_view query,
                                         std::size_t limit);
