// What the search's list calls a system it was handed as a text: its own
// name, or for one the user composed what it is.
#pragma once

#include <string>

#include <ogr_srs_api.h>

// The name `srs` is listed under: its own, or for a projected system the
// user composed (all of which bear the custom category's name) what it is.
std::string CandidateNameOf(OGRSpatialReferenceH srs);

// What a system the user composed is, for a list where all such systems bear
// the custom category's name: "Transverse Mercator, CM 117°E, ETRS89".
std::string ComposedSystemDescription(OGRSpatialReferenceH srs);
