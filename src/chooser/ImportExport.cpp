// Importing a system from a .prj file or a raster, and saving one to a .prj.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <gdal.h>
#include <gdal_frmts.h>

#include "chooser/ProjectionDlg.h"
#include "module/GdalSupport.h"
#include "module/Messages.h"
#include "platform/Application.h"
#include "platform/Prompt.h"
#include "util/FileIO.h"
#include "util/LockedFile.h"
#include "util/Text.h"

namespace {

// Built on first use and kept for the life of the process.
const std::string& ImportFilter()
{
    static const std::string filter =
        "Source File|*.prj;*.img;*.tif|Prj File(*.prj)|*.prj|ERDAS Imagine(*.img)|*.img|"
        "TIFF Format(*.tif)|*.tif|ALL File(*.*)|*.*||";
    return filter;
}

const std::string& ExportFilter()
{
    static const std::string filter = "Projection File(*.prj)|*.prj||";
    return filter;
}

// The text after the path's last '.' (the whole path when it has none),
// in lower case.
std::string ExtensionOf(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    return LowerAscii(dot == std::string::npos ? path : path.substr(dot + 1));
}

// Why a file could not be read or written, as a message's second line.
std::string FileProblem(MessageId id, const std::string& path, const std::string& why)
{
    return MessageWith(id, path + (why.empty() ? "" : ": " + why));
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

}  // namespace

void CProjectionDlg::OnBnClickedImport()
{
    CFileDialog dialog(TRUE, "", "", OFN_HIDEREADONLY, ImportFilter().c_str());
    dialog.m_title = MessageText(MessageId::ImportTitle);
    if (dialog.DoModal() != IDOK)
        return;
    const std::string path = dialog.GetPathName();
    const std::string extension = ExtensionOf(path);
    std::string candidate;
    if (extension == "prj") {
        // A pipe or device would block the dialog; a file that large holds
        // no projection.
        ReadFailure failure;
        if (!ReadDefinitionFile(path, candidate, &failure)) {
            const std::string why =
                failure.kind == ReadFailure::TooLarge
                    ? MessageWith(MessageId::PrjTooLarge, path)
                    : FileProblem(MessageId::CannotReadFile, path, DescribeReadFailure(failure, kMaxDefinitionFileBytes));
            AfxMessageBox(std::string(MessageText(MessageId::CannotOpenPrj)) + "\n" + why);
            return;
        }
    } else if (extension == "img" || extension == "tif") {
        candidate = ReadRasterProjection(path);
        if (candidate.empty()) {
            AfxMessageBox(MessageText(MessageId::NoCoordinateInfo));
            return;
        }
    } else {
        AfxMessageBox(MessageText(MessageId::UnknownDataType));
        return;
    }
    const SpatialSystem imported(candidate);
    if (!imported.IsSystem()) {
        AfxMessageBox(MessageText(MessageId::UnknownCoordinateInfo));
        return;
    }
    RestoreSystem(imported);
}

std::string CProjectionDlg::ReadRasterProjection(const std::string& path)
{
    std::string projection;
    // Only a regular file: opening a pipe would block the dialog.
    if (!IsRegularFile(path))
        return projection;
    {
        const ScopedRasterDrivers registered(m_bGdalRegistered);
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
    }
    return projection;
}

void CProjectionDlg::OnBnClickedSavePrj()
{
    if (!UpdateData(TRUE))
        return;
    // What OK would hand back; the choice itself stays as it is.
    const ComposedSystem composed = ComposeChoice();
    if (composed.wkt.empty()) {
        ShowRefusal(MessageText(MessageId::CannotSavePrj), composed);
        return;
    }
    CFileDialog dialog(FALSE, ".prj", "My.prj", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       ExportFilter().c_str());
    dialog.m_title = MessageText(MessageId::SavePrjTitle);
    if (dialog.DoModal() != IDOK)
        return;
    // Saved means every byte written and the file closed: anything less is
    // reported, and leaves no half-written file under the chosen name.
    if (SaveFileUnderLock(dialog.GetPathName(), composed.wkt, PumpEvents)) {
        AfxMessageBox(MessageText(MessageId::SaveSucceeded));
        return;
    }
    const std::string why = errno == ETIMEDOUT ? MessageText(MessageId::SaveLockBusy)
                            : errno                ? std::strerror(errno)
                                                   : std::string();
    AfxMessageBox(std::string(MessageText(MessageId::SaveFailed)) + "\n" +
                  FileProblem(MessageId::CannotWriteFile, dialog.GetPathName(), why));
}
