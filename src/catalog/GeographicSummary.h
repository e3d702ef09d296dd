// What the chooser says of the geographic system a choice builds on.
#pragma once

#include <optional>
#include <string>

#include "catalog/SystemChoice.h"

struct GeographicSummary {
    // Its name, datum and spheroid, its EPSG code, and the accuracy of a
    // datum ensemble worth a word, one a line ("\r\n").
    std::string text;
    std::string code;  // its EPSG code; empty when it is exactly none
};

// None for a name the catalogue lacks, or an entry GDAL cannot read.
std::optional<GeographicSummary> SummaryOfGeographic(const SystemChoice& choice);
