#include "catalog/ReferenceTables.h"

#include <cmath>
#include <functional>
#include <memory>

#include <cpl_csv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <cpl_vsi.h>

#include "module/GdalSupport.h"
#include "util/NumberText.h"

const char kCustomEntryText[] = "<Custom>";

RefEntry CustomLengthUnit()
{
    return {0, kCustomEntryText, 1.0};
}

RefEntry CustomAngularUnit()
{
    return {0, "Custom", 0.017453292519943295};
}

RefEntry CustomPrimeMeridian()
{
    return {0, "Custom", 0.0};
}

EllipsoidEntry CustomEllipsoid()
{
    return {0, "Custom", 6378137.0, 9001, 298.257223563, 6356752.3};
}

DatumEntry CustomDatum()
{
    return {0, "Custom", 0, 0, "Custom"};
}

namespace {

// A line of a table longer than this is not a table row: reading stops.
const std::size_t kMaxLineBytes = 1 << 20;

// One data line, its fields addressed by their place in the reader's list of
// required columns. A field the line lacks reads as empty text.
class Row {
public:
    Row(char** fields, const std::vector<int>& columns)
        : m_fields(fields), m_count(CSLCount(fields)), m_columns(columns)
    {
    }
    std::string Text(std::size_t column) const
    {
        const int i = m_columns[column];
        return i < m_count ? std::string(m_fields[i]) : std::string();
    }
    int Int(std::size_t column) const { return LeadingInt(Text(column)); }
    double Real(std::size_t column) const { return LeadingDouble(Text(column)); }
    bool Has(std::size_t column) const { return m_count > m_columns[column]; }

private:
    char** m_fields;
    int m_count;
    const std::vector<int>& m_columns;
};

StringListHandle ReadLine(VSILFILE* file)
{
    return StringListHandle(CSVReadParseLine3L(file, kMaxLineBytes, ",", true, false, false, true));
}

// Reads `fileName` in `folder`: finds the `columns` in the header (a full,
// case-insensitive match), then hands each line that reaches the guard column
// to `onRow`. False when the table cannot be opened or lacks a column.
bool ReadTable(const std::string& folder, const char* fileName,
               const std::vector<const char*>& columns, std::size_t guard,
               const std::function<void(const Row&)>& onRow)
{
    QuietGdalErrors quiet;
    const std::string path = folder + fileName;
    // Only a regular file: opening a FIFO or device could block forever.
    VSIStatBufL st;
    if (VSIStatL(path.c_str(), &st) != 0 || !VSI_ISREG(st.st_mode))
        return false;
    VsiFileHandle file(VSIFOpenL(path.c_str(), "rb"));
    if (!file)
        return false;
    std::vector<int> indexes;
    {
        StringListHandle header = ReadLine(file.get());
        if (!header)
            return false;
        for (const char* column : columns) {
            const int index = CSLFindString(header.get(), column);
            if (index < 0)
                return false;
            indexes.push_back(index);
        }
    }
    while (StringListHandle line = ReadLine(file.get())) {
        Row row(line.get(), indexes);
        if (row.Has(guard))
            onRow(row);
    }
    return true;
}

// "metre per second", "arc-seconds per year": EPSG files rates under the
// units they are rates of, but no system can measure in them.
bool IsRateUnit(const std::string& name)
{
    return name.find(" per ") != std::string::npos;
}

// Unit rows of one kind that convert to the given target unit.
bool ReadUnits(const std::string& folder, const char* type, int targetCode,
               std::vector<RefEntry>& rows)
{
    enum { Code, Name, Type, Target, FactorB, FactorC, Deprecated };
    return ReadTable(folder, "unit_of_measure.csv",
                     {"uom_code", "unit_of_meas_name", "unit_of_meas_type", "target_uom_code",
                      "factor_b", "factor_c", "deprecated"},
                     Deprecated, [&](const Row& row) {
                         const double b = row.Real(FactorB), c = row.Real(FactorC);
                         if (row.Int(Deprecated) != 0 || row.Int(Code) <= 0 ||
                             row.Text(Type) != type || row.Int(Target) != targetCode || !(b > 0) ||
                             !(c > 0) || row.Text(Name).empty() || IsRateUnit(row.Text(Name)))
                             return;
                         rows.push_back({row.Int(Code), row.Text(Name), b / c});
                     });
}

}  // namespace

