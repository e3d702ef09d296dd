#include "catalog/GeogCatalog.h"

#include <vector>

#include "catalog/IniFile.h"
#include "module/Module.h"

const char kGeogSection[] = "GCS";
const char kBeijing1954Section[] = "Beijing 1954";
const char kXian1980Section[] = "Xian 1980";

SystemCatalog g_geogSystems;

void LoadCatalogSection(const std::string& section, SystemCatalog& target)
{
    target.clear();
    CIniFile file;
    if (!file.OpenFile(GetCatalogPath(), CIniFile::modeRead))
        return;
    std::vector<std::string> keys, values;
    const int count = file.ReadSection(section, keys, values);
    for (int i = 0; i < count; ++i)
        target[keys[i]] = std::move(values[i]);
}

bool StoreGeogSystem(const std::string& name, const std::string& wkt)
{
    CIniFile file;
    if (!file.OpenFile(GetCatalogPath(), CIniFile::modeReadWrite))
        return false;
    return file.WriteEntry(kGeogSection, name, wkt);
}
