// The chooser's model without a widget: the cascade's rules, composition and
// its inverse, and every EPSG and ESRI projected system held and handed back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>

#include "catalog/Composition.h"
#include "catalog/Identification.h"
#include "catalog/SystemReading.h"
#include "module/GdalSupport.h"
#include "module/Module.h"
#include "search/CandidateSystems.h"
#include "support/TestSupport.h"

namespace {

const ChoiceCatalogues& Bundled()
{
    static const ChoiceCatalogues catalogues = LoadChoiceCatalogues(GetGdalDataFolder());
    return catalogues;
}

SystemChoice Fresh()
{
    return NewChoice(Bundled());
}

double Value(const SystemChoice& choice, const std::string& name)
{
    for (const ChoiceParameter& p : choice.shown.parameters)
        if (p.name == name)
            return p.value;
    ADD_FAILURE() << "no parameter " << name;
    return NAN;
}

std::size_t Row(const SystemChoice& choice, const std::string& name)
{
    for (std::size_t i = 0; i < choice.shown.parameters.size(); ++i)
        if (choice.shown.parameters[i].name == name)
            return i;
    ADD_FAILURE() << "no parameter " << name;
    return 0;
}

int Position(const std::vector<std::string>& entries, const std::string& text)
{
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i] == text)
            return static_cast<int>(i);
    ADD_FAILURE() << "no entry " << text;
    return -1;
}

// What PROJ computes with: the parameters as PROJ reads them from the text.
std::string ProjStringOf(const std::string& wkt)
{
    OsrHandle srs = NewSpatialReference(wkt);
    char* text = nullptr;
    if (srs)
        OSRExportToProj4(srs.get(), &text);
    const GdalTextHandle owned(text);
    return text ? text : "";
}

std::string Identify(const std::string& wkt)
{
    const OsrHandle srs = NewSpatialReference(wkt);
    return srs ? ExactEpsgCode(srs.get()) : std::string();
}

std::string NameOf(const std::string& wkt)
{
    const OsrHandle srs = NewSpatialReference(wkt);
    const char* name = srs ? SystemNameOf(srs.get()) : nullptr;
    return name ? name : "";
}

ComposedSystem Compose(const SystemChoice& choice)
{
    return ComposeSystem(choice, Identify);
}

}  // namespace

