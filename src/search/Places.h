// A place typed as a coordinate pair, for finding the systems used there.
#pragma once

#include <string>
#include <string_view>

struct Place {
    double latitude = 0;   // degrees, north positive
    double longitude = 0;  // degrees, east positive
};

// Reads two coordinates: decimal degrees ("52.52 13.40", "52.52, 13.40",
// "-33.87 151.21"), degrees, minutes and seconds ("52°31'N 13°24'E",
// "52°31′12″N"), with hemisphere letters before or after ("13.4E 52.5N",
// "N52.5 E13.4"). Latitude first unless the letters say otherwise. Two
// bare whole numbers ("33 117") are words, not a place: a coordinate needs a
// decimal point, a degree, minute or second sign, or a hemisphere letter,
// unless `wholeNumbers` (the text is known to be a place: "52,13", "0 0").
// False for anything else, or out of range.
bool ParsePlace(std::string_view text, Place& place, bool wholeNumbers = false);

// "52.5200°N 13.4000°E".
std::string PlaceText(const Place& place);
