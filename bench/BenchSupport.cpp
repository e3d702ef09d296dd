#include "BenchSupport.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "catalog/GeogCatalog.h"
#include "catalog/IniFile.h"

namespace {

std::vector<std::pair<std::string, std::string>> Section(const std::string& path, const char* name)
{
    CIniFile file;
    file.SetFileName(path);
    std::vector<std::string> keys, values;
    file.ReadSection(name, keys, values);
    std::vector<std::pair<std::string, std::string>> entries;
    for (std::size_t i = 0; i < keys.size(); ++i)
        entries.emplace_back(keys[i], values[i]);
    return entries;
}

void WriteSection(std::ofstream& out, const char* name,
                  const std::vector<std::pair<std::string, std::string>>& entries, int count)
{
    out << "[" << name << "]\n";
    for (int i = 0; i < count; ++i) {
        const auto& [key, value] = entries[static_cast<std::size_t>(i) % entries.size()];
        const bool original = static_cast<std::size_t>(i) < entries.size();
        out << key << (original ? "" : " copy " + std::to_string(i)) << "=" << value << "\n";
    }
}

}  // namespace

void WriteLargeCatalogue(const std::string& bundled, const std::string& path, int systems, int zones)
{
    std::ofstream out(path);
    WriteSection(out, kGeogSection, Section(bundled, kGeogSection), systems);
    WriteSection(out, kBeijing1954Section, Section(bundled, kBeijing1954Section), zones);
    WriteSection(out, kXian1980Section, Section(bundled, kXian1980Section), zones);
}

long ResidentBytes()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
}
