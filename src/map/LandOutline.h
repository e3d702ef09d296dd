// The land the chooser's map draws: Natural Earth's 1:110m land, shipped
// beside the library as one ring a line of longitude,latitude pairs in
// hundredths of a degree (past ±180° where a ring crosses the antimeridian:
// the map clips it).
#pragma once

#include <memory>
#include <string>
#include <vector>

struct LonLat {
    float lon;
    float lat;
};
using LandRing = std::vector<LonLat>;

// The rings of the text `content`; lines that are not rings (comments,
// damage) are left out, so a broken file draws less land, never garbage.
std::vector<LandRing> ParseLandOutline(const std::string& content);

// The shipped land, read once per process (empty when the file is missing
// or unreadable: the map then draws its frame alone).
std::shared_ptr<const std::vector<LandRing>> ShippedLand();
