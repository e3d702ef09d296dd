#include "FuzzSupport.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "chooser/ProjectionDlg.h"
#include "module/Language.h"
#include "module/Module.h"
#include "util/FileIO.h"
#include "support/ScriptedPrompts.h"

namespace fs = std::filesystem;

namespace {

struct Scratch {
    std::string path;
    Scratch()
    {
        std::string pattern = (fs::temp_directory_path() / "orvane-fuzz.XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path = pattern;
    }
    ~Scratch()
    {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

}  // namespace

const std::string& ScratchFolder()
{
    static Scratch scratch;
    return scratch.path;
}

void SetUpChooserWorld()
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    // Never destroyed: exit()'s handlers run after Qt's own statics are gone,
    // and tearing the application down then crashes in Qt. The process ends
    // with it alive, as with every window the fuzzer made.
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
    static ScriptedPrompts prompts;  // every message answered, every file dialog cancelled
    // Once: copying over the loaded libOrvaneUI.so would rewrite the pages
    // the process has mapped, and its unloading would run garbage.
    static bool done = false;
    if (done)
        return;
    done = true;

    const std::string build = FolderOf(ModuleFileContaining(reinterpret_cast<const void*>(&SetUpChooserWorld)));
    const std::string module = ScratchFolder() + "/module";
    fs::create_directories(module);
    fs::copy_file(build + "/libOrvaneUI.so", module + "/libOrvaneUI.so", fs::copy_options::overwrite_existing);
    fs::copy_file(build + "/CoordSys.dat", module + "/CoordSys.dat", fs::copy_options::overwrite_existing);
    fs::copy_file(build + "/SearchTerms.txt", module + "/SearchTerms.txt", fs::copy_options::overwrite_existing);
    fs::copy_file(build + "/Land.txt", module + "/Land.txt", fs::copy_options::overwrite_existing);
    fs::copy(build + "/GDAL_Data", module + "/GDAL_Data",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    RestartModuleInFolder(module);
    // Whatever an input makes the chooser store stays in the scratch folder.
    setenv("XDG_DATA_HOME", (ScratchFolder() + "/user-data").c_str(), 1);
}

namespace {

std::unique_ptr<CProjectionDlg> MakeChooser()
{
    SetUpChooserWorld();
    g_language = LANGUAGE_ENGLISH;
    auto chooser = std::make_unique<CProjectionDlg>(ChooserTemplateId());
    chooser->Create();
    return chooser;
}

}  // namespace

CProjectionDlg& FuzzChooser()
{
    // Made anew now and then, so that the systems inputs add to its lists do
    // not pile up over a run; the last one is left alive at exit, like the
    // application.
    static CProjectionDlg* chooser = nullptr;
    static int uses = 0;
    if (!chooser || ++uses % 256 == 0) {
        delete chooser;
        chooser = MakeChooser().release();
    }
    return *chooser;
}

const ChoiceCatalogues& FuzzCatalogues()
{
    static const ChoiceCatalogues catalogues = [] {
        SetUpChooserWorld();
        return LoadChoiceCatalogues(GetGdalDataFolder());
    }();
    return catalogues;
}

std::string AsText(const uint8_t* data, std::size_t size)
{
    return std::string(reinterpret_cast<const char*>(data), size);
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "property violated: %s\n", what);
        std::abort();
    }
}
