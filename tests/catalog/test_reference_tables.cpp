// The readers of GDAL's reference tables: small tables written here, and the
// bundled ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "catalog/ReferenceTables.h"
#include "support/TestSupport.h"

namespace {

// A GDAL data folder holding the tables a test writes.
class TableFolder {
public:
    TableFolder() : m_dir("orvane tables") {}
    std::string Path() const { return m_dir.Path() + "/"; }
    void Write(const std::string& file, const std::string& content) { WriteFile(m_dir / file, content); }

private:
    TempDir m_dir;
};

template <typename Entry>
std::vector<std::string> Names(const std::vector<Entry>& rows)
{
    std::vector<std::string> names;
    for (const Entry& e : rows)
        names.push_back(e.name);
    return names;
}

std::string BundledTables()
{
    return BuildFolder() + "/GDAL_Data/";
}

const RefEntry* Find(const std::vector<RefEntry>& rows, const std::string& name)
{
    auto it = std::find_if(rows.begin(), rows.end(), [&](const RefEntry& e) { return e.name == name; });
    return it == rows.end() ? nullptr : &*it;
}

}  // namespace

TEST(ReferenceTables, UnitsAreFilteredByKindTargetFactorsAndDeprecation)
{
    TableFolder t;
    t.Write("unit_of_measure.csv",
            "UOM_CODE,unit_of_meas_name,unit_of_meas_type,target_uom_code,factor_b,factor_c,remarks,deprecated\n"
            "9001,metre,length,9001,1,1,,0\n"
            "9036,kilometre,length,9001,1000,1,,\n"            // empty deprecation: listed
            "9002,foot,length,9001,0.3048,1,,1\n"              // deprecated
            "9003,half,length,9001,1,2,,0\n"                   // 0.5
            "9004,no factor c,length,9001,1,,,0\n"             // empty factor_c: left out
            "9005,capital,Length,9001,1,1,,0\n"                // not "length"
            "9006,to feet,length,9002,1,1,,0\n"                // wrong target
            "0,zero code,length,9001,1,1,,0\n"
            ",,length,9001,1,1,,0\n"
            "9007,\"metre, quoted\",length,9001,abc,1,,0\n"     // factor_b not a number
            "9008,short line,length,9001,1,1\n"                // no deprecation field
            "1026,metre per second,length,9001,1,1,,0\n"       // a rate, not a unit
            "1035,radian per second,angle,9101,1,1,,0\n"
            "9102,degree,angle,9101,3.141592653589793,180,,0\n"
            "9105,grad,angle,9101,3.141592653589793,200,,0\n");
    std::vector<RefEntry> length, angle;
    ASSERT_TRUE(ReadLengthUnits(t.Path(), length));
    ASSERT_TRUE(ReadAngularUnits(t.Path(), angle));
    EXPECT_EQ(Names(length), (std::vector<std::string>{"metre", "kilometre", "half"}));
    EXPECT_EQ(length[1].code, 9036);
    EXPECT_EQ(length[1].value, 1000.0);
    EXPECT_EQ(length[2].value, 0.5);
    EXPECT_EQ(Names(angle), (std::vector<std::string>{"degree", "grad"}));
    EXPECT_EQ(angle[0].value, M_PI / 180);
}

TEST(ReferenceTables, HeaderOnlyMissingColumnsAndMissingFiles)
{
    TableFolder t;
    std::vector<RefEntry> rows;
    EXPECT_FALSE(ReadLengthUnits(t.Path(), rows)) << "no table";
    t.Write("unit_of_measure.csv", "uom_code,unit_of_meas_name,unit_of_meas_type,target_uom_code,factor_b,factor_c,deprecated\n");
    EXPECT_TRUE(ReadLengthUnits(t.Path(), rows)) << "a header and no rows";
    EXPECT_TRUE(rows.empty());
    t.Write("unit_of_measure.csv", "uom_code,unit_of_meas_name,unit_of_meas_type,factor_b,factor_c,deprecated\n"
                                   "9001,metre,length,1,1,0\n");
    EXPECT_FALSE(ReadLengthUnits(t.Path(), rows)) << "target_uom_code missing";
    t.Write("unit_of_measure.csv", "");
    EXPECT_FALSE(ReadLengthUnits(t.Path(), rows)) << "empty file";
    EXPECT_TRUE(rows.empty());
}