TEST(SystemChoiceRules, TheCascadeOfKindCategoryZoneAndMethod)
{
    SystemChoice c = Fresh();
    EXPECT_FALSE(c.shown.projected);
    EXPECT_EQ(c.shown.geogName, "WGS 84");
    EXPECT_EQ(CategoryEntries(c), std::vector<std::string>{kGeographicCategory});
    EXPECT_TRUE(MethodEntries(c).empty());

    // Projected: the custom category on "WGS 1984", Transverse Mercator with
    // its defaults, the custom unit.
    ChooseKind(c, true);
    EXPECT_EQ(c.shown.category, kCustomCategoryPosition);
    EXPECT_EQ(c.shown.geogName, "WGS 1984");
    EXPECT_EQ(c.shown.methodName, "Transverse_Mercator");
    EXPECT_EQ(Value(c, "scale_factor"), 1.0) << "a fresh scale is 1, not an unusable 0";
    EXPECT_EQ(Value(c, "central_meridian"), 0.0);
    EXPECT_EQ(c.shown.unit, 0);
    EXPECT_TRUE(StatesOf(c).unitFactorEditable);
    EXPECT_FALSE(StatesOf(c).zone);

    // UTM: zone 31 north in a fresh chooser, its parameters, metres.
    ChooseCategory(c, kUtmCategoryPosition);
    EXPECT_EQ(c.shown.zone, 90);
    EXPECT_EQ(Value(c, "central_meridian"), 3.0);
    EXPECT_EQ(Value(c, "false_easting"), 500000.0);
    EXPECT_EQ(Value(c, "scale_factor"), 0.9996);
    EXPECT_EQ(UnitEntries(c)[static_cast<std::size_t>(c.shown.unit)], "metre");
    EXPECT_FALSE(StatesOf(c).method);
    EXPECT_FALSE(StatesOf(c).unitFactorEditable);

    // Gauss-Krueger: its geographic system and method locked, its first zone
    // applied; the UTM category then opens on the zone of that meridian.
    ChooseCategory(c, kBeijing1954CategoryPosition);
    EXPECT_EQ(c.shown.geogName, "Beijing 1954");
    EXPECT_FALSE(StatesOf(c).geogSystem);
    EXPECT_EQ(c.shown.methodName, "Gauss_Kruger");
    EXPECT_EQ(c.shown.zone, 0);
    ChooseZone(c, Position(ZoneEntries(c), "Beijing 1954 / 3-degree Gauss-Kruger CM 117E"));
    EXPECT_EQ(Value(c, "central_meridian"), 117.0);
    ChooseCategory(c, kUtmCategoryPosition);
    EXPECT_EQ(c.shown.zone, UtmPositionOfZone(50, true));

    // A southern zone is remembered across categories.
    ChooseZone(c, 10);
    EXPECT_EQ(Value(c, "false_northing"), 10000000.0);
    ChooseCategory(c, kCustomCategoryPosition);
    ChooseCategory(c, kUtmCategoryPosition);
    EXPECT_EQ(c.shown.zone, 10);

    // A meridian outside -180..180 lies in the zone of its equivalent.
    SystemChoice far = Fresh();
    far.lastZoneMeridian = 243;
    ChooseKind(far, true);
    ChooseCategory(far, kUtmCategoryPosition);
    EXPECT_EQ(far.shown.zone, UtmPositionOfZone(11, true));

    // Geographic again: the projection side empties, the system stays; a
    // category picked meanwhile changes nothing.
    ChooseGeogSystem(c, "Xian 1980");
    ChooseKind(c, false);
    EXPECT_EQ(c.shown.geogName, "Xian 1980");
    EXPECT_TRUE(c.shown.parameters.empty());
    EXPECT_EQ(c.shown.unit, -1);
    ChooseCategory(c, kUtmCategoryPosition);
    EXPECT_FALSE(c.shown.projected);

    // Where the category fixes the geographic system, a defined one is
    // listed, never shown as the choice.
    SystemChoice gk = Fresh();
    ChooseKind(gk, true);
    ChooseCategory(gk, kBeijing1954CategoryPosition);
    const std::string fixed = gk.shown.geogName;
    AddGeogSystem(gk, "Mine", gk.catalogues.geographic.at("WGS 84"));
    EXPECT_EQ(gk.shown.geogName, fixed);
    EXPECT_EQ(gk.catalogues.geographic.count("Mine"), 1u);
}

TEST(SystemChoiceRules, AnEditStaysWithItsMethod)
{
    SystemChoice c = Fresh();
    ChooseKind(c, true);
    EditParameter(c, Row(c, "central_meridian"), " 45 ");
    const int bonne = Position(MethodEntries(c), "Bonne");
    ChooseMethod(c, bonne);
    EXPECT_EQ(c.shown.methodName, "Bonne");
    ChooseMethod(c, 0);
    EXPECT_EQ(Value(c, "central_meridian"), 45.0) << "what the user typed is never dropped";
    EXPECT_EQ(ParameterText(c.shown.parameters[Row(c, "central_meridian")]), " 45 ") << "shown as typed";
    EXPECT_EQ(ParameterText(c.shown.parameters[Row(c, "false_easting")]), "0.000000000000000000");
    // Back to the projected kind: Transverse Mercator with the values it last held.
    ChooseKind(c, false);
    ChooseKind(c, true);
    EXPECT_EQ(Value(c, "central_meridian"), 45.0);
}

