// Module start-up: the folder of the loaded library, its resource library,
// and the data paths built from that folder.
#pragma once

#include <string>

// The folder that holds the loaded library file, without a trailing slash.
extern std::string g_moduleFolder;

// The one application object of the library: set up when the library is
// loaded, torn down when it is unloaded.
class COrvaneApp {
public:
    COrvaneApp();
    ~COrvaneApp();
    COrvaneApp(const COrvaneApp&) = delete;
    COrvaneApp& operator=(const COrvaneApp&) = delete;

    bool InitInstance();
    int ExitInstance();

    // Handle of the loaded resource library, null when it could not be loaded.
    void* m_hResourceLib = nullptr;
};

COrvaneApp& TheApp();

// The dialog template `id` from the resource library, or null when the
// library or the template is missing.
const char* FindDialogTemplate(unsigned id, std::size_t* size);

// Paths built from g_moduleFolder.
std::string GetResourceLibraryPath();
std::string GetGdalDataFolder();  // with its trailing slash
std::string GetCatalogPath();  // the shipped catalogue
std::string GetSearchTermsPath();  // what people type for what names say
std::string GetCountryNamesPath();  // countries' other names
std::string GetCitiesPath();        // the search's cities
std::string GetCountryCodesPath();  // the cities' countries, as areas of use name them
std::string GetLandPath();         // the land the chooser's map draws
// The user's catalogue: $XDG_DATA_HOME/orvane/CoordSys.dat, by default
// ~/.local/share/orvane/CoordSys.dat. Empty when the user has no home.
std::string GetUserCatalogPath();

// The file of the loaded module (library or program) that holds `address`,
// as an absolute path; empty when it cannot be found.
std::string ModuleFileContaining(const void* address);

// Runs shut-down and start-up again with another module folder, so that tests
// can point the library at a prepared folder without copying the test binary.
void RestartModuleInFolder(const std::string& folder);
