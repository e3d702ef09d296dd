// The five name queries, checked against what GDAL itself reads.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <ogr_spatialref.h>

#include "interface/Orvane.h"
#include "module/GdalSupport.h"
#include "support/TestSupport.h"

namespace {

struct Names {
    std::string system, datum, spheroid, projection, units;
    bool operator==(const Names& o) const
    {
        return system == o.system && datum == o.datum && spheroid == o.spheroid &&
               projection == o.projection && units == o.units;
    }
};

std::ostream& operator<<(std::ostream& os, const Names& n)
{
    return os << "{" << n.system << " | " << n.datum << " | " << n.spheroid << " | " << n.projection
              << " | " << n.units << "}";
}

Names Query(const char* text)
{
    return {Orvane::GetCoordSysName(text), Orvane::GetDatumName(text),
            Orvane::GetSpheroidName(text), Orvane::GetProjectionName(text),
            Orvane::GetUnitsName(text)};
}

const Names kDefaults{"Unknown", "", "", "", ""};

}  // namespace

TEST(NameQueries, GeographicSystem)
{
    const std::string wkt = WktOf("EPSG:4326");
    EXPECT_EQ(Query(wkt.c_str()), (Names{"WGS 84", "WGS_1984", "WGS 84", "", "degree"}));
    EXPECT_EQ(Query("+proj=longlat +ellps=intl +no_defs").units, "degree");
}

TEST(NameQueries, ProjectedSystemNamesItsPartsAndLinearUnit)
{
    EXPECT_EQ(Query("EPSG:32650"),
              (Names{"WGS 84 / UTM zone 50N", "WGS_1984", "WGS 84", "Transverse_Mercator", "metre"}));
    const std::string feet = WktOf("EPSG:2272");  // a US state plane in US survey feet
    Names n = Query(feet.c_str());
    EXPECT_EQ(n.projection, "Lambert_Conformal_Conic_2SP");
    EXPECT_EQ(n.units, "US survey foot");
}

TEST(NameQueries, NamesStandAsInTheText)
{
    // (GDAL 3 itself renames the systems it knows, GCS_WGS_1984 among them.)
    const char* esri =
        "GEOGCS[\"GCS_My_Site\",DATUM[\"D_My_Datum\",SPHEROID[\"My_Spheroid\",6378140,298.25]],"
        "PRIMEM[\"Greenwich\",0],UNIT[\"Degree\",0.0174532925199433]]";
    EXPECT_EQ(Query(esri), (Names{"GCS_My_Site", "D_My_Datum", "My_Spheroid", "", "Degree"}))
        << "no prefix is removed";
}

TEST(NameQueries, LocalSystem)
{
    Names n = Query("LOCAL_CS[\"Site grid\",UNIT[\"metre\",1]]");
    EXPECT_EQ(n.system, "Site grid");
    EXPECT_EQ(n.projection, "");
    EXPECT_EQ(n.datum, "");
}

TEST(NameQueries, UnusableTextsGiveTheDefaults)
{
    EXPECT_EQ(Query(nullptr), kDefaults);
    EXPECT_EQ(Query(""), kDefaults);
    EXPECT_EQ(Query("garbage ][ \"\" GEOGCS["), kDefaults);
    EXPECT_EQ(Query("EPSG:999999999"), kDefaults);
    EXPECT_EQ(Query(std::string(100000, 'x').c_str()), kDefaults);
    for (const char* unknownAuthority :
         {"a:b", "SR-ORG:6864", ":4326", "file:x.prj", "WGS 84:", "a b:c", ".:1", " /vsicurl/http://x",
          "IGNF:NOSUCH", "ESRI:4326"})
        EXPECT_EQ(Query(unknownAuthority), kDefaults) << unknownAuthority;
}