// Every value the catalogues give a parameter (each method's, each zone's of
// every category) shows with 18 decimals and no float noise, and reads back
// as the very same number.
TEST(SystemChoiceRules, EveryCataloguedValueShowsWithoutNoise)
{
    SystemChoice c = Fresh();
    ChooseKind(c, true);
    std::size_t values = 0;
    const auto checkShown = [&](const std::string& where) {
        for (const ChoiceParameter& p : c.shown.parameters) {
            const std::string text = ParameterText(p);
            ++values;
            EXPECT_EQ(std::stod(text), p.value) << where << " " << p.name << " " << text;
            const std::size_t point = text.find('.');
            ASSERT_NE(point, std::string::npos) << text;
            EXPECT_GE(text.size() - point - 1, 18u) << text;
            // The digits that matter, then zeros: 17 significant digits at most.
            std::string significant;
            for (const char ch : text.substr(0, text.find_last_not_of('0') + 1))
                if (ch >= '0' && ch <= '9')
                    significant += ch;
            significant.erase(0, significant.find_first_not_of('0'));
            EXPECT_LE(significant.size(), 17u) << text;
        }
    };
    for (int m = 0; m < static_cast<int>(MethodEntries(c).size()); ++m) {
        ChooseMethod(c, m);
        checkShown(MethodEntries(c)[static_cast<std::size_t>(m)]);
    }
    for (int category = 0; category < static_cast<int>(CategoryEntries(c).size()); ++category) {
        ChooseCategory(c, category);
        for (int zone = 0; zone < static_cast<int>(ZoneEntries(c).size()); ++zone) {
            ChooseZone(c, zone);
            checkShown(CategoryEntries(c)[static_cast<std::size_t>(category)]);
        }
    }
    EXPECT_GT(values, 1000u) << "every method's and zone's values";
}

TEST(SystemChoiceRules, RefusalsSayWhy)
{
    struct Case {
        const char* what;
        void (*change)(SystemChoice&);
        CompositionProblem problem;
        const char* parameter;
    };
    const Case cases[] = {
        {"usable", [](SystemChoice&) {}, CompositionProblem::None, ""},
        {"a scale of 0", [](SystemChoice& c) { EditParameter(c, Row(c, "scale_factor"), "0"); },
         CompositionProblem::ScaleFactorZero, "scale_factor"},
        {"no number", [](SystemChoice& c) { EditParameter(c, Row(c, "false_easting"), "105.5 degrees"); },
         CompositionProblem::NotANumber, "false_easting"},
        {"a decimal comma", [](SystemChoice& c) { EditParameter(c, Row(c, "scale_factor"), "0,9996"); },
         CompositionProblem::NotANumber, "scale_factor"},
        {"parallels that meet",
         [](SystemChoice& c) {
             ChooseMethod(c, Position(MethodEntries(c), "Lambert_Conformal_Conic_2SP"));
             EditParameter(c, Row(c, "standard_parallel_1"), "30");
             EditParameter(c, Row(c, "standard_parallel_2"), "-30");
         },
         CompositionProblem::ParallelsMeet, "standard_parallel_1"},
        {"a negative unit factor",
         [](SystemChoice& c) {
             ChooseUnit(c, 0);
             EditUnitFactor(c, "-2");
         },
         CompositionProblem::BadUnitFactor, ""},
        {"a unit factor not a number",
         [](SystemChoice& c) {
             ChooseUnit(c, 0);
             EditUnitFactor(c, "two");
         },
         CompositionProblem::BadUnitFactor, ""},
        {"no geographic system", [](SystemChoice& c) { ChooseGeogSystem(c, "Nowhere"); },
         CompositionProblem::NoGeographicSystem, ""},
        {"a UTM meridian outside every zone",
         [](SystemChoice& c) {
             ChooseCategory(c, kUtmCategoryPosition);
             EditParameter(c, Row(c, "central_meridian"), "-190");
         },
         CompositionProblem::NoZone, ""},
        {"a Gauss-Krueger zone missing",
         [](SystemChoice& c) {
             c.catalogues.xian1980.clear();
             ChooseCategory(c, kXian1980CategoryPosition);
         },
         CompositionProblem::NoZone, ""},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        SystemChoice c = Fresh();
        ChooseKind(c, true);
        ChooseUnit(c, Position(UnitEntries(c), "metre"));
        k.change(c);
        const ComposedSystem composed = Compose(c);
        EXPECT_EQ(composed.problem, k.problem);
        EXPECT_EQ(composed.parameter, k.parameter);
        EXPECT_EQ(composed.wkt.empty(), k.problem != CompositionProblem::None);
    }
}

