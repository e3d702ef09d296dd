// Importing a system from a .prj file or a raster, and saving one to a .prj.
#include <unistd.h>

#include <algorithm>

#include <gdal.h>
#include <gdal_frmts.h>

#include "chooser/ProjectionDlg.h"
#include "module/GdalSupport.h"
#include "module/Messages.h"
#include "platform/Prompt.h"
#include "util/FileIO.h"
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

// The WKT of a .prj file as one line. False when the path is not a regular
// file that opens for reading (a pipe would block); a file too large to hold
// a projection gives no text.
bool ReadPrjText(const std::string& path, std::string& text)
{
    if (access(path.c_str(), R_OK) != 0 || !IsRegularFile(path))
        return false;
    if (!ReadDefinitionFile(path, text))
        text.clear();
    return true;
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
    dialog.m_title = "Select a Data Source";
    if (dialog.DoModal() != IDOK)
        return;
    const std::string path = dialog.GetPathName();
    const std::string extension = ExtensionOf(path);
    std::string candidate;
    if (extension == "prj") {
        if (!ReadPrjText(path, candidate)) {
            AfxMessageBox(MessageText(MessageId::CannotOpenPrj));
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
    if (!NewSpatialReference(candidate)) {
        AfxMessageBox(MessageText(MessageId::UnknownCoordinateInfo));
        return;
    }
    RestoreSystem(candidate);
}

std::string CProjectionDlg::ReadRasterProjection(const std::string& path)
{
    std::string projection;
    // Only a regular file: opening a pipe would block the dialog.
    if (!IsRegularFile(path))
        return projection;
    {
        const ScopedRasterDrivers registered(m_bGdalRegistered);
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
    dialog.m_title = "Save Prj File";
    if (dialog.DoModal() != IDOK)
        return;
    // Saved means every byte written and the file closed: anything less is
    // reported, and leaves no half-written file under the chosen name.
    if (SaveFile(dialog.GetPathName(), composed.wkt))
        AfxMessageBox(MessageText(MessageId::SaveSucceeded));
    else
        AfxMessageBox(MessageText(MessageId::SaveFailed));
}
