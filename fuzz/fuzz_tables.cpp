// The five reference table readers on arbitrary CSV files.
#include <filesystem>

#include "FuzzSupport.h"
#include "catalog/ReferenceTables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string folder = ScratchFolder() + "/GDAL_Data/";
    std::filesystem::create_directories(folder);
    const std::string bytes = AsText(data, size);
    for (const char* table : {"unit_of_measure.csv", "prime_meridian.csv", "ellipsoid.csv", "gdal_datum.csv"})
        WriteBytes(folder + table, bytes);
    std::vector<RefEntry> length, angle, meridians;
    std::vector<EllipsoidEntry> ellipsoids;
    std::vector<DatumEntry> datums;
    ReadLengthUnits(folder, length);
    ReadAngularUnits(folder, angle);
    ReadPrimeMeridians(folder, meridians);
    ReadEllipsoids(folder, ellipsoids);
    ReadDatums(folder, datums);
    for (const RefEntry& unit : length)
        Require(unit.code > 0 && !unit.name.empty() && unit.value > 0, "length units pass the filter");
    for (const EllipsoidEntry& e : ellipsoids)
        Require(e.semi_major_axis > 0 && (e.semi_minor_axis > 0 || e.inv_flattening > 0), "ellipsoids have a shape");
    for (const DatumEntry& d : datums)
        Require(!d.esri_datum_name.empty() && d.ellipsoid_code > 0, "datums pass the filter");
    return 0;
}
