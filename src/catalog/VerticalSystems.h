// EPSG's vertical systems in use, as the height row offers them: those
// whose area of use overlaps the horizontal system's first, and the geoid
// models they need.
#pragma once

#include <string>
#include <vector>

struct VerticalSystem {
    std::string code;  // "7837"
    std::string name;  // "DHHN2016 height"
    double west = 0, south = 0, east = 0, north = 0;
    bool bounded = false;
};

// Reorders `systems`: those whose area overlaps the box (degrees; west may
// exceed east across the antimeridian) first, each group in its order; how
// many overlap.
std::size_t PutOverlappingFirst(std::vector<VerticalSystem>& systems, double west, double south, double east,
                                double north);

// The geoid model a vertical system's heights are reached by from the
// ellipsoid, when PROJ cannot find it on this machine ("us_nga_egm96_15.tif"):
// the system is defined without it, a transformation needs it. Empty when
// one of its models is here, or it needs none.
std::string MissingGeoidModel(const std::string& code);
