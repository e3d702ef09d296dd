#include "module/ProjSupport.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

#include <cpl_string.h>
#include <ogr_spatialref.h>
#include <ogr_srs_api.h>
#include <proj/io.hpp>
#include <sqlite3.h>

#include <atomic>
#include <cerrno>

#include "util/FileIO.h"
#include "util/Text.h"

namespace {

thread_local std::string t_lastProjMessage;

// Files PROJ asked for outside its own folders since last reset.
thread_local int t_refusedRequests = 0;

// The folder as the system resolves it; as written when it does not exist.
std::string CanonicalFolder(const std::string& path)
{
    char* resolved = realpath(path.c_str(), nullptr);
    const std::string canonical = resolved ? resolved : path;
    std::free(resolved);
    return canonical;
}

// PROJ's search path as it reads it: PROJ_DATA or PROJ_LIB, else the folder
// it was built with, after the user's PROJ folder.
std::vector<std::string> ProjSearchPath()
{
    // proj_info frees and makes anew one text of PROJ's at each call: two
    // threads asking at once (the search reads its systems and their
    // aliases side by side) would read it freed.
    static std::mutex asking;
    const std::lock_guard<std::mutex> lock(asking);
    const PJ_INFO info = proj_info();
    return ListItems(info.searchpath ? info.searchpath : "", ':');
}

// PROJ's own folders: the one of its database, and the user's own PROJ
// folder (grids the user fetched).
const std::vector<std::string>& ProjFolders()
{
    static const std::vector<std::string> folders = [] {
        std::vector<std::string> found;
        PJ_CONTEXT* probe = proj_context_create();
        if (!probe)
            return found;
        proj_log_level(probe, PJ_LOG_NONE);
        if (const char* database = proj_context_get_database_path(probe)) {
            const std::string path = database;
            const std::size_t slash = path.rfind('/');
            if (slash != std::string::npos)
                found.push_back(CanonicalFolder(path.substr(0, slash)));
        }
        if (const char* user = proj_context_get_user_writable_directory(probe, 0))
            found.push_back(CanonicalFolder(user));
        proj_context_destroy(probe);
        found.erase(std::remove(found.begin(), found.end(), std::string()), found.end());
        return found;
    }();
    return folders;
}

// The folders PROJ looks in for its own files: its search path (PROJ_DATA
// or PROJ_LIB, else the one it was built with) and the user's PROJ folder.
const std::vector<std::string>& ProjSearchFolders()
{
    static const std::vector<std::string> folders = [] {
        std::vector<std::string> found;
        for (const std::string& folder : ProjSearchPath())
            found.push_back(CanonicalFolder(folder));
        const std::vector<std::string>& own = ProjFolders();
        found.insert(found.end(), own.begin(), own.end());
        return found;
    }();
    return folders;
}

// What PROJ looks for of its own accord in its search path: its database
// and settings, and its null grid (no shift at all), which it needs nowhere.
// Not found, they are no request of a text's; the same names anywhere else
// are ("+init=/somewhere/null:a").
bool IsProjsOwnLookup(const char* filename)
{
    const std::string path = filename ? filename : "";
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name != "proj.db" && name != "proj.ini" && name != "null" && name != "@null")
        return false;
    if (slash == std::string::npos)
        return true;
    const std::string folder = CanonicalFolder(slash == 0 ? "/" : path.substr(0, slash));
    const std::vector<std::string>& searched = ProjSearchFolders();
    return std::find(searched.begin(), searched.end(), folder) != searched.end();
}

bool InProjFolders(const char* filename)
{
    const std::string path = filename ? filename : "";
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return false;  // the current folder is anyone's
    const std::string folder = CanonicalFolder(slash == 0 ? "/" : path.substr(0, slash));
    const std::vector<std::string>& allowed = ProjFolders();
    return !folder.empty() && std::find(allowed.begin(), allowed.end(), folder) != allowed.end();
}