TEST(ReferenceTables, EllipsoidsNeedASemiMajorAxisAndAShape)
{
    TableFolder t;
    t.Write("ellipsoid.csv",
            "ellipsoid_code,ellipsoid_name,semi_major_axis,uom_code,inv_flattening,semi_minor_axis,deprecated\n"
            "7030,WGS 84,6378137,9001,298.257223563,,0\n"
            "7001,Airy 1830,6377563.396,9001,,6356256.909,0\n"
            "7002,Neither,6377563.396,9001,,,0\n"
            "7003,Zero axis,0,9001,300,,0\n"
            "7004,Old,6377000,9001,300,,1\n"
            "7005,Feet,20925604.474,9002,298,,0\n");
    std::vector<EllipsoidEntry> rows;
    ASSERT_TRUE(ReadEllipsoids(t.Path(), rows));
    EXPECT_EQ(Names(rows), (std::vector<std::string>{"WGS 84", "Airy 1830", "Feet"}));
    EXPECT_EQ(rows[0].semi_minor_axis, 0.0);
    EXPECT_EQ(rows[0].inv_flattening, 298.257223563);
    EXPECT_EQ(rows[1].inv_flattening, 0.0);
    EXPECT_EQ(rows[1].semi_minor_axis, 6356256.909);
    EXPECT_EQ(rows[2].uom_code, 9002);
    EXPECT_EQ(rows[2].semi_major_axis, 20925604.474) << "axes are never converted";
    // The other of the two, worked out for the editor to show.
    EXPECT_NEAR(SemiMinorAxisOf(rows[0]), 6356752.314245, 1e-6);
    EXPECT_EQ(InverseFlatteningOf(rows[0]), 298.257223563);
    EXPECT_NEAR(InverseFlatteningOf(rows[1]), 299.3249646, 1e-5) << "from an axis given to the millimetre";
    EXPECT_EQ(SemiMinorAxisOf(rows[1]), 6356256.909);
    EXPECT_EQ(InverseFlatteningOf(EllipsoidEntry{1, "Sphere", 6371000, 9001, 0, 6371000}), 0.0)
        << "a sphere has no flattening";
}

TEST(ReferenceTables, DatumsShowTheirEsriNames)
{
    TableFolder t;
    t.Write("gdal_datum.csv",
            "DATUM_CODE,DATUM_NAME,ELLIPSOID_CODE,PRIME_MERIDIAN_CODE,DEPRECATED,ESRI_DATUM_NAME\n"
            "6326,WGS 84,7030,8901,0,D_WGS_1984\n"
            "6214,Beijing 1954,7024,8901,0,\n"        // no ESRI name
            "6001,No ellipsoid,0,8901,0,D_X\n"
            "6002,No meridian,7001,,0,D_Y\n"
            "6003,Deprecated,7001,8901,1,D_Z\n"
            "6004,Short,7001,8901,0\n"                // the guard column is the last one
            "6610,Xian 1980,7049,8901,,D_Xian_1980\n");
    std::vector<DatumEntry> rows;
    ASSERT_TRUE(ReadDatums(t.Path(), rows));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].esri_datum_name, "D_WGS_1984");
    EXPECT_EQ(rows[0].name, "WGS 84");
    EXPECT_EQ(rows[0].ellipsoid_code, 7030);
    EXPECT_EQ(rows[0].prime_meridian_code, 8901);
    EXPECT_EQ(rows[1].esri_datum_name, "D_Xian_1980");
}

