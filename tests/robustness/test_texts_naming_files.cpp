// Texts that name files for PROJ or GDAL to open (an init file, a grid, by
// path, in quotes, after blanks, in the current folder, in a WKT2 or
// PROJJSON parameter file, in a WKT1 extension), handed to every way in:
// the name queries, the chooser's input, an imported .prj, a .tif's side-car
// file, a line of the recent systems, an entry of the user's catalogue.
// Against a pipe each must come back (a watchdog kills it after 30 seconds:
// a hang's deadline; how fast is the bench's to say); against a regular
// file, the file must never be opened (inotify watches it). None is a system.
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <gdal.h>

#include "catalog/Composition.h"
#include "catalog/SystemReading.h"
#include "chooser/ChooserFixture.h"
#include "interface/Orvane.h"
#include "interface/OrvaneReference.h"
#include "interface/OrvaneSearch.h"
#include "module/Module.h"
#include "search/CandidateSystems.h"
#include "search/RecentSystems.h"

namespace {

const char kPlace[] = "{P}";

// Each form names the file at {P}; the grid form that names no folder is
// looked for in the current one, which holds the file.
const char* const kForms[] = {
    "+init = {P}:a",
    "+init=\"{P}:a\"",
    "+proj=longlat +ellps=WGS84 +nadgrids=\"{P}\"",
    "+proj=longlat +ellps=WGS84 +nadgrids ={P}",
    "+proj=longlat +ellps=WGS84 +nadgrids=\t{P}",
    "+proj=longlat +ellps=WGS84 +nadgrids=\n{P}",
    "+proj=longlat +ellps=WGS84 +nadgrids=grid.gsb",
    "+proj=hgridshift +grids=@{P}",
    "+proj=tinshift +file={P}",
    "+proj=pipeline +step +init={P}:a",
    "BOUNDCRS[SOURCECRS[GEOGCRS[\"NAD27\",DATUM[\"North American Datum 1927\",ELLIPSOID[\"Clarke 1866\","
    "6378206.4,294.978698213898]],CS[ellipsoidal,2],AXIS[\"latitude\",north],AXIS[\"longitude\",east],"
    "ANGLEUNIT[\"degree\",0.0174532925199433]]],TARGETCRS[GEOGCRS[\"WGS 84\",DATUM[\"World Geodetic System 1984\","
    "ELLIPSOID[\"WGS 84\",6378137,298.257223563]],CS[ellipsoidal,2],AXIS[\"latitude\",north],"
    "AXIS[\"longitude\",east],ANGLEUNIT[\"degree\",0.0174532925199433]]],ABRIDGEDTRANSFORMATION[\"x\","
    "METHOD[\"NTv2\"],PARAMETERFILE[\"Latitude and longitude difference file\",\"{P}\"]]]",
    "{\"type\":\"BoundCRS\",\"source_crs\":{\"type\":\"GeographicCRS\",\"name\":\"NAD27\",\"datum\":{\"type\":"
    "\"GeodeticReferenceFrame\",\"name\":\"North American Datum 1927\",\"ellipsoid\":{\"name\":\"Clarke 1866\","
    "\"semi_major_axis\":6378206.4,\"inverse_flattening\":294.978698213898}},\"coordinate_system\":{\"subtype\":"
    "\"ellipsoidal\",\"axis\":[{\"name\":\"Latitude\",\"abbreviation\":\"lat\",\"direction\":\"north\",\"unit\":"
    "\"degree\"},{\"name\":\"Longitude\",\"abbreviation\":\"lon\",\"direction\":\"east\",\"unit\":\"degree\"}]}},"
    "\"target_crs\":{\"type\":\"GeographicCRS\",\"name\":\"WGS 84\",\"datum\":{\"type\":\"GeodeticReferenceFrame\","
    "\"name\":\"World Geodetic System 1984\",\"ellipsoid\":{\"name\":\"WGS 84\",\"semi_major_axis\":6378137,"
    "\"inverse_flattening\":298.257223563}},\"coordinate_system\":{\"subtype\":\"ellipsoidal\",\"axis\":[{\"name\":"
    "\"Latitude\",\"abbreviation\":\"lat\",\"direction\":\"north\",\"unit\":\"degree\"},{\"name\":\"Longitude\","
    "\"abbreviation\":\"lon\",\"direction\":\"east\",\"unit\":\"degree\"}]}},\"transformation\":{\"name\":\"x\","
    "\"method\":{\"name\":\"NTv2\"},\"parameters\":[{\"name\":\"Latitude and longitude difference file\","
    "\"parameter_file\":\"{P}\"}]}}",
    // A conversion's parameter file, of a projected and of a derived geographic system.
    "PROJCRS[\"x\",BASEGEOGCRS[\"WGS 84\",DATUM[\"World Geodetic System 1984\",ELLIPSOID[\"WGS 84\",6378137,"
    "298.257223563]],UNIT[\"degree\",0.0174532925199433]],CONVERSION[\"c\",METHOD[\"Transverse Mercator\"],"
    "PARAMETER[\"Latitude of natural origin\",0,ANGLEUNIT[\"degree\",0.0174532925199433]],"
    "PARAMETER[\"Longitude of natural origin\",9,ANGLEUNIT[\"degree\",0.0174532925199433]],"
    "PARAMETER[\"Scale factor at natural origin\",0.9996,SCALEUNIT[\"unity\",1]],"
    "PARAMETER[\"False easting\",500000,LENGTHUNIT[\"metre\",1]],"
    "PARAMETER[\"False northing\",0,LENGTHUNIT[\"metre\",1]],PARAMETERFILE[\"Some file\",\"{P}\"]],"
    "CS[Cartesian,2],AXIS[\"easting\",east],AXIS[\"northing\",north],LENGTHUNIT[\"metre\",1]]",
    "GEOGCRS[\"d\",BASEGEOGCRS[\"WGS 84\",DATUM[\"World Geodetic System 1984\",ELLIPSOID[\"WGS 84\",6378137,"
    "298.257223563]]],DERIVINGCONVERSION[\"c\",METHOD[\"PROJ ob_tran o_proj=longlat\"],"
    "PARAMETER[\"o_lon_p\",0,ANGLEUNIT[\"degree\",0.0174532925199433]],PARAMETERFILE[\"f\",\"{P}\"]],"
    "CS[ellipsoidal,2],AXIS[\"latitude\",north],AXIS[\"longitude\",east],ANGLEUNIT[\"degree\",0.0174532925199433]]",
    "GEOGCS[\"x\",DATUM[\"D\",SPHEROID[\"S\",6378137,298.257]],PRIMEM[\"Greenwich\",0],"
    "UNIT[\"degree\",0.0174532925199433],EXTENSION[\"PROJ4_GRIDS\",\"{P}\"]]",
    "GEOGCS[\"x\",DATUM[\"D\",SPHEROID[\"S\",6378137,298.257]],PRIMEM[\"Greenwich\",0],"
    "UNIT[\"degree\",0.0174532925199433],EXTENSION[\"PROJ4\",\"+proj=longlat +ellps=WGS84 +nadgrids={P}\"]]",
    // An init file in a projected system's PROJ4 extension: PROJ reads that
    // on a context of its own making.
    "PROJCS[\"x\",GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563]],"
    "PRIMEM[\"Greenwich\",0],UNIT[\"degree\",0.0174532925199433]],PROJECTION[\"Transverse_Mercator\"],"
    "UNIT[\"metre\",1],EXTENSION[\"PROJ4\",\"+proj=tmerc +init={P}:a\"]]",
    // A vertical tab or form feed between a keyword and its bracket, which
    // PROJ takes for a blank.
    "BOUNDCRS[SOURCECRS[GEOGCRS[\"NAD27\",DATUM[\"North American Datum 1927\",ELLIPSOID[\"Clarke 1866\","
    "6378206.4,294.978698213898]],CS[ellipsoidal,2],AXIS[\"latitude\",north],AXIS[\"longitude\",east],"
    "ANGLEUNIT[\"degree\",0.0174532925199433]]],TARGETCRS[GEOGCRS[\"WGS 84\",DATUM[\"World Geodetic System 1984\","
    "ELLIPSOID[\"WGS 84\",6378137,298.257223563]],CS[ellipsoidal,2],AXIS[\"latitude\",north],"
    "AXIS[\"longitude\",east],ANGLEUNIT[\"degree\",0.0174532925199433]]],ABRIDGEDTRANSFORMATION[\"x\","
    "METHOD[\"NTv2\"],PARAMETERFILE\v[\"Latitude and longitude difference file\",\"{P}\"]]]",
    "GEOGCS[\"x\",DATUM[\"D\",SPHEROID[\"S\",6378137,298.257]],PRIMEM[\"Greenwich\",0],"
    "UNIT[\"degree\",0.0174532925199433],EXTENSION\f[\"PROJ4_GRIDS\",\"{P}\"]]",
    // GDAL's dictionary of systems, looked for in the current folder.
    "DICT:{B},a",
};

// The form naming `file`: {P} its path, {B} its name alone.
std::string Named(const char* form, const std::string& file)
{
    std::string text = form;
    for (std::size_t at; (at = text.find(kPlace)) != std::string::npos;)
        text.replace(at, 3, file);
    for (std::size_t at; (at = text.find("{B}")) != std::string::npos;)
        text.replace(at, 3, file.substr(file.rfind('/') + 1));
    return text;
}

class TextsNamingFiles : public ChooserTest {
protected:
    // Runs `takes` on `text` in a child process (in `folder`): true when it
    // finished before the watchdog and did not take the text for a system.
    static bool RefusedAtOnce(const std::function<bool(const std::string&)>& takes, const std::string& text,
                              const std::string& folder)
    {
        const pid_t child = fork();
        if (child == 0) {
            alarm(30);  // the watchdog: a hang, never a slow machine
            if (chdir(folder.c_str()) != 0)
                _exit(2);
            _exit(takes(text) ? 1 : 0);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    // Whether the chooser takes the text through its Import button.
    bool ImportTakes(const std::string& path)
    {
        Open();
        m_prompts.Clear();
        m_prompts.AnswerFile(path);
        Click(IDC_IMPORT);
        return m_prompts.Messages().empty();
    }

    TempDir m_dir{"orvane naming"};
};

}  // namespace

TEST_F(TextsNamingFiles, NoneIsReadNorWaitedOnNorTaken)
{
    const std::string fifo = m_dir / "pipe";
    const std::string regular = m_dir / "regular";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    WriteFile(regular, "a +proj=longlat +ellps=WGS84\n");
    const ChoiceCatalogues catalogues = LoadChoiceCatalogues(GetGdalDataFolder());
    const std::string prj = m_dir / "input.prj";
    const std::string data = m_dir / "data";
    std::filesystem::create_directories(data + "/orvane");
    const std::pair<const char*, std::function<bool(const std::string&)>> ways[] = {
        {"the name queries", [](const std::string& t) { return Orvane::GetCoordSysName(t.c_str()) != "Unknown"; }},
        {"a description",
         [](const std::string& t) {
             OrvaneReferenceInfo info;
             return OrvaneDescribeReference(t.c_str(), info);
         }},
        {"the chooser's input",
         [&](const std::string& t) {
             SystemChoice choice = NewChoice(catalogues);
             return HoldSystem(choice, t) == HoldProblem::None;
         }},
        {"an imported .prj",
         [&](const std::string& t) {
             WriteFile(prj, t);
             return ImportTakes(prj);
         }},
        {"a recent system",
         [&](const std::string& t) {
             setenv("XDG_DATA_HOME", data.c_str(), 1);
             WriteFile(RecentSystemsPath(), t + "\n");
             Candidate candidate;
             const std::vector<std::string> recent = ReadRecentSystems(RecentSystemsPath());
             return !recent.empty() && CandidateOfWkt(recent[0], CandidateSource::Recent, candidate);
         }},
        {"the user's catalogue",
         [&](const std::string& t) {
             setenv("XDG_DATA_HOME", data.c_str(), 1);
             WriteFile(GetUserCatalogPath(), "[GCS]\nHostile=" + t + "\n");
             bool taken = false;
             for (const OrvaneFoundSystem& found : OrvaneFindSystems("hostile")) {
                 OrvaneReferenceInfo info;
                 taken = taken || OrvaneDescribeReference(found.reference.c_str(), info);
             }
             SystemChoice choice = NewChoice(LoadChoiceCatalogues(GetGdalDataFolder()));
             ChooseGeogSystem(choice, "Hostile");
             return taken || !ComposeSystem(choice, nullptr).wkt.empty();
         }},
    };
    int runs = 0;
    for (const char* form : kForms) {
        for (const auto& [way, takes] : ways) {
            for (const std::string& file : {fifo, regular}) {
                const bool pipe = file == fifo;
                std::filesystem::remove(m_dir / "grid.gsb");
                if (pipe)
                    ASSERT_EQ(mkfifo((m_dir / "grid.gsb").c_str(), 0600), 0);
                else
                    WriteFile(m_dir / "grid.gsb", "");
                const int watch = inotify_init1(IN_NONBLOCK);
                inotify_add_watch(watch, regular.c_str(), IN_OPEN);
                inotify_add_watch(watch, (m_dir / "grid.gsb").c_str(), IN_OPEN);
                const std::string text = Named(form, file);
                EXPECT_TRUE(RefusedAtOnce(takes, text, m_dir.Path()))
                    << way << (pipe ? " hung on, or took: " : " took: ") << text;
                char events[4096];
                EXPECT_LE(read(watch, events, sizeof events), 0) << way << " opened the file named in: " << text;
                close(watch);
                ++runs;
            }
        }
    }
    // Files named as PROJ's own are PROJ's own only in its own folders.
    std::filesystem::create_directories(m_dir / "own");
    for (const char* name : {"null", "proj.db", "proj.ini"}) {
        const std::string named = m_dir / ("own/" + std::string(name));
        ASSERT_EQ(mkfifo(named.c_str(), 0600), 0);
        for (const std::string& text : {"+proj=longlat +init=" + named + ":a", "+init=" + named + ":a"})
            EXPECT_TRUE(RefusedAtOnce(ways[0].second, text, m_dir.Path())) << text;
        ++runs;
    }
    std::printf("%d runs, none hung, none read a file\n", runs);
}

TEST_F(TextsNamingFiles, ARastersSideCarFilesAreNeverRead)
{
    // A .tif with no system of its own, beside an .aux.xml that would give it
    // one naming a pipe, then beside an .aux.xml that is a pipe.
    const std::string tif = m_dir / "scene.tif", aux = tif + ".aux.xml";
    GDALAllRegister();
    {
        const DatasetHandle dataset{GDALCreate(GDALGetDriverByName("GTiff"), tif.c_str(), 1, 1, 1, GDT_Byte, nullptr)};
        ASSERT_NE(dataset, nullptr);
    }
    ASSERT_EQ(mkfifo((m_dir / "pipe").c_str(), 0600), 0);
    WriteFile(aux, "<PAMDataset><SRS>" + Named(kForms[2], m_dir / "pipe") + "</SRS></PAMDataset>");
    EXPECT_TRUE(RefusedAtOnce([&](const std::string& path) { return ImportTakes(path); }, tif, m_dir.Path()));
    std::filesystem::remove(aux);
    ASSERT_EQ(mkfifo(aux.c_str(), 0600), 0);
    EXPECT_TRUE(RefusedAtOnce([&](const std::string& path) { return ImportTakes(path); }, tif, m_dir.Path()));
}
