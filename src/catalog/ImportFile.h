// Reading the system of a file the user imports: a .prj's text, or the
// projection of an ERDAS Imagine or GeoTIFF raster.
#pragma once

#include <string>

#include "module/SpatialSystem.h"

struct ImportedFile {
    SpatialSystem system;  // no system when `problem` says why
    std::string problem;   // the message to show, empty when the file gave a system
};

// The system of the file at `path`, by its extension (.prj, .img, .tif in
// any letter case). A raster is read by GDAL's GTiff and HFA drivers alone,
// registered for the read when `gdalRegistered` is false and removed after.
ImportedFile ReadImportFile(const std::string& path, bool gdalRegistered);
