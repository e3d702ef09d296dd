// Start-up of the real libOrvane.so, copied into a folder of its own.
#include <gtest/gtest.h>
#include <dlfcn.h>
#include <link.h>

#include <filesystem>

#include <cpl_conv.h>

#include "module/Language.h"
#include "module/Module.h"
#include "util/FileIO.h"
#include "platform/Dialog.h"
#include "support/TestSupport.h"

namespace {

bool IsLoaded(const std::string& path)
{
    struct Search {
        std::string path;
        bool found;
    } search{path, false};
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto* s = static_cast<Search*>(data);
            if (info->dlpi_name && s->path == info->dlpi_name)
                s->found = true;
            return 0;
        },
        &search);
    return search.found;
}

// A module folder whose name has spaces and dots, holding the built libraries.
std::string PrepareFolder(const TempDir& dir, bool withResourceLibrary)
{
    const std::string folder = dir / "Geo Apps.v1.2";
    std::filesystem::create_directory(folder);
    CopyFile(BuildFolder() + "/libOrvane.so", folder + "/libOrvane.so");
    if (withResourceLibrary)
        CopyFile(BuildFolder() + "/libOrvaneUI.so", folder + "/libOrvaneUI.so");
    return folder;
}

}  // namespace

TEST(ModuleFolder, IsTheFolderOfTheLoadedLibraryFile)
{
    TempDir dir("orvane module");
    const std::string folder = PrepareFolder(dir, true);
    void* library = dlopen((folder + "/libOrvane.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    EXPECT_TRUE(IsLoaded(folder + "/libOrvaneUI.so"))
        << "start-up loads the resource library from the library's own folder";
    void* symbol = dlsym(library, "_ZN6Orvane11SetLanguageE11LanguageSet");
    ASSERT_NE(symbol, nullptr) << "Orvane is exported";
    EXPECT_EQ(FolderOf(ModuleFileContaining(symbol)), folder);
    EXPECT_EQ(dlsym(library, "_Z18FindDialogTemplatejPm"), nullptr) << "internals stay hidden";
    EXPECT_EQ(dlsym(library, "g_moduleFolder"), nullptr);
    dlclose(library);
}

TEST(ModuleFolder, DataPathsAreBuiltFromIt)
{
    ModuleFolderGuard guard;
    TempDir dir("orvane module");
    const std::string folder = PrepareFolder(dir, true);
    RestartModuleInFolder(folder);
    EXPECT_EQ(g_moduleFolder, folder);
    EXPECT_EQ(GetResourceLibraryPath(), folder + "/libOrvaneUI.so");
    EXPECT_EQ(GetGdalDataFolder(), folder + "/GDAL_Data/");
    EXPECT_EQ(GetCatalogPath(), folder + "/CoordSys.dat");
    EXPECT_TRUE(IsLoaded(folder + "/libOrvaneUI.so"));
    EXPECT_NE(FindDialogTemplate(IDD_CHOOSER_ENGLISH, nullptr), nullptr);
}

TEST(ModuleFolder, WithoutTheResourceLibraryStartUpSucceedsAndNoDialogIsMade)
{
    ModuleFolderGuard guard;
    TempDir dir("orvane module");
    const std::string folder = PrepareFolder(dir, false);
    void* library = dlopen((folder + "/libOrvane.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    dlclose(library);

    RestartModuleInFolder(folder);
    EXPECT_EQ(TheApp().m_hResourceLib, nullptr);
    EXPECT_EQ(FindDialogTemplate(IDD_CHOOSER_ENGLISH, nullptr), nullptr);
    CDialog chooser(IDD_CHOOSER_ENGLISH);
    EXPECT_EQ(chooser.DoModal(), -1);
    EXPECT_FALSE(chooser.Create());
}
