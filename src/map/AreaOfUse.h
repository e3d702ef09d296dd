// Where a system may be used, and the bands of the chooser's zones.
#pragma once

#include <string>

// A named area and its bounds in degrees (west may exceed east, across the
// antimeridian).
struct AreaOfUse {
    std::string name;
    std::string words;  // the name's folded words
    double west = 0, south = 0, east = 0, north = 0;
    bool bounded = false;

    bool Contains(double latitude, double longitude) const;
    // Whether the two areas share any place; false when either is unbounded.
    bool Overlaps(const AreaOfUse& other) const;
    // Square degrees: small is a country's grid, large a continent's system.
    double Size() const;
};

// The band `width` degrees wide around `meridian` from `south` to `north`,
// named "Between 114°E and 120°E".
AreaOfUse MeridianBand(double meridian, double width, double south, double north);

// The band of a transverse Mercator zone on `meridian`, `width` degrees
// wide, in one hemisphere: UTM's from 80°S to the equator or from the
// equator to 84°N, named as EPSG names its zones' areas.
AreaOfUse ZoneBand(double meridian, double width, bool northern);

// The part of `band` within `area`, named "Between 114°E and 120°E within
// China"; `band` itself when it lies outside it (or either is unbounded),
// and when it lies wholly inside.
AreaOfUse Clipped(const AreaOfUse& band, const AreaOfUse& area);

// Where an area is, in a word or two: EPSG's name up to its details
// ("Europe" of "Europe - onshore and offshore: Albania; …").
std::string ShortAreaName(const std::string& name);

// "117°E", "1.5°W": a longitude as EPSG writes a zone's meridians, whatever
// the locale.
std::string LongitudeText(double degrees);
