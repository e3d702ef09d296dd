// GDAL's EPSG reference tables: units, prime meridians, ellipsoids, datums.
#pragma once

#include <string>
#include <vector>

// A row of the unit or prime meridian table.
struct RefEntry {
    int code = 0;
    std::string name;
    // Length units: metres per unit; angular units: radians per unit; prime
    // meridians: degrees east of Greenwich.
    double value = 0.0;
};

struct EllipsoidEntry {
    int code = 0;
    std::string name;
    double semi_major_axis = 0.0;
    int uom_code = 0;
    double inv_flattening = 0.0;   // 0 where the table leaves it empty
    double semi_minor_axis = 0.0;  // 0 where the table leaves it empty
};

// An ellipsoid's semi-minor axis and inverse flattening, each given by the
// table or worked out from the other (the table gives one of them): what the
// editor shows. A sphere's inverse flattening is 0, as GDAL writes it.
double SemiMinorAxisOf(const EllipsoidEntry& e);
double InverseFlatteningOf(const EllipsoidEntry& e);

struct DatumEntry {
    int code = 0;
    std::string name;  // DATUM_NAME
    int ellipsoid_code = 0;
    int prime_meridian_code = 0;
    std::string esri_datum_name;  // the text the datum list shows
};

// The text every list shows for its custom entry.
extern const char kCustomEntryText[];  // "<Custom>"

// The custom entries that head the lists.
RefEntry CustomLengthUnit();
RefEntry CustomAngularUnit();
RefEntry CustomPrimeMeridian();
EllipsoidEntry CustomEllipsoid();
DatumEntry CustomDatum();

// Each reader appends the accepted rows of its table in `gdalDataFolder` (a
// path ending in "/") to `rows`, in file order. False when the table cannot
// be opened or lacks a required column; the rows read so far stay.
bool ReadLengthUnits(const std::string& gdalDataFolder, std::vector<RefEntry>& rows);
bool ReadAngularUnits(const std::string& gdalDataFolder, std::vector<RefEntry>& rows);
bool ReadPrimeMeridians(const std::string& gdalDataFolder, std::vector<RefEntry>& rows);
bool ReadEllipsoids(const std::string& gdalDataFolder, std::vector<EllipsoidEntry>& rows);
bool ReadDatums(const std::string& gdalDataFolder, std::vector<DatumEntry>& rows);

// Packed sexagesimal degrees (D.MMSSsss) to decimal degrees; the sign carries
// through degrees, minutes and seconds.
double PackedSexagesimalToDegrees(double packed);
// A prime meridian longitude in the EPSG unit `uomCode` to decimal degrees:
// 9102/9122 degrees, 9105 grads, 9101 radians, 9110 and anything else packed
// sexagesimal.
double PrimeMeridianDegrees(double longitude, int uomCode);
