// Candidates made of systems (a catalogue entry's text, a recent system),
// known by the EPSG code read off them, and the system a candidate restores.
#pragma once

#include <string>

#include "module/SpatialSystem.h"
#include "search/Candidate.h"

// The candidate of a catalogue entry (`source` Catalogue or User): the
// shipped catalogue's code is the one its text claims, the user's is judged.
Candidate CatalogueCandidate(const std::string& name, const std::string& wkt,
                             CandidateSource source);

// The candidate standing for a parsed system (a recent one); false when the
// text is no system.
bool CandidateOfWkt(const std::string& wkt, CandidateSource source, Candidate& candidate);

// The system a candidate restores: its own, or its authority's for its code
// (made from the code, never from a text of it). No system when GDAL cannot
// make it.
SpatialSystem CandidateSystem(const Candidate& candidate);
