#include "catalog/ImportFile.h"

#include <utility>
#include <vector>

#include <gdal.h>
#include <gdal_frmts.h>

#include "module/GdalSupport.h"
#include "module/Messages.h"
#include "util/FileIO.h"
#include "util/Text.h"

namespace {

// The text after the path's last '.' (the whole path when it has none),
// in lower case.
std::string ExtensionOf(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    return LowerAscii(dot == std::string::npos ? path : path.substr(dot + 1));
}

// The two raster drivers an import uses, registered for one import when the
// host has not registered GDAL's drivers itself, and removed again after it:
// the host's GDAL stays as it was. (Destroying the driver manager instead,
// as a program does at its end, would also wipe every configuration option
// the host had set.)
class ScopedRasterDrivers {
public:
    explicit ScopedRasterDrivers(bool hostRegistered)
    {
        if (hostRegistered)
            return;
        const std::pair<const char*, void (*)()> drivers[] = {{"GTiff", GDALRegister_GTiff},
                                                              {"HFA", GDALRegister_HFA}};
        for (const auto& [name, registerDriver] : drivers) {
            if (GDALGetDriverByName(name))
                continue;
            registerDriver();
            if (GDALDriverH added = GDALGetDriverByName(name))
                m_added.push_back(added);
        }
    }
    ~ScopedRasterDrivers()
    {
        for (GDALDriverH driver : m_added) {
            GDALDeregisterDriver(driver);
            GDALDestroyDriver(driver);
        }
    }
    ScopedRasterDrivers(const ScopedRasterDrivers&) = delete;
    ScopedRasterDrivers& operator=(const ScopedRasterDrivers&) = delete;

private:
    std::vector<GDALDriverH> m_added;
};

// The projection WKT of a raster, empty when it has none.
std::string ReadRasterProjection(const std::string& path, bool gdalRegistered)
{
    std::string projection;
    // Only a regular file: opening a pipe would block the dialog.
    if (!IsRegularFile(path))
        return projection;
    const ScopedRasterDrivers registered(gdalRegistered);
    // The raster alone: no side-car file beside it (an .aux.xml, a world
    // file, a list of the folder) is read, nor anything it would name.
    const ThreadConfigOption noSideCars("GDAL_PAM_ENABLED", "NO");
    const ThreadConfigOption noFolderList("GDAL_DISABLE_READDIR_ON_OPEN", "EMPTY_DIR");
    const ThreadConfigOption noGeoreferencingFiles("GDAL_GEOREF_SOURCES", "INTERNAL");
    QuietGdalErrors quiet;
    // Only the two raster formats offered: a file of another format (a
    // VRT, say) could make GDAL open other files or reach a server.
    const char* const drivers[] = {"GTiff", "HFA", nullptr};
    if (const DatasetHandle dataset{
            GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, drivers, nullptr, nullptr)}) {
        if (const char* text = GDALGetProjectionRef(dataset.get()))
            projection = text;
    }
    return projection;
}

ImportedFile Refused(std::string problem)
{
    return ImportedFile{SpatialSystem(), std::move(problem)};
}

}  // namespace

ImportedFile ReadImportFile(const std::string& path, bool gdalRegistered)
{
    const std::string extension = ExtensionOf(path);
    std::string text;
    if (extension == "prj") {
        // A pipe or device would block the dialog; a file that large holds
        // no projection.
        ReadFailure failure;
        if (!ReadDefinitionFile(path, text, &failure)) {
            const std::string why = failure.kind == ReadFailure::TooLarge
                                        ? MessageWith(MessageId::PrjTooLarge, path)
                                        : FileProblem(MessageId::CannotReadFile, path,
                                                      DescribeReadFailure(failure, kMaxDefinitionFileBytes));
            return Refused(std::string(MessageText(MessageId::CannotOpenPrj)) + "\n" + why);
        }
    } else if (extension == "img" || extension == "tif") {
        text = ReadRasterProjection(path, gdalRegistered);
        if (text.empty())
            return Refused(MessageText(MessageId::NoCoordinateInfo));
    } else {
        return Refused(MessageText(MessageId::UnknownDataType));
    }
    SpatialSystem system(std::move(text));
    if (!system.IsSystem())
        return Refused(MessageText(MessageId::UnknownCoordinateInfo));
    return ImportedFile{std::move(system), std::string()};
}
