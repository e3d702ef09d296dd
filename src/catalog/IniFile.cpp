#include "catalog/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "util/Profile.h"

int CIniFile::OpenFile(const std::string& path, unsigned mode)
{
    const int flags = (mode == modeReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK;
    const int fd = open(path.c_str(), flags);
    if (fd < 0)
        return 0;
    close(fd);
    return SetFileName(path);
}

int CIniFile::SetFileName(const std::string& path)
{
    m_strFileName = path;
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return 0;
    return 1;
}

int CIniFile::ReadSection(const std::string& section, std::vector<std::string>& keys,
                          std::vector<std::string>& values)
{
    keys.clear();
    values.clear();
    std::vector<std::string> lines;
    GetPrivateProfileSection(section, m_strFileName, lines);
    keys.reserve(lines.size());
    values.reserve(lines.size());
    for (std::string& line : lines) {
        // A line without "=" is no entry: no name to list it by, none to
        // remove it by.
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        keys.push_back(line.substr(0, equals));
        values.push_back(line.substr(equals + 1));
    }
    return static_cast<int>(keys.size());
}

bool CIniFile::WriteEntry(const std::string& section, const std::string& key,
                          const std::string& value)
{
    return WritePrivateProfileString(section, key, value, m_strFileName);
}