// PROJ's files through this: only its own folders' regular files, read only.
PROJ_FILE_HANDLE* OpenProjFile(PJ_CONTEXT*, const char* filename, PROJ_OPEN_ACCESS access, void*)
{
    if (access != PROJ_OPEN_ACCESS_READ_ONLY || !InProjFolders(filename)) {
        if (!IsProjsOwnLookup(filename))
            ++t_refusedRequests;
        return nullptr;
    }
    // Not waiting on a pipe that took a file's place.
    const int fd = open(filename, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0)
            close(fd);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* file = fdopen(fd, "rb");
    if (!file)
        close(fd);
    return reinterpret_cast<PROJ_FILE_HANDLE*>(file);
}

size_t ReadProjFile(PJ_CONTEXT*, PROJ_FILE_HANDLE* handle, void* buffer, size_t bytes, void*)
{
    return std::fread(buffer, 1, bytes, reinterpret_cast<FILE*>(handle));
}

size_t WriteProjFile(PJ_CONTEXT*, PROJ_FILE_HANDLE*, const void*, size_t, void*)
{
    return 0;
}

int SeekProjFile(PJ_CONTEXT*, PROJ_FILE_HANDLE* handle, long long offset, int whence, void*)
{
    return fseeko(reinterpret_cast<FILE*>(handle), static_cast<off_t>(offset), whence) == 0;
}

unsigned long long TellProjFile(PJ_CONTEXT*, PROJ_FILE_HANDLE* handle, void*)
{
    const off_t at = ftello(reinterpret_cast<FILE*>(handle));
    return at < 0 ? 0 : static_cast<unsigned long long>(at);
}

void CloseProjFile(PJ_CONTEXT*, PROJ_FILE_HANDLE* handle, void*)
{
    std::fclose(reinterpret_cast<FILE*>(handle));
}

// PROJ looks for its folders and files here and there: a look is no request
// (what a text asks for, PROJ then opens, or names as a grid).
int ProjFileExists(PJ_CONTEXT*, const char* filename, void*)
{
    if (!InProjFolders(filename))
        return 0;
    struct stat st;
    return stat(filename, &st) == 0 && S_ISREG(st.st_mode);
}

int NoChange(PJ_CONTEXT*, const char*, void*)
{
    return 0;
}

int NoRename(PJ_CONTEXT*, const char*, const char*, void*)
{
    return 0;
}

const PROJ_FILE_API kOwnFilesOnly = {1,           OpenProjFile,   ReadProjFile, WriteProjFile,
                                     SeekProjFile, TellProjFile,  CloseProjFile, ProjFileExists,
                                     NoChange,    NoChange,       NoRename};

// Whether `object` refers to a grid file other than PROJ's null grid, or to
// any file through a conversion's parameter.
bool UsesGrids(PJ_CONTEXT* context, PJ* object)
{
    switch (proj_get_type(object)) {
    case PJ_TYPE_BOUND_CRS: {
        const PjHandle source(proj_get_source_crs(context, object));
        const PjHandle transformation(proj_crs_get_coordoperation(context, object));
        return (source && UsesGrids(context, source.get())) ||
               (transformation && UsesGrids(context, transformation.get()));
    }
    case PJ_TYPE_COMPOUND_CRS:
        for (int i = 0; i < 2; ++i) {
            const PjHandle part(proj_crs_get_sub_crs(context, object, i));
            if (part && UsesGrids(context, part.get()))
                return true;
        }
        return false;
    case PJ_TYPE_CONVERSION: {
        // No map projection reads a file: a conversion's file parameter
        // (WKT2's PARAMETERFILE, PROJJSON's parameter_file) can only be
        // meant for someone to open.
        const int parameters = proj_coordoperation_get_param_count(context, object);
        for (int i = 0; i < parameters; ++i) {
            const char* file = nullptr;
            if (proj_coordoperation_get_param(context, object, i, nullptr, nullptr, nullptr, nullptr, &file, nullptr,
                                              nullptr, nullptr, nullptr, nullptr) &&
                file && *file)
                return true;
        }
    }
        [[fallthrough]];
    case PJ_TYPE_TRANSFORMATION:
    case PJ_TYPE_CONCATENATED_OPERATION:
    case PJ_TYPE_OTHER_COORDINATE_OPERATION: {
        const int grids = proj_coordoperation_get_grid_used_count(context, object);
        for (int i = 0; i < grids; ++i) {
            const char* name = nullptr;
            if (!proj_coordoperation_get_grid_used(context, object, i, &name, nullptr, nullptr, nullptr, nullptr,
                                                   nullptr, nullptr))
                return true;
            const std::string grid = name ? name : "";
            if (grid != "null" && grid != "@null")
                return true;
        }
        return false;
    }
    default: {
        // A derived system (projected, derived geographic …): its conversion,
        // then the system it is derived from.
        if (!proj_is_crs(object) || !proj_crs_is_derived(context, object))
            return false;
        const PjHandle conversion(proj_crs_get_coordoperation(context, object));
        const PjHandle base(proj_get_source_crs(context, object));
        return (conversion && UsesGrids(context, conversion.get())) || (base && UsesGrids(context, base.get()));
    }
    }
}