TEST(ReferenceTables, PrimeMeridiansAreReadInTheirOwnUnit)
{
    TableFolder t;
    t.Write("prime_meridian.csv",
            "PRIME_MERIDIAN_CODE,PRIME_MERIDIAN_NAME,GREENWICH_LONGITUDE,UOM_CODE,DEPRECATED\n"
            "8901,Greenwich,0,9102,0\n"
            "8903,Paris,2.5969213,9105,0\n"
            "8907,Bern,7.26225,9110,0\n"
            "8913,Oslo,10.43225,9110,0\n"
            "8999,Decimal,2.33722917,9122,0\n"
            "8998,Radians,0.5,9101,0\n"
            "8997,Unknown unit,-74.04513,1234,0\n"
            "8996,Gone,1,9102,1\n");
    std::vector<RefEntry> rows;
    ASSERT_TRUE(ReadPrimeMeridians(t.Path(), rows));
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_EQ(rows[0].value, 0.0);
    EXPECT_NEAR(rows[1].value, 2.33722917, 1e-8) << "grads, not sexagesimal";
    EXPECT_NEAR(rows[2].value, 7.4395833, 1e-6);
    EXPECT_NEAR(rows[3].value, 10.7229167, 1e-6);
    EXPECT_DOUBLE_EQ(rows[4].value, 2.33722917);
    EXPECT_NEAR(rows[5].value, 28.6478898, 1e-6);
    EXPECT_NEAR(rows[6].value, -74.0809166, 1e-6) << "any other unit: packed sexagesimal";
}

TEST(ReferenceTables, PackedSexagesimalCarriesTheSign)
{
    EXPECT_EQ(PackedSexagesimalToDegrees(0.0), 0.0);
    EXPECT_NEAR(PackedSexagesimalToDegrees(-74.04513), -74.0809166, 1e-6);
    EXPECT_NEAR(PackedSexagesimalToDegrees(-0.3), -0.5, 1e-6);
    EXPECT_NEAR(PackedSexagesimalToDegrees(7.26225), 7.4395833, 1e-6);
}

TEST(ReferenceTables, BundledTables)
{
    std::vector<RefEntry> length, angle, meridians;
    std::vector<EllipsoidEntry> ellipsoids;
    std::vector<DatumEntry> datums;
    ASSERT_TRUE(ReadLengthUnits(BundledTables(), length));
    ASSERT_TRUE(ReadAngularUnits(BundledTables(), angle));
    ASSERT_TRUE(ReadPrimeMeridians(BundledTables(), meridians));
    ASSERT_TRUE(ReadEllipsoids(BundledTables(), ellipsoids));
    ASSERT_TRUE(ReadDatums(BundledTables(), datums));

    ASSERT_NE(Find(length, "metre"), nullptr);
    EXPECT_EQ(Find(length, "metre")->value, 1.0);
    EXPECT_NEAR(Find(length, "US survey foot")->value, 1200.0 / 3937.0, 1e-15);
    EXPECT_EQ(Find(length, "degree"), nullptr);
    ASSERT_NE(Find(angle, "degree"), nullptr);
    EXPECT_EQ(Find(angle, "degree")->value, M_PI / 180);
    EXPECT_EQ(Find(angle, "metre"), nullptr);
    EXPECT_EQ(Find(angle, "sexagesimal DMS"), nullptr) << "a unit without factors";

    EXPECT_EQ(Find(meridians, "Greenwich")->value, 0.0);
    EXPECT_NEAR(Find(meridians, "Bern")->value, 7.4395833, 1e-6);
    EXPECT_NEAR(Find(meridians, "Paris")->value, 2.3372292, 1e-6);

    auto wgs84 = std::find_if(ellipsoids.begin(), ellipsoids.end(),
                              [](const EllipsoidEntry& e) { return e.code == 7030; });
    ASSERT_NE(wgs84, ellipsoids.end());
    EXPECT_EQ(wgs84->semi_major_axis, 6378137.0);
    EXPECT_EQ(wgs84->inv_flattening, 298.257223563);
    for (const EllipsoidEntry& e : ellipsoids)
        EXPECT_EQ(e.uom_code, 9001) << e.name;

    auto datum = std::find_if(datums.begin(), datums.end(),
                              [](const DatumEntry& d) { return d.code == 6326; });
    ASSERT_NE(datum, datums.end());
    EXPECT_EQ(datum->esri_datum_name, "D_WGS_1984");
    EXPECT_GT(datums.size(), 400u);
}

TEST(ReferenceTables, CustomEntries)
{
    EXPECT_EQ(CustomLengthUnit().name, "<Custom>");
    EXPECT_EQ(CustomLengthUnit().value, 1.0);
    EXPECT_EQ(CustomAngularUnit().value, M_PI / 180);
    EXPECT_EQ(CustomEllipsoid().semi_minor_axis, 6356752.3);
    EXPECT_EQ(CustomDatum().ellipsoid_code, 0);
}