TEST(SystemChoiceRules, OneSystemOneResultAndNoNameThatLies)
{
    // WGS 84 + UTM + zone 33: EPSG's own system, as the search gives it.
    SystemChoice utm = Fresh();
    ChooseGeogSystem(utm, "WGS 84");
    ChooseKind(utm, true);
    ChooseCategory(utm, kUtmCategoryPosition);
    ChooseGeogSystem(utm, "WGS 84");
    ChooseZone(utm, UtmPositionOfZone(33, true));
    EXPECT_EQ(Compose(utm).wkt, WktOf("EPSG:32633"));

    // The same zone on another datum is no EPSG system: named as the zone.
    ChooseGeogSystem(utm, "Beijing 1954");
    const std::string beijingUtm = Compose(utm).wkt;
    EXPECT_EQ(NameOf(beijingUtm), "UTM Zone 33, Northern Hemisphere");
    EditParameter(utm, Row(utm, "false_easting"), "400000");
    EXPECT_EQ(NameOf(Compose(utm).wkt), kComposedSystemName) << "no longer the zone";

    // EPSG:32633 edited: no longer EPSG's name; edited back: EPSG's again.
    SystemChoice held = Fresh();
    ASSERT_EQ(HoldSystem(held, WktOf("EPSG:32633")), HoldProblem::None);
    EditParameter(held, Row(held, "false_easting"), "1000");
    const std::string edited = Compose(held).wkt;
    EXPECT_EQ(NameOf(edited), kComposedSystemName);
    EXPECT_NE(ProjStringOf(edited).find(" +x_0=1000 "), std::string::npos) << edited;
    EditParameter(held, Row(held, "false_easting"), "500000");
    EXPECT_EQ(Compose(held).wkt, WktOf("EPSG:32633"));

    // Pseudo-Mercator is a method of its own: its edit is never dropped.
    SystemChoice web = Fresh();
    ASSERT_EQ(HoldSystem(web, WktOf("EPSG:3857")), HoldProblem::None);
    EXPECT_EQ(web.shown.methodName, "Popular_Visualisation_Pseudo_Mercator");
    EXPECT_TRUE(StatesOf(web).parametersEditable);
    EditParameter(web, Row(web, "false_easting"), "1000");
    EXPECT_NE(ProjStringOf(Compose(web).wkt).find(" +x_0=1000 "), std::string::npos) << Compose(web).wkt;
}