// Kept, never printed: a refusal can then say why.
void KeepProjMessage(void*, int level, const char* message)
{
    if (level != PJ_LOG_ERROR || !message)
        return;
    // "proj_create: …": the function's name is no reason.
    std::string text = message;
    if (text.compare(0, 5, "proj_") == 0 && text.find(": ") != std::string::npos)
        text.erase(0, text.find(": ") + 2);
    t_lastProjMessage = text;
}

// Whether a text begins as WKT does: a keyword and its bracket.
bool LooksLikeWktText(const std::string& text)
{
    std::size_t at = text.find_first_not_of(" \t\r\n");
    const std::size_t word = at;
    while (at < text.size() && (std::isalnum(static_cast<unsigned char>(text[at])) || text[at] == '_'))
        ++at;
    return at != word && at < text.size() && (text[at] == '[' || text[at] == '(');
}

// A quoted WKT value without its quotes: as PROJ hands it on (the outer
// quotes dropped), and with doubled quotes read as one, as WKT means them.
std::vector<std::string> UnquotedForms(const std::string& value)
{
    if (value.size() < 2 || value.front() != '"' || value.back() != '"')
        return {value};
    const std::string inner = value.substr(1, value.size() - 2);
    std::string undoubled;
    for (std::size_t i = 0; i < inner.size(); ++i) {
        undoubled += inner[i];
        if (inner[i] == '"' && i + 1 < inner.size() && inner[i + 1] == '"')
            ++i;
    }
    return undoubled == inner ? std::vector<std::string>{inner} : std::vector<std::string>{inner, undoubled};
}

using Extensions = std::vector<std::pair<std::string, std::string>>;

void ExtensionsOfProjNode(const osgeo::proj::io::WKTNode& node, Extensions& found, int depth)
{
    const auto& children = node.children();
    if (EqualIgnoringAsciiCase(node.value(), "EXTENSION") && children.size() >= 2) {
        for (const std::string& name : UnquotedForms(children[0]->value()))
            for (const std::string& text : UnquotedForms(children[1]->value()))
                found.emplace_back(name, text);
    }
    if (depth < 64)
        for (const auto& child : children)
            ExtensionsOfProjNode(*child, found, depth + 1);
}

void ExtensionsOfGdalNode(const OGR_SRSNode& node, Extensions& found, int depth)
{
    if (EqualIgnoringAsciiCase(node.GetValue(), "EXTENSION") && node.GetChildCount() >= 2)
        found.emplace_back(node.GetChild(0)->GetValue(), node.GetChild(1)->GetValue());
    if (depth < 64)
        for (int i = 0; i < node.GetChildCount(); ++i)
            ExtensionsOfGdalNode(*node.GetChild(i), found, depth + 1);
}

// Every EXTENSION["name","text"] of a WKT, at any depth, as PROJ's own
// parser and GDAL's own parser split the text into nodes (neither opens
// anything to do so): each hands an extension's text on to be read, PROJ
// on a context of its own making, which no file rule of ours reaches.
Extensions WktExtensions(const std::string& text)
{
    Extensions found;
    try {
        ExtensionsOfProjNode(*osgeo::proj::io::WKTNode::createFrom(text), found, 0);
    } catch (const std::exception&) {
        // Not WKT to PROJ: PROJ builds nothing of it.
    }
    OGR_SRSNode root;
    const char* input = text.c_str();
    if (root.importFromWkt(&input) == OGRERR_NONE)
        ExtensionsOfGdalNode(root, found, 0);
    return found;
}

