// The texts a list shows for a catalogue: its names, in its own order.
#pragma once

#include <string>
#include <vector>

#include "catalog/GeogCatalog.h"

inline std::vector<std::string> NamesOf(const SystemCatalog& catalog)
{
    std::vector<std::string> names;
    names.reserve(catalog.size());
    for (const auto& entry : catalog)
        names.push_back(entry.first);
    return names;
}

// For records with a `name`: projection methods, units.
template <typename Record>
std::vector<std::string> NamesOf(const std::vector<Record>& records)
{
    std::vector<std::string> names;
    names.reserve(records.size());
    for (const Record& record : records)
        names.push_back(record.name);
    return names;
}
