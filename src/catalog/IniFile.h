// CIniFile: reads and writes one INI file, for one load or one store.
#pragma once

#include <string>
#include <vector>

class CIniFile {
public:
    enum OpenMode : unsigned { modeRead = 0, modeReadWrite = 2 };

    CIniFile() = default;
    virtual ~CIniFile() = default;

    // Checks that the file opens in `mode` (then closes it again) and
    // remembers it: 1 when usable, 0 otherwise.
    int OpenFile(const std::string& path, unsigned mode);
    // Remembers `path`: 1 when it names an existing entry that is not a folder.
    int SetFileName(const std::string& path);
    // The entries of `section` in file order, each split at its first "=";
    // a line without "=" gives an empty key and the whole line as value.
    // Returns their number.
    int ReadSection(const std::string& section, std::vector<std::string>& keys,
                    std::vector<std::string>& values);
    // Sets `key` in `section`; true when the file now holds it.
    bool WriteEntry(const std::string& section, const std::string& key, const std::string& value);

    const std::string& GetFileName() const { return m_strFileName; }

private:
    std::string m_strFileName;
};