// PROJ asks for a file only where a text's syntax names one: a WKT's
// EXTENSION, PARAMETERFILE or GEOIDMODEL, ESRI's GEOGTRAN, a parameter of a
// PROJ string, PROJJSON (whose keys may be escaped). A text with none of
// these needs none, and is spared PROJ's reading of it (which costs tens of
// times GDAL's reading of a WKT). A keyword is the word before a bracket,
// with any blanks PROJ passes over between (a vertical tab, a form feed).
// Only a first sieve: what it lets through is read by PROJ.
bool MayNameAFile(const std::string& text)
{
    // Every name query passes here: the scans are the C library's own.
    const char* p = text.c_str();
    if (std::strpbrk(p, "={\\"))
        return true;
    static const char* const keywords[] = {"EXTENSION", "PARAMETERFILE", "GEOIDMODEL", "GEOGTRAN"};
    const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    const auto keywordBefore = [&](const char* bracket) {
        const char* end = bracket;
        while (end > p && std::isspace(static_cast<unsigned char>(end[-1])))
            --end;
        const char* start = end;
        while (start > p && end - start <= 13 && letter(start[-1]))
            --start;
        const std::size_t length = static_cast<std::size_t>(end - start);
        if (length < 8 || length > 13 || (start > p && letter(start[-1])))
            return false;
        for (const char* keyword : keywords)
            if (length == std::strlen(keyword) && strncasecmp(start, keyword, length) == 0)
                return true;
        return false;
    };
    const std::size_t size = text.size();
    for (const char bracket : {'[', '('}) {
        for (const void* at = std::memchr(p, bracket, size); at;) {
            const char* found = static_cast<const char*>(at);
            if (keywordBefore(found))
                return true;
            at = std::memchr(found + 1, bracket, size - static_cast<std::size_t>(found + 1 - p));
        }
    }
    return false;
}

}  // namespace

namespace {

// The first proj.db in `folders`, as PROJ looks for it: the first name that
// opens (a pipe would, blocking), so a dangling link is passed over.
std::string FirstDatabaseIn(const std::vector<std::string>& folders)
{
    for (const std::string& folder : folders) {
        const std::string path = folder + "/proj.db";
        struct stat st;
        if (stat(path.c_str(), &st) == 0)
            return path;
    }
    return std::string();
}

// The databases PROJ's contexts and GDAL's open: PROJ's search path (the
// user's PROJ folder, then PROJ_DATA or PROJ_LIB, else the one it was built
// with), and the search path a host set for GDAL, when it set one.
std::vector<std::string> DatabasesInUse()
{
    std::vector<std::string> paths{ProjDatabasePath()};
    std::vector<std::string> gdalFolders;
    if (char** list = OSRGetPROJSearchPaths()) {
        for (char** folder = list; *folder; ++folder)
            gdalFolders.emplace_back(*folder);
        CSLDestroy(list);
    }
    const std::string gdal = FirstDatabaseIn(gdalFolders);
    if (!gdal.empty() && gdal != paths.front())
        paths.push_back(gdal);
    return paths;
}

bool OwnedByThisUserOrRoot(const struct stat& st)
{
    return st.st_uid == 0 || st.st_uid == geteuid();
}

// Whether a user other than this one and root may change `st`'s entry.
bool OthersMayChange(const struct stat& st)
{
    return !OwnedByThisUserOrRoot(st) || (st.st_mode & 022) != 0;
}

// The first folder on the way to `path` (absolute, its links not followed)
// in which a user other than this one and root may replace an entry; empty
// when none. A folder others may write whose sticky bit keeps them from
// replacing entries not theirs (/tmp) passes when the next one is this
// user's or root's.
std::string FolderOthersMayChangeOnTheWayTo(const std::string& path)
{
    struct stat st;
    bool nextTrusted = true;
    for (std::string at = path; at.size() > 1;) {
        const std::size_t slash = at.rfind('/');
        if (slash == std::string::npos)
            break;
        at = slash == 0 ? "/" : at.substr(0, slash);
        if (lstat(at.c_str(), &st) != 0)
            return std::string();  // what cannot be seen is said when opened
        const bool trusted = OwnedByThisUserOrRoot(st);
        // A link's own mode means nothing: the folder it stands in says
        // who may replace it.
        if (!S_ISLNK(st.st_mode) &&
            (!trusted || ((st.st_mode & 022) != 0 && !((st.st_mode & S_ISVTX) && nextTrusted))))
            return "the folder " + at;
        nextTrusted = trusted;
    }
    return std::string();
}

// The file at `path`, or a folder on the way to it as named or as its links
// lead, that a user other than this one and root may change; empty when
// none.
std::string FolderOthersMayChange(const std::string& path)
{
    char cwd[4096] = {};
    const std::string named = !path.empty() && path[0] == '/' ? path
                              : getcwd(cwd, sizeof cwd)       ? std::string(cwd) + "/" + path
                                                              : path;
    char* resolved = realpath(path.c_str(), nullptr);
    const std::string canonical = resolved ? resolved : named;
    std::free(resolved);
    struct stat st;
    if (lstat(canonical.c_str(), &st) == 0 && OthersMayChange(st))
        return "the file";
    std::string unsafe = FolderOthersMayChangeOnTheWayTo(named);
    return unsafe.empty() ? FolderOthersMayChangeOnTheWayTo(canonical) : unsafe;
}

// The connection a check has read the database through, kept for the next
// reader of that database (the search's): SQLite reads PROJ's long schema
// once a connection, tens of thousands of lines of it.
struct KeptConnection {
    std::mutex guard;
    std::string path;
    ProjDatabaseHandle db;
};

KeptConnection& Kept()
{
    static KeptConnection kept;
    return kept;
}

void KeepConnection(const std::string& path, ProjDatabaseHandle db)
{
    KeptConnection& kept = Kept();
    const std::lock_guard<std::mutex> lock(kept.guard);
    // The first database checked is the one PROJ, and the search, read.
    if (kept.db)
        return;
    kept.path = path;
    kept.db = std::move(db);
}

}  // namespace

