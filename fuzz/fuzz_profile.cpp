// The profile reader on arbitrary files, and the writer: whatever the format
// can carry is read back exactly after a store, and every other line is kept.
//
// Input: the file's bytes, then "\0" section "\0" key "\0" value.
#include <cstdio>
#include <vector>

#include "FuzzSupport.h"
#include "util/Profile.h"
#include "util/Text.h"

namespace {

std::vector<std::string> Split(const std::string& text, char separator, std::size_t parts)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    while (out.size() + 1 < parts) {
        const std::size_t at = text.find(separator, start);
        if (at == std::string::npos)
            break;
        out.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    out.push_back(text.substr(start));
    return out;
}

// The new file is the old one with one line replaced, or with a few lines
// (an entry, or a section and its entry) put in at one place.
bool KeepsOtherLines(const std::vector<std::string>& before, const std::vector<std::string>& after)
{
    if (after.size() == before.size()) {
        std::size_t changed = 0;
        for (std::size_t i = 0; i < before.size(); ++i)
            changed += before[i] != after[i] ? 1 : 0;
        return changed <= 1;
    }
    if (after.size() < before.size() || after.size() > before.size() + 2)
        return false;
    const std::size_t added = after.size() - before.size();
    std::size_t i = 0;
    while (i < before.size() && before[i] == after[i])
        ++i;
    for (std::size_t k = i; k < before.size(); ++k)
        if (before[k] != after[k + added])
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> parts = Split(AsText(data, size), '\0', 4);
    const std::string path = ScratchFolder() + "/CoordSys.dat";
    const std::string& content = parts[0];
    WriteBytes(path, content);

    std::vector<std::string> lines;
    for (const char* section : {"GCS", "Beijing 1954", "Xian 1980"})
        Require(GetPrivateProfileSection(section, path, lines), "a regular file reads");
    if (parts.size() < 4)
        return 0;
    const std::string &section = parts[1], &key = parts[2], &value = parts[3];
    if (!WritePrivateProfileString(section, key, value, path))
        return 0;

    std::string written;
    {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        char buffer[4096];
        std::size_t n;
        while (f && (n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            written.append(buffer, n);
        if (f)
            std::fclose(f);
    }
    Require(KeepsOtherLines(TextLines(content), TextLines(written)), "every other line is kept");
    Require(GetPrivateProfileSection(section, path, lines), "the file reads after a store");
    std::string found;
    bool seen = false;
    for (const std::string& line : lines) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos && line.compare(0, equals, key) == 0 && equals == key.size()) {
            found = line.substr(equals + 1);
            seen = true;
        }
    }
    Require(seen && found == value, "the stored value is the one read back");
    return 0;
}