// A user's datum shift is never lost: through every path from a shifted
// geographic system to a result, the result carries that shift and no EPSG
// code (EPSG's systems have none, or another).
TEST(SystemChoiceRules, ADatumShiftIsKeptOnEveryPath)
{
    const std::string shifted = "GEOGCS[\"Shifted\",DATUM[\"Shifted_datum\",SPHEROID[\"WGS 84\",6378137,298.257223563],"
                                "TOWGS84[10,20,30,0,0,0,0]],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]";
    const std::string mine = "GEOGCS[\"Mine\",DATUM[\"OSGB_1936\",SPHEROID[\"Airy 1830\",6377563.396,299.3249646],"
                             "TOWGS84[375,-111,431,0,0,0,0]],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]";
    // EPSG:32631's text, its claim kept, on the shifted datum.
    std::string claimed = WktOf("EPSG:32631");
    claimed.replace(claimed.find("GEOGCS["), claimed.find(",PROJECTION[") - claimed.find("GEOGCS["), shifted);
    const std::string grids = "+proj=longlat +ellps=GRS80 +nadgrids=@null +no_defs";
    struct Path {
        const char* what;
        std::string geog;  // whose shift the result keeps
        std::function<void(SystemChoice&)> steps;
    };
    const Path paths[] = {
        {"held geographic, unchanged", shifted, [&](SystemChoice& c) { HoldSystem(c, shifted); }},
        {"opened on it: Projected, then UTM", shifted,
         [&](SystemChoice& c) {
             HoldSystem(c, shifted);
             ChooseKind(c, true);
             ChooseCategory(c, kUtmCategoryPosition);
             ChooseZone(c, UtmPositionOfZone(31, true));
         }},
        {"a custom method, edited", shifted,
         [&](SystemChoice& c) {
             HoldSystem(c, shifted);
             ChooseKind(c, true);
             ChooseCategory(c, kCustomCategoryPosition);
             ChooseGeogSystem(c, "Shifted");
             ChooseMethod(c, Position(MethodEntries(c), "Transverse_Mercator"));
             EditParameter(c, Row(c, "central_meridian"), "3");
             EditParameter(c, Row(c, "scale_factor"), "0.9996");
             EditParameter(c, Row(c, "false_easting"), "500000");
         }},
        {"a user's system under a held EPSG system", mine,
         [&](SystemChoice& c) {
             HoldSystem(c, WktOf("EPSG:27700"));
             AddGeogSystem(c, "Mine", mine);
         }},
        {"a held claim of EPSG's, edited and edited back", shifted,
         [&](SystemChoice& c) {
             HoldSystem(c, claimed);
             EditParameter(c, Row(c, "false_easting"), "1000");
             EditParameter(c, Row(c, "false_easting"), "500000");
         }},
        {"grids, through UTM", grids,
         [&](SystemChoice& c) {
             HoldSystem(c, WktOf(grids));
             ChooseKind(c, true);
             ChooseCategory(c, kUtmCategoryPosition);
             ChooseGeogSystem(c, c.held.shown.geogName);
             ChooseZone(c, UtmPositionOfZone(31, true));
         }},
    };
    for (const Path& path : paths) {
        SystemChoice c = Fresh();
        path.steps(c);
        const std::string wkt = Compose(c).wkt;
        const OsrHandle result = NewSpatialReference(wkt);
        const OsrHandle geog = NewSpatialReference(WktOf(path.geog));
        ASSERT_TRUE(result && geog) << path.what << ": " << wkt;
        EXPECT_FALSE(DatumShiftOf(result.get()).None()) << path.what;
        EXPECT_TRUE(DatumShiftOf(result.get()) == DatumShiftOf(geog.get())) << path.what << ": " << wkt;
        EXPECT_EQ(ExactEpsgCode(result.get()), "") << path.what << ": " << wkt;
    }

    // Identification: a code only for exactly EPSG's system; "like" for one
    // that differs from it only by its shift.
    struct Identified {
        std::string text;
        const char* code;
        const char* like;
    };
    std::string wgs84Shifted = WktOf("EPSG:4326");
    wgs84Shifted.insert(wgs84Shifted.find("],AUTHORITY[\"EPSG\",\"6326\"]"), "],TOWGS84[10,20,30,0,0,0,0");
    // EPSG:3006 as ESRI writes a .prj of it, without axes (easting first, to
    // WKT1), where EPSG's go northing first.
    std::string withoutAxes = WktOf("EPSG:3006");
    for (std::size_t at; (at = withoutAxes.find(",AXIS[")) != std::string::npos;)
        withoutAxes.erase(at, withoutAxes.find(']', at) - at + 1);
    const Identified identified[] = {
        {withoutAxes, "3006", ""},
        {wgs84Shifted, "", "4326"},  // its claim of 4326 included
        {WktOf("EPSG:4326"), "4326", ""},
        {shifted, "", ""},  // another datum, by name
        {claimed, "", ""},
        {WktOf("EPSG:3857"), "3857", ""},  // its PROJ form's "@null" is its method's, not a shift
        {mine, "", "4277"},                // OSGB 1936, but for the user's shift
        // A claim is held to what it claims: another ellipsoid is no 4326,
        // and a code that is no number is no code at all.
        {"GEOGCS[\"x\",DATUM[\"NAD27\",SPHEROID[\"Clarke 1866\",6378206.4,294.978698213898]],PRIMEM[\"Greenwich\",0],"
         "UNIT[\"degree\",0.0174532925199433],AUTHORITY[\"EPSG\",\"4326\"]]",
         "", ""},
        {"GEOGCS[\"x\",DATUM[\"D\",SPHEROID[\"S\",6378137,298.257]],PRIMEM[\"Greenwich\",0],"
         "UNIT[\"degree\",0.0174532925199433],AUTHORITY[\"EPSG\",\"4326\x1b[2J\"]]",
         "", ""},
    };
    for (const Identified& i : identified) {
        const OsrHandle srs = NewSpatialReference(i.text);
        ASSERT_TRUE(srs) << i.text;
        const EpsgIdentity identity = IdentifyEpsg(srs.get());
        EXPECT_EQ(identity.code, i.code) << i.text;
        EXPECT_EQ(identity.likeButShift, i.like) << i.text;
    }
}