void KeepProjDatabase(const std::string& path, ProjDatabaseHandle db)
{
    if (!db)
        return;
    // Its pages are read again when wanted; its schema is what is worth keeping.
    sqlite3_db_release_memory(db.get());
    KeepConnection(path, std::move(db));
}

namespace {

ProjDatabaseHandle TakeKeptConnection(const std::string& path)
{
    KeptConnection& kept = Kept();
    const std::lock_guard<std::mutex> lock(kept.guard);
    return kept.db && kept.path == path ? std::move(kept.db) : nullptr;
}

// Why the database at `path` cannot be read; empty when it can.
std::string DatabaseProblem(const std::string& path)
{
    if (path.empty())
        return "no PROJ database (proj.db) in PROJ's search path";
    const std::string cannot = "cannot read the PROJ database " + path + ": ";
    // Not waiting on a pipe or device that took the file's place.
    const FileDescriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st;
    if (fd.Get() < 0)
        return cannot + std::strerror(errno);
    if (fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode))
        return cannot + "not a regular file";
    // Anyone who may change the file, or a folder on its way, could put
    // a pipe or a database of their own in its place whenever they like.
    const std::string unsafe = FolderOthersMayChange(path);
    if (!unsafe.empty())
        return cannot + unsafe + " may be changed by other users";
    std::string problem;
    // One row of a small table: two seconds are a thousand times enough.
    ProjDatabaseHandle db = OpenProjDatabase(path, 2);
    if (db) {
        sqlite3_stmt* layout = nullptr;
        int step = sqlite3_prepare_v2(db.get(),
                                      "SELECT value FROM metadata WHERE key = 'DATABASE.LAYOUT.VERSION.MAJOR' LIMIT 1",
                                      -1, &layout, nullptr);
        if (step == SQLITE_OK)
            step = sqlite3_step(layout);
        if (step == SQLITE_DONE)
            problem = "not PROJ's database (it has no layout version)";
        else if (step != SQLITE_ROW)
            problem = sqlite3_errmsg(db.get());
        sqlite3_finalize(layout);
    } else {
        problem = "SQLite cannot open it";
    }
    if (!problem.empty())
        return cannot + problem;
    // A database of another PROJ's layout: PROJ says so itself.
    PJ_CONTEXT* context = proj_context_create();
    if (!context)
        return cannot + "PROJ cannot make a context";
    std::string said;
    proj_log_func(context, &said, [](void* into, int level, const char* message) {
        if (level == PJ_LOG_ERROR && message)
            *static_cast<std::string*>(into) = message;
    });
    const bool opened = proj_context_set_database_path(context, path.c_str(), nullptr, nullptr) != 0;
    proj_context_destroy(context);
    if (!opened) {
        if (said.compare(0, 5, "proj_") == 0 && said.find(": ") != std::string::npos)
            said.erase(0, said.find(": ") + 2);
        if (said.compare(0, path.size() + 1, path + " ") == 0)
            said.erase(0, path.size() + 1);  // "PATH contains …": the path is said already
        return cannot + (said.empty() ? "PROJ cannot open it" : said);
    }
    KeepConnection(path, std::move(db));
    return std::string();
}

}  // namespace