bool ReadLengthUnits(const std::string& gdalDataFolder, std::vector<RefEntry>& rows)
{
    return ReadUnits(gdalDataFolder, "length", 9001, rows);
}

bool ReadAngularUnits(const std::string& gdalDataFolder, std::vector<RefEntry>& rows)
{
    return ReadUnits(gdalDataFolder, "angle", 9101, rows);
}

double PackedSexagesimalToDegrees(double packed)
{
    const double degrees = std::trunc(packed);
    const double r = (packed - degrees) * 100.0;
    const double minutes = std::trunc(r);
    const float seconds = static_cast<float>((r - minutes) * 100.0);
    return degrees + minutes / 60.0 + seconds / 3600.0;
}

double PrimeMeridianDegrees(double longitude, int uomCode)
{
    switch (uomCode) {
    case 9102:
    case 9122: return longitude;
    case 9105: return longitude * 0.9;
    case 9101: return longitude * 180.0 / M_PI;
    default: return PackedSexagesimalToDegrees(longitude);
    }
}

bool ReadPrimeMeridians(const std::string& gdalDataFolder, std::vector<RefEntry>& rows)
{
    enum { Code, Name, Longitude, Unit, Deprecated };
    return ReadTable(gdalDataFolder, "prime_meridian.csv",
                     {"PRIME_MERIDIAN_CODE", "PRIME_MERIDIAN_NAME", "GREENWICH_LONGITUDE",
                      "UOM_CODE", "DEPRECATED"},
                     Deprecated, [&](const Row& row) {
                         if (row.Int(Deprecated) != 0 || row.Int(Code) <= 0 ||
                             row.Text(Name).empty())
                             return;
                         rows.push_back({row.Int(Code), row.Text(Name),
                                         PrimeMeridianDegrees(row.Real(Longitude), row.Int(Unit))});
                     });
}

bool ReadEllipsoids(const std::string& gdalDataFolder, std::vector<EllipsoidEntry>& rows)
{
    enum { Code, Name, SemiMajor, Unit, InvFlattening, SemiMinor, Deprecated };
    return ReadTable(gdalDataFolder, "ellipsoid.csv",
                     {"ellipsoid_code", "ellipsoid_name", "semi_major_axis", "uom_code",
                      "inv_flattening", "semi_minor_axis", "deprecated"},
                     Deprecated, [&](const Row& row) {
                         EllipsoidEntry e{row.Int(Code),          row.Text(Name),
                                          row.Real(SemiMajor),    row.Int(Unit),
                                          row.Real(InvFlattening), row.Real(SemiMinor)};
                         if (row.Int(Deprecated) != 0 || e.code <= 0 || !(e.semi_major_axis > 0) ||
                             !(e.semi_minor_axis > 0 || e.inv_flattening > 0) || e.name.empty())
                             return;
                         rows.push_back(std::move(e));
                     });
}

double SemiMinorAxisOf(const EllipsoidEntry& e)
{
    if (e.semi_minor_axis > 0 || !(e.inv_flattening > 0))
        return e.semi_minor_axis;
    return e.semi_major_axis * (1 - 1 / e.inv_flattening);
}

double InverseFlatteningOf(const EllipsoidEntry& e)
{
    if (e.inv_flattening > 0 || !(e.semi_minor_axis > 0) || e.semi_minor_axis >= e.semi_major_axis)
        return e.inv_flattening;
    return e.semi_major_axis / (e.semi_major_axis - e.semi_minor_axis);
}

bool ReadDatums(const std::string& gdalDataFolder, std::vector<DatumEntry>& rows)
{
    enum { Code, Name, Ellipsoid, Meridian, Deprecated, EsriName };
    return ReadTable(gdalDataFolder, "gdal_datum.csv",
                     {"DATUM_CODE", "DATUM_NAME", "ELLIPSOID_CODE", "PRIME_MERIDIAN_CODE",
                      "DEPRECATED", "ESRI_DATUM_NAME"},
                     EsriName, [&](const Row& row) {
                         DatumEntry d{row.Int(Code), row.Text(Name), row.Int(Ellipsoid),
                                      row.Int(Meridian), row.Text(EsriName)};
                         if (row.Int(Deprecated) != 0 || d.code <= 0 || d.ellipsoid_code <= 0 ||
                             d.prime_meridian_code <= 0 || d.name.empty() ||
                             d.esri_datum_name.empty())
                             return;
                         rows.push_back(std::move(d));
                     });
}