// One zone, one result: a Gauss-Krueger zone chosen through its category is
// the zone as EPSG defines it, the very text the search hands back, and the
// code line knows its code as UTM's does.
TEST(SystemChoiceRules, AGaussKruegerZoneIsEpsgsWhicheverWayItIsChosen)
{
    std::size_t checked = 0;
    for (const int category : {kBeijing1954CategoryPosition, kXian1980CategoryPosition}) {
        SystemChoice c = Fresh();
        ChooseKind(c, true);
        ChooseCategory(c, category);
        const SystemCatalog zones =
            category == kBeijing1954CategoryPosition ? c.catalogues.beijing1954 : c.catalogues.xian1980;
        int position = 0;
        for (const auto& [name, wkt] : zones) {
            ChooseZone(c, position++);
            const OsrHandle zone = NewSpatialReference(wkt);
            Candidate found;
            found.authority = "EPSG";
            found.code = zone ? OwnEpsgCode(zone.get()) : std::string();
            ASSERT_FALSE(found.code.empty()) << name;
            EXPECT_EQ(Compose(c).wkt, CandidateSystem(found).Text()) << name;
            std::string known;
            ComposeWithoutIdentity(c, &known);
            EXPECT_EQ(known, found.code) << name;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 128u);
}

TEST(SystemChoiceRules, WhatIsHeldComesBackAsGiven)
{
    // Unchanged: the very text, WKT2 and ESRI's names included.
    for (const std::string& wkt : {WktOf("EPSG:2056", "FORMAT=WKT2_2019"), WktOf("EPSG:5514", "FORMAT=WKT2_2019"),
                                   WktOf("ESRI:102470"), WktOf("EPSG:26332", "FORMAT=WKT1_ESRI")}) {
        SystemChoice c = Fresh();
        ASSERT_EQ(HoldSystem(c, wkt), HoldProblem::None) << wkt;
        EXPECT_EQ(Compose(c).wkt, wkt);
        // Away and back: unchanged again.
        ChooseCategory(c, kCustomCategoryPosition);
        ChooseCategory(c, kHeldCategoryPosition);
        EXPECT_EQ(Compose(c).wkt, wkt);
    }

    // A held geographic system keeps its shift while its entry is chosen.
    const std::string shifted =
        "GEOGCS[\"Xian 1980\",DATUM[\"Xian_1980\",SPHEROID[\"IAG 1975\",6378140,298.257],"
        "TOWGS84[24,-123,-94,0,0,0,0]],PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]]";
    SystemChoice g = Fresh();
    ASSERT_EQ(HoldSystem(g, shifted), HoldProblem::None);
    ChooseGeogSystem(g, "Beijing 1954");
    ChooseGeogSystem(g, "Xian 1980");
    EXPECT_EQ(Compose(g).wkt, shifted);
    ChooseKind(g, true);
    ChooseGeogSystem(g, "Xian 1980");
    EXPECT_NE(Compose(g).wkt.find("TOWGS84[24,-123,-94"), std::string::npos) << "its own geographic system";

    // Krovak's south/west axes stay while its method does.
    SystemChoice k = Fresh();
    ASSERT_EQ(HoldSystem(k, WktOf("EPSG:2065")), HoldProblem::None);
    EditParameter(k, Row(k, "false_easting"), "1000");
    OsrHandle krovak = NewSpatialReference(Compose(k).wkt);
    ASSERT_NE(krovak, nullptr);
    OGRAxisOrientation first = OAO_Other, second = OAO_Other;
    OSRGetAxis(krovak.get(), "PROJCS", 0, &first);
    OSRGetAxis(krovak.get(), "PROJCS", 1, &second);
    EXPECT_EQ(first, OAO_South);
    EXPECT_EQ(second, OAO_West);

    // Not a system the chooser can show: WGS 84 instead, and why.
    SystemChoice local = Fresh();
    EXPECT_EQ(HoldSystem(local, "LOCAL_CS[\"Site\",UNIT[\"metre\",1]]"),
              HoldProblem::NotAGeographicOrProjectedSystem);
    EXPECT_EQ(HoldSystem(local, "not WKT"), HoldProblem::Unreadable);
    EXPECT_EQ(local.shown.geogName, "WGS 84");
    EXPECT_TRUE(local.held.system.Text().empty());
}

namespace {

struct RoundTrip {
    int held = 0, refused = 0, sameText = 0;
    std::set<std::string> readOnly;  // codes shown read-only
    std::set<std::string> visited;
    std::string report;
};

// Holds every `stride`-th system of `shard` (of `shards`): each must come back
// as the same text unchanged, and its own values must compose the same system
// (else it is shown read-only).
void HoldAll(const char* authority, const char* format, OSRCRSType type, RoundTrip& counts, int stride, int shard,
             int shards)
{
    int count = 0;
    OSRCRSInfo** list = OSRGetCRSInfoListFromDatabase(authority, nullptr, &count);
    const SystemChoice fresh = Fresh();
    for (int i = 0; i < count; i += stride) {
        const OSRCRSInfo* info = list[i];
        if ((i / stride) % shards != shard || info->bDeprecated || info->eType != type)
            continue;
        const std::string code = std::string(authority) + ":" + info->pszCode;
        counts.visited.insert(code);
        const std::string wkt = WktOf(code, format);
        if (wkt.empty())
            continue;
        SystemChoice c = fresh;
        if (HoldSystem(c, wkt) != HoldProblem::None) {
            ++counts.refused;
            counts.report += " refused:" + code;
            continue;
        }
        ++counts.held;
        if (Compose(c).wkt == wkt)
            ++counts.sameText;
        else
            counts.report += " changed:" + code;
        if (!c.held.composable)
            counts.readOnly.insert(code);
    }
    OSRDestroyCRSInfoList(list);
}

}  // namespace

// One form of every system of an authority, held in shards that run apart.
struct Flavour {
    const char* authority;
    const char* format;  // null: GDAL's WKT1 (WKT2 where it has none)
    const char* name;
    int shard, shards;
    // The systems shown read-only: those whose method's parameters the
    // chooser cannot compose again exactly.
    std::vector<std::string> readOnly;
    OSRCRSType type = OSR_CRS_TYPE_PROJECTED;
};

void PrintTo(const Flavour& flavour, std::ostream* out)
{
    *out << flavour.name << " shard " << flavour.shard + 1 << " of " << flavour.shards;
}

class EveryProjectedSystem : public ::testing::TestWithParam<Flavour> {};

TEST_P(EveryProjectedSystem, IsHeldAndComesBackAsGiven)
{
#ifdef ORVANE_SANITIZED
    // The sanitizers look for memory faults, which every eighth system shows
    // as well as all do; the plain build holds every system.
    const int stride = 8;
#else
    const int stride = 1;
#endif
    const Flavour& flavour = GetParam();
    RoundTrip counts;
    HoldAll(flavour.authority, flavour.format, flavour.type, counts, stride, flavour.shard, flavour.shards);
    EXPECT_EQ(counts.refused, 0) << counts.report;
    EXPECT_EQ(counts.sameText, counts.held) << counts.report;
    // The read-only systems are exactly those expected in this shard: a
    // fault in composing (a unit, a parameter) shows as more of them.
    std::set<std::string> expected;
    for (const std::string& code : flavour.readOnly) {
        if (counts.visited.count(code))
            expected.insert(code);
    }
    // A system with a height comes back whole, as it came, however its
    // horizontal part is shown.
    if (flavour.type != OSR_CRS_TYPE_COMPOUND) {
        EXPECT_EQ(counts.readOnly, expected) << flavour.name << " shard " << flavour.shard;
    }
    std::printf("%s, shard %d of %d: %d held, %zu shown read-only\n", flavour.name, flavour.shard + 1,
                flavour.shards, counts.held, counts.readOnly.size());
}

namespace {

// Every shard of one flavour.
std::vector<Flavour> Shards(Flavour flavour)
{
    std::vector<Flavour> all;
    for (flavour.shard = 0; flavour.shard < flavour.shards; ++flavour.shard)
        all.push_back(flavour);
    return all;
}

std::vector<Flavour> AllFlavours()
{
    std::vector<Flavour> all;
    for (const Flavour& f :
         {Flavour{"EPSG", nullptr, "EpsgWkt1", 0, 1, {"EPSG:9895"}},
          Flavour{"EPSG", "FORMAT=WKT2_2019", "EpsgWkt2", 0, 1,
                   {"EPSG:8352", "EPSG:8353", "EPSG:9311", "EPSG:9895", "EPSG:26632", "EPSG:26692", "EPSG:32600",
                    "EPSG:32700"}},
          Flavour{"EPSG", "FORMAT=WKT1_ESRI", "EpsgEsriWkt", 0, 8, {"EPSG:9895", "EPSG:26632", "EPSG:26692"}},
          Flavour{"ESRI", nullptr, "Esri", 0, 3, {"ESRI:53003", "ESRI:54003"}},
          Flavour{"EPSG", nullptr, "EpsgCompoundWkt1", 0, 1, {}, OSR_CRS_TYPE_COMPOUND},
          Flavour{"EPSG", "FORMAT=WKT2_2019", "EpsgCompoundWkt2", 0, 1, {}, OSR_CRS_TYPE_COMPOUND}})
        for (const Flavour& shard : Shards(f))
            all.push_back(shard);
    return all;
}

std::string FlavourName(const ::testing::TestParamInfo<Flavour>& info)
{
    return std::string(info.param.name) + "_" + std::to_string(info.param.shard + 1) + "of" +
           std::to_string(info.param.shards);
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(SystemChoiceRules, EveryProjectedSystem, ::testing::ValuesIn(AllFlavours()), FlavourName);

TEST(SystemChoiceRules, LinearUnitsAreMatchedByNameAndFactor)
{
    std::vector<RefEntry> units = Bundled().units;
    const std::size_t count = units.size();
    const int metre = MatchLinearUnit(units, "Meter", 1.0);
    EXPECT_EQ(units[static_cast<std::size_t>(metre)].name, "metre");
    EXPECT_EQ(MatchLinearUnit(units, "METRE", 1.0099), metre) << "within 0.01";
    EXPECT_EQ(units.size(), count);
    EXPECT_EQ(MatchLinearUnit(units, "metre", 1.01), static_cast<int>(count)) << "0.01 apart is another unit";
    EXPECT_EQ(MatchLinearUnit(units, "Metre", 1.0100001), static_cast<int>(count)) << "found, not appended again";
    EXPECT_EQ(units.size(), count + 1);
    EXPECT_EQ(units.back().code, 0);
    EXPECT_EQ(units.back().name, "metre");

    // The factor typed for "<Custom>" is the choice's, as typed, until
    // another unit is chosen; only that unit's factor takes typing.
    SystemChoice c = Fresh();
    ChooseKind(c, true);
    ChooseUnit(c, Position(UnitEntries(c), "foot"));
    EditUnitFactor(c, "2");
    EXPECT_EQ(UnitFactorText(c.shown), "0.3048");
    ChooseUnit(c, 0);
    EditUnitFactor(c, " 2.50 ");
    EXPECT_EQ(c.shown.unitFactor, 2.5);
    EXPECT_EQ(UnitFactorText(c.shown), " 2.50 ");
    ChooseUnit(c, Position(UnitEntries(c), "foot"));
    EXPECT_EQ(UnitFactorText(c.shown), "0.3048");
}