void ProjDatabaseCloser::operator()(sqlite3* db) const
{
    sqlite3_close(db);
}

ProjDatabaseHandle OpenProjDatabase(const std::string& path, int seconds)
{
    if (ProjDatabaseHandle kept = TakeKeptConnection(path)) {
        *kept.get_deleter().deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        return kept;
    }
    sqlite3* opened = nullptr;
    if (sqlite3_open_v2(UnlockedSqliteUri(path).c_str(), &opened,
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI, nullptr) != SQLITE_OK) {
        sqlite3_close(opened);
        return nullptr;
    }
    // Asked every thousand steps whether to stop: past the deadline, which
    // goes with the connection.
    auto deadline = std::make_shared<std::chrono::steady_clock::time_point>(std::chrono::steady_clock::now() +
                                                                           std::chrono::seconds(seconds));
    sqlite3_progress_handler(
        opened, 1000,
        [](void* until) {
            return std::chrono::steady_clock::now() > *static_cast<std::chrono::steady_clock::time_point*>(until)
                       ? 1
                       : 0;
        },
        deadline.get());
    return ProjDatabaseHandle(opened, ProjDatabaseCloser{deadline});
}

bool ProjResourceInstalled(const std::string& fileName)
{
    if (fileName.empty() || fileName.find('/') != std::string::npos || fileName == "." || fileName == "..")
        return false;
    for (const std::string& folder : ProjSearchFolders()) {
        if (IsRegularFile(folder + "/" + fileName))
            return true;
    }
    return false;
}

std::string ProjDatabasePath()
{
    return FirstDatabaseIn(ProjSearchPath());
}

std::string UnlockedSqliteUri(const std::string& path)
{
    // "file://" and an empty authority before an absolute path: "//x" would
    // otherwise be taken for a host.
    std::string uri = path.empty() || path[0] != '/' ? "file:" : "file://";
    for (const char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            static const char kHex[] = "0123456789ABCDEF";
            uri += '%';
            uri += kHex[static_cast<unsigned char>(c) >> 4];
            uri += kHex[c & 15];
        } else {
            uri += c;
        }
    }
    return uri + "?nolock=1";
}

std::string ProjDatabaseProblem()
{
    static std::atomic<bool> readable{false};
    if (readable)
        return std::string();
    for (const std::string& path : DatabasesInUse()) {
        const std::string problem = DatabaseProblem(path);
        if (!problem.empty())
            return problem;
    }
    readable = true;
    return std::string();
}

PJ_CONTEXT* QuietProjContext()
{
    // Making a context costs more than most uses of it.
    struct Context {
        Context() : pj(proj_context_create())
        {
            if (pj) {
                proj_log_func(pj, nullptr, KeepProjMessage);
                proj_log_level(pj, PJ_LOG_ERROR);
                proj_context_set_fileapi(pj, &kOwnFilesOnly, nullptr);
            }
        }
        ~Context() { proj_context_destroy(pj); }
        PJ_CONTEXT* pj;
    };
    thread_local Context context;
    return context.pj;
}

std::string LastProjMessage()
{
    return t_lastProjMessage;
}

void ClearProjMessage()
{
    t_lastProjMessage.clear();
}

