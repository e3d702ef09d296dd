// Helpers shared by the test suites.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>

class QComboBox;
class QWidget;

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes. `name` becomes part of the folder's name.
class TempDir {
public:
    explicit TempDir(const std::string& name = "orvane");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& leaf) const { return m_path + "/" + leaf; }

private:
    std::string m_path;
};

// While alive, this thread reaches files as an ordinary user even when the
// suite runs as root (as CI does), so that permission bits hold as they do
// for the library's users: a read-only file cannot be written, an unreadable
// one cannot be read. The folders given are handed to that user first.
// Nothing changes for a suite that runs as an ordinary user.
class AsOrdinaryUser {
public:
    explicit AsOrdinaryUser(std::initializer_list<std::string> folders);
    ~AsOrdinaryUser();
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

private:
    bool m_switched = false;
};

// The folder of the built libraries, data and programs.
std::string BuildFolder();

// The system `definition` names ("EPSG:32650", a PROJ string) as GDAL
// writes it: WKT1, or in `format` ("FORMAT=WKT2_2019") on one line. Fails
// the test when GDAL reads no system.
std::string WktOf(const std::string& definition, const char* format = nullptr);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);
void CopyFile(const std::string& from, const std::string& to);
// Copies a folder recursively.
void CopyTree(const std::string& from, const std::string& to);

// Chooses entry `index` of a combo box as a user does: opens its list,
// moves to the entry and presses Enter.
void ChooseComboEntry(QComboBox* combo, int index);
// Finds entry `text` and chooses it; fails the test when it is missing.
void ChooseComboText(QComboBox* combo, const std::string& text);

// The control of `dialog` with the numeric ID `id`, or null.
QWidget* ControlOf(QWidget* dialog, int id);

// Runs `action` once a modal dialog or message box other than the one now
// active is up (polled from the event loop).
void WhenModalShows(const std::function<void(QWidget*)>& action);

// Points the library at another module folder for the life of the object,
// then back at the test binary's own; the user's catalogue lives in its
// folder "user-data" meanwhile (XDG_DATA_HOME).
class ModuleFolderGuard {
public:
    ModuleFolderGuard();
    explicit ModuleFolderGuard(const std::string& folder);
    ~ModuleFolderGuard();
    ModuleFolderGuard(const ModuleFolderGuard&) = delete;
    ModuleFolderGuard& operator=(const ModuleFolderGuard&) = delete;

private:
    std::string m_previous;
    std::string m_previousDataHome;
};

// A module folder in a temporary folder, holding a copy of the bundled data
// and the resource library, and made the library's module folder.
class TempModuleFolder {
public:
    TempModuleFolder();
    const std::string& Path() const { return m_dir.Path(); }
    std::string operator/(const std::string& leaf) const { return m_dir / leaf; }

private:
    TempDir m_dir;
    ModuleFolderGuard m_guard;
};
