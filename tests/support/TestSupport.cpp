#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/fsuid.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "module/GdalSupport.h"
#include "module/Module.h"
#include "util/FileIO.h"

namespace fs = std::filesystem;

TempDir::TempDir(const std::string& name)
{
    std::string pattern = (fs::temp_directory_path() / (name + ".XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    // Folders made read-only by a test must become writable to be removed.
    for (auto it = fs::recursive_directory_iterator(m_path, ec); it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

AsOrdinaryUser::AsOrdinaryUser(std::initializer_list<std::string> folders)
{
    if (geteuid() != 0)
        return;
    const passwd* nobody = getpwnam("nobody");
    const uid_t uid = nobody ? nobody->pw_uid : 65534;
    const gid_t gid = nobody ? nobody->pw_gid : 65534;
    for (const std::string& folder : folders) {
        bool handed = lchown(folder.c_str(), uid, gid) == 0;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            handed = lchown(entry.path().c_str(), uid, gid) == 0 && handed;
        if (!handed) {
            ADD_FAILURE() << "cannot hand " << folder << " to an ordinary user";
            return;
        }
    }
    // The file-system identity is the calling thread's own; once it is not
    // root, the kernel drops the capabilities that override permission bits.
    setfsgid(gid);
    setfsuid(uid);
    m_switched = true;
    EXPECT_EQ(static_cast<uid_t>(setfsuid(static_cast<uid_t>(-1))), uid);
}

AsOrdinaryUser::~AsOrdinaryUser()
{
    if (m_switched) {
        setfsuid(0);
        setfsgid(0);
    }
}

std::string BuildFolder()
{
    return FolderOf(ModuleFileContaining(reinterpret_cast<const void*>(&BuildFolder)));
}

std::string WktOf(const std::string& definition, const char* format)
{
    OsrHandle srs(OSRNewSpatialReference(nullptr));
    EXPECT_EQ(OSRSetFromUserInput(srs.get(), definition.c_str()), OGRERR_NONE) << definition;
    if (!format)
        return ExportToWkt(srs.get());
    char* text = nullptr;
    const char* options[] = {format, "MULTILINE=NO", nullptr};
    OSRExportToWktEx(srs.get(), &text, options);
    const GdalTextHandle owned(text);
    return text ? text : "";
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

void CopyFile(const std::string& from, const std::string& to)
{
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

void CopyTree(const std::string& from, const std::string& to)
{
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

void ChooseComboEntry(QComboBox* combo, int index)
{
    ASSERT_NE(combo, nullptr);
    ASSERT_TRUE(combo->isEnabled());
    ASSERT_GE(index, 0);
    ASSERT_LT(index, combo->count());
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    view->setCurrentIndex(combo->model()->index(index, 0));
    QTest::keyClick(view, Qt::Key_Return);
    QApplication::processEvents();
}

void ChooseComboText(QComboBox* combo, const std::string& text)
{
    ASSERT_NE(combo, nullptr);
    int index = combo->findText(QString::fromStdString(text), Qt::MatchExactly);
    ASSERT_GE(index, 0) << "no entry " << text;
    ChooseComboEntry(combo, index);
}

QWidget* ControlOf(QWidget* dialog, int id)
{
    for (QWidget* child : dialog->findChildren<QWidget*>())
        if (child->property("controlId").toInt() == id)
            return child;
    return nullptr;
}

void WhenModalShows(const std::function<void(QWidget*)>& action)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QPointer<QWidget> before = QApplication::activeModalWidget();
    QObject::connect(timer, &QTimer::timeout, [timer, action, before] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == before.data() || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start();
}

namespace {
std::string DataHome()
{
    const char* value = std::getenv("XDG_DATA_HOME");
    return value ? value : "";
}
}  // namespace

ModuleFolderGuard::ModuleFolderGuard() : m_previous(g_moduleFolder), m_previousDataHome(DataHome()) {}

ModuleFolderGuard::ModuleFolderGuard(const std::string& folder)
    : m_previous(g_moduleFolder), m_previousDataHome(DataHome())
{
    RestartModuleInFolder(folder);
    setenv("XDG_DATA_HOME", (folder + "/user-data").c_str(), 1);
}

ModuleFolderGuard::~ModuleFolderGuard()
{
    RestartModuleInFolder(m_previous);
    setenv("XDG_DATA_HOME", m_previousDataHome.c_str(), 1);
}

namespace {
std::string PreparedModuleFolder(const TempDir& dir)
{
    const std::string build = BuildFolder();
    CopyFile(build + "/libOrvaneUI.so", dir / "libOrvaneUI.so");
    CopyFile(build + "/CoordSys.dat", dir / "CoordSys.dat");
    CopyFile(build + "/SearchTerms.txt", dir / "SearchTerms.txt");
    CopyFile(build + "/CountryNames.txt", dir / "CountryNames.txt");
    CopyFile(build + "/CountryCodes.txt", dir / "CountryCodes.txt");
    CopyFile(build + "/Cities.txt", dir / "Cities.txt");
    CopyFile(build + "/Land.txt", dir / "Land.txt");
    CopyTree(build + "/GDAL_Data", dir / "GDAL_Data");
    return dir.Path();
}
}  // namespace

TempModuleFolder::TempModuleFolder()
    : m_dir("orvane module"), m_guard(PreparedModuleFolder(m_dir))
{
}