namespace {

struct Authorities {
    std::set<std::string> database;  // as PROJ's database spells them
    std::set<std::string> known;     // the database's and GDAL's own, in lower case
};

const Authorities& KnownAuthorities()
{
    static const Authorities authorities = [] {
        Authorities a;
        // Prefixes GDAL reads itself, before or instead of PROJ's database.
        // Not "dict": GDAL reads DICT:FILE,CODE from a file it looks for in the
        // current folder, which a text never names here.
        for (const char* own : {"epsg", "epsga", "auto", "auto2", "crs", "ogc", "iau", "esri", "ignf", "urn", "http",
                                "https", "ftp"})
            a.known.insert(own);
        PJ_CONTEXT* context = QuietProjContext();
        if (PROJ_STRING_LIST names = context ? proj_get_authorities_from_database(context) : nullptr) {
            for (PROJ_STRING_LIST name = names; *name; ++name) {
                a.database.insert(*name);
                a.known.insert(LowerAscii(*name));
            }
            proj_string_list_destroy(names);
        }
        return a;
    }();
    return authorities;
}

}  // namespace

bool IsKnownAuthorityPrefix(const std::string& prefix)
{
    return KnownAuthorities().known.count(LowerAscii(prefix)) != 0;
}

bool IsDatabaseAuthority(const std::string& authority)
{
    return KnownAuthorities().database.count(authority) != 0;
}

bool DatabaseHasObject(const std::string& authority, const std::string& code)
{
    PJ_CONTEXT* context = QuietProjContext();
    if (!context)
        return false;
    // GDAL makes systems of some other objects too (a datum, say): any will do.
    for (PJ_CATEGORY category : {PJ_CATEGORY_CRS, PJ_CATEGORY_DATUM, PJ_CATEGORY_DATUM_ENSEMBLE, PJ_CATEGORY_ELLIPSOID,
                                 PJ_CATEGORY_PRIME_MERIDIAN, PJ_CATEGORY_COORDINATE_OPERATION}) {
        if (PjHandle(proj_create_from_database(context, authority.c_str(), code.c_str(), category, 0, nullptr)))
            return true;
    }
    return false;
}

bool ReadableWithoutFiles(const std::string& text)
{
    // Nothing is read, by PROJ or GDAL, without a database to read it with.
    if (!ProjDatabaseProblem().empty())
        return false;
    if (!MayNameAFile(text))
        return true;
    PJ_CONTEXT* context = QuietProjContext();
    if (!context)
        return false;
    // GDAL reads what follows "ESRI::" as ESRI's WKT.
    const std::string definition = text.compare(0, 6, "ESRI::") == 0 ? text.substr(6) : text;
    // Whether PROJ reads `candidate` asking for no file of ours and making
    // nothing that uses a grid; with `mustRead`, it must make something.
    auto readsAlone = [context](const std::string& candidate, bool mustRead = false) {
        t_refusedRequests = 0;
        const PjHandle object(proj_create(context, candidate.c_str()));
        if (t_refusedRequests != 0)
            return false;
        return object ? !UsesGrids(context, object.get()) : !mustRead;
    };
    // GDAL reads a PROJ string as a system: PROJ reads it so too.
    auto readsAsSystem = [&readsAlone](const std::string& projString, bool mustRead = false) {
        return readsAlone(projString, mustRead) && (projString.find("+type=crs") != std::string::npos ||
                                                    readsAlone(projString + " +type=crs", mustRead));
    };
    // A WKT1's PROJ4 extension is read as the PROJ string it is, in place
    // of the WKT (by GDAL; by PROJ on a context of its own, where no file
    // rule of ours holds): first, and on ours. Its PROJ4_GRIDS extension
    // names grid files.
    for (const auto& [name, value] : WktExtensions(definition)) {
        // One PROJ cannot read is no system to PROJ, and GDAL would pass
        // over it: either way not the system the text says.
        if (EqualIgnoringAsciiCase(name, "PROJ4") && !readsAsSystem(value, true))
            return false;
        if (EqualIgnoringAsciiCase(name, "PROJ4_GRIDS") && value != "null" && value != "@null")
            return false;
    }
    if (!readsAlone(definition))
        return false;
    return definition.find('=') == std::string::npos || LooksLikeWktText(definition) || readsAsSystem(definition);
}