#include "module/StartupNotes.h"

#include <sys/stat.h>

#include <mutex>
#include <set>

#include "module/Module.h"
#include "util/FileIO.h"
#include "util/Profile.h"

namespace {

bool LargerThan(const std::string& path, std::size_t limit)
{
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           static_cast<std::size_t>(st.st_size) > limit;
}

}  // namespace

std::string StartupNotesNotYetTold(const std::vector<SizeLimitedFile>& alsoRead)
{
    std::vector<SizeLimitedFile> files = {{GetCatalogPath(), kMaxProfileBytes, MessageId::CatalogueTooLarge},
                                          {GetUserCatalogPath(), kMaxProfileBytes, MessageId::CatalogueTooLarge}};
    files.insert(files.end(), alsoRead.begin(), alsoRead.end());
    std::vector<std::string> notes;
    for (const SizeLimitedFile& file : files) {
        if (LargerThan(file.path, file.limit))
            notes.push_back(MessageWith(file.tooLarge, file.path));
    }
    const std::string userFolder = GetUserCatalogPath().empty() ? std::string() : FolderOf(GetUserCatalogPath());
    struct stat st;
    if (!userFolder.empty() && lstat(userFolder.c_str(), &st) == 0 && !IsPrivateFolder(userFolder))
        notes.push_back(MessageWith(MessageId::FolderNotPrivate, userFolder));
    // Each once a process: the user knows it the first time.
    static std::mutex toldGuard;
    static std::set<std::string> told;
    const std::lock_guard<std::mutex> lock(toldGuard);
    std::string text;
    for (const std::string& note : notes) {
        if (told.insert(note).second)
            text += (text.empty() ? "" : "\n") + note;
    }
    return text;
}