TEST(NameQueries, EveryAuthorityGdalOrProjKnowsIsAsked)
{
    const std::pair<const char*, const char*> cases[] = {
        {"epsg:4326", "WGS 84"},
        {"ESRI:54030", "World_Robinson"},
        {"IGNF:LAMB93", "RGF93 Lambert 93"},
        {"IAU:1000", "Sun (2015) - Sphere / Ocentric"},
        {"IAU_2015:1000", "Sun (2015) - Sphere / Ocentric"},
        {"OGC:CRS84", "WGS 84"},
        {"CRS:84", "WGS 84"},
        {"urn:ogc:def:crs:EPSG::32650", "WGS 84 / UTM zone 50N"},
        {"+init=epsg:4326 +type=crs", "WGS 84"},
        {"GEOGCS[\"a:b\",DATUM[\"D\",SPHEROID[\"S\",6378137,298.257]],UNIT[\"degree\",0.0174532925199433]]", "a:b"},
        // A compound system by its own name, as a description gives it.
        {"EPSG:9707", "WGS 84 + EGM96 height"},
        // One spelling for a system without a name, whatever GDAL says.
        {"+proj=longlat +ellps=WGS84 +type=crs", "Unknown"},
        {"+proj=utm +zone=33 +ellps=GRS80 +type=crs", "Unknown"},
        {"LOCAL_CS[\"\",UNIT[\"metre\",1]]", "Unknown"},
        {"GEOGCS[\"unnamed\",DATUM[\"D\",SPHEROID[\"S\",6378137,298.257]],UNIT[\"degree\",0.0174532925199433]]",
         "Unknown"},
    };
    for (const auto& [text, name] : cases)
        EXPECT_EQ(Orvane::GetCoordSysName(text), name) << text;
}

TEST(NameQueries, ASmallRegularFileIsReadWithOrWithoutThePrefix)
{
    TempDir dir;
    WriteFile(dir / "zone.prj", "\xEF\xBB\xBF" + WktOf("EPSG:32650") + "\r\n");
    WriteFile(dir / "huge.prj", WktOf("EPSG:32650") + std::string(2 << 20, ' '));
    EXPECT_EQ(Query((dir / "zone.prj").c_str()).system, "WGS 84 / UTM zone 50N");
    EXPECT_EQ(Query(("ESRI::" + dir / "zone.prj").c_str()).system, "WGS 84 / UTM zone 50N");
    EXPECT_EQ(Query((dir / "huge.prj").c_str()), kDefaults) << "no projection file is that large";
    WriteFile(dir / "zone.prj", WktOf("EPSG:4326"));
    EXPECT_EQ(Query((dir / "zone.prj").c_str()).system, "WGS 84") << "an edited file is read anew";
}

// Runs the five queries on `text` in a child process, which must finish
// within seconds: a query that waits on a pipe or a server would hang.
bool QueriesReturnAtOnce(const std::string& text)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(Query(text.c_str()) == kDefaults ? 0 : 1);
    for (int tenths = 0; tenths < 100; ++tenths) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        usleep(100000);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return false;
}

TEST(NameQueries, NeverReachTheNetworkNorBlock)
{
    // A listener on the loopback that counts who connects to it.
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    ASSERT_EQ(listen(listener, 4), 0);
    fcntl(listener, F_SETFL, O_NONBLOCK);
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/srs/wkt.prj";

    TempDir dir;
    const std::string fifo = dir / "pipe", wktLike = dir / "x(";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(wktLike.c_str(), 0600), 0);
    const std::string forms[] = {
        url, "/vsicurl/" + url, "/vsicurl_streaming/" + url, "ESRI::/vsicurl/" + url,
        fifo, "/vsisubfile/0_1000," + fifo, "/vsigzip/" + fifo, "ESRI::" + fifo, wktLike,
        "/dev/zero", dir.Path(),
    };
    for (const std::string& form : forms)
        EXPECT_TRUE(QueriesReturnAtOnce(form)) << form;
    EXPECT_EQ(accept(listener, nullptr, nullptr), -1) << "somebody connected";
    close(listener);
}
