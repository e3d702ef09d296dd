#include "module/Module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "ui/ResourceLibrary.h"
#include "util/FileIO.h"

// Defined before the application object so that it exists when start-up runs.
std::string g_moduleFolder;

namespace {
const char kResourceLibraryName[] = "libOrvaneUI.so";
const char kCatalogName[] = "CoordSys.dat";
const char kGdalDataName[] = "GDAL_Data";

std::string AbsolutePath(const std::string& path)
{
    if (path.empty() || path[0] == '/')
        return path;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd))
        return path;
    return std::string(cwd) + "/" + path;
}

std::string RunningProgramPath()
{
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

void LoadResourceLibrary(COrvaneApp& app)
{
    // RTLD_LOCAL: the template lookup symbol must not clash with another copy.
    app.m_hResourceLib = dlopen(GetResourceLibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
}

COrvaneApp theApp;
}  // namespace

COrvaneApp& TheApp()
{
    return theApp;
}

std::string ModuleFileContaining(const void* address)
{
    Dl_info info{};
    if (dladdr(address, &info) == 0)
        return std::string();
    std::string path = info.dli_fname ? info.dli_fname : "";
    // The main program may be reported by the name it was started with, or
    // not at all; the kernel knows its real path.
    if (path.empty() || path.find('/') == std::string::npos)
        return RunningProgramPath();
    return AbsolutePath(path);
}

COrvaneApp::COrvaneApp()
{
    InitInstance();
}

COrvaneApp::~COrvaneApp()
{
    ExitInstance();
}

bool COrvaneApp::InitInstance()
{
    const std::string file = ModuleFileContaining(reinterpret_cast<const void*>(&TheApp));
    g_moduleFolder = file.empty() ? std::string() : FolderOf(file);
    LoadResourceLibrary(*this);
    // A missing resource library is not an error here: no dialog can be made.
    return true;
}

int COrvaneApp::ExitInstance()
{
    if (m_hResourceLib) {
        dlclose(m_hResourceLib);
        m_hResourceLib = nullptr;
    }
    return 0;
}

const char* FindDialogTemplate(unsigned id, std::size_t* size)
{
    if (size)
        *size = 0;
    if (!theApp.m_hResourceLib)
        return nullptr;
    auto getTemplate = reinterpret_cast<OrvaneUI_GetTemplateFn>(
        dlsym(theApp.m_hResourceLib, ORVANE_UI_GET_TEMPLATE_SYMBOL));
    return getTemplate ? getTemplate(id, size) : nullptr;
}

std::string GetResourceLibraryPath()
{
    return g_moduleFolder + "/" + kResourceLibraryName;
}

std::string GetGdalDataFolder()
{
    return g_moduleFolder + "/" + kGdalDataName + "/";
}

std::string GetCatalogPath()
{
    return g_moduleFolder + "/" + kCatalogName;
}

std::string GetSearchTermsPath()
{
    return g_moduleFolder + "/SearchTerms.txt";
}

std::string GetCountryNamesPath()
{
    return g_moduleFolder + "/CountryNames.txt";
}

std::string GetCountryCodesPath()
{
    return g_moduleFolder + "/CountryCodes.txt";
}

std::string GetCitiesPath()
{
    return g_moduleFolder + "/Cities.txt";
}

std::string GetLandPath()
{
    return g_moduleFolder + "/Land.txt";
}

std::string GetUserCatalogPath()
{
    const std::string folder = XdgFolder("XDG_DATA_HOME", ".local/share");
    return folder.empty() ? std::string() : folder + "/orvane/" + kCatalogName;
}

void RestartModuleInFolder(const std::string& folder)
{
    theApp.ExitInstance();
    g_moduleFolder = folder;
    LoadResourceLibrary(theApp);
}
