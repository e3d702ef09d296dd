// The systems last confirmed, as rows of the search's list.
#pragma once

#include <vector>

#include "search/Candidate.h"

// The recent systems of the user's file, each with where it serves: its
// code's area, or for one the user composed its projection's band within
// its geographic system's area (as the map shows it); no area while PROJ's
// database is being read.
std::vector<Candidate> RecentCandidates();
