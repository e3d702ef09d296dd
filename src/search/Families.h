// Systems of one family found together, put in the order people want them:
// the same grid on successive realisations of a datum, the zones of one grid.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "search/Matching.h"

// Each grid found on several realisations of a datum ("GDA94 / MGA zone 56",
// "GDA2020 / MGA zone 56"), and the realisations of a vertical datum found
// ("DHHN92 height", "DHHN2016 height"), in the places they hold, today's
// first: a datum of today's before a historical one, then the later
// published. Never above a system of stronger evidence, and never above the
// realisation the words name: "nad83 utm 17n" is NAD83's, not NAD83(2011)'s
// (`typed`: the folded words of each reading of what was typed); at a place,
// never above the place's own country's (`foreign`, when given, says which
// are another country's: NAD83(CSRS) at Toronto before NAD83(2011)).
void NewerRealisationsFirst(std::vector<Found>& found,
                            const std::vector<std::string>& typed = std::vector<std::string>(),
                            const std::function<bool(const Candidate&)>& foreign = nullptr);

// Which realisations a system is one of, as a number (a hash: two
// families may share one); 0 for a system of none.
std::size_t RealisationFamily(const Candidate& candidate);

// The zones of one grid found at a place ("JGD2011 / Japan Plane Rectangular
// CS VIII" and "… IX", whose areas overlap) in the places they hold, the zone
// the place lies most centrally in first.
void MostCentralZoneFirst(std::vector<Found>& found, double latitude, double longitude);
