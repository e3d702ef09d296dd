// A system's code as services and files write it: OGC's URNs and URLs,
// OGC's own CRS84, read as the "EPSG 4326" the search's words know.
#pragma once

#include <string>
#include <string_view>

// `text` with a code form read: "urn:ogc:def:crs:EPSG::4326",
// "urn:ogc:def:crs:EPSG:9.8:4326", "http://www.opengis.net/def/crs/EPSG/0/4326"
// are "EPSG 4326" (a code typed part way, "…EPSG::43", is "EPSG 43");
// "OGC:CRS84", "CRS84" and their URN and URL are WGS 84's "EPSG 4326"
// (CRS83 NAD83's, CRS27 NAD27's). Any other text as it is.
std::string CodeFormRead(std::string_view text);
