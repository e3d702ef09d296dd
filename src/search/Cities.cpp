#include "search/Cities.h"

#include <algorithm>

#include "module/Module.h"
#include "search/Places.h"
#include "search/Folding.h"
#include "util/FileIO.h"
#include "util/NumberText.h"
#include "util/Text.h"

namespace {

// The file is under a megabyte; a larger one is no gazetteer of ours.
constexpr std::size_t kMaxCitiesBytes = 8u << 20;

}  // namespace

namespace {

// ISO codes and the names EPSG's areas give their countries, by code.
std::vector<std::pair<std::string, std::string>> ReadCountryCodes(const std::string& path)
{
    constexpr std::size_t kMaxBytes = 1u << 20;
    std::vector<std::pair<std::string, std::string>> countries;
    std::string content;
    if (!ReadRegularFile(path, content, kMaxBytes))
        return countries;
    for (const std::string& line : TextLines(content)) {
        const std::vector<std::string> fields = ListItems(line, '\t');
        if (line.empty() || line[0] == '#' || fields.size() != 2 || fields[0].size() != 2 ||
            FoldedWords(fields[1]).empty())
            continue;
        countries.emplace_back(fields[0], FoldedWords(fields[1]));
    }
    std::sort(countries.begin(), countries.end());
    return countries;
}

}  // namespace

Gazetteer::Gazetteer(const std::string& path, const std::string& countriesPath)
    : m_countries(ReadCountryCodes(countriesPath))
{
    for (const auto& [code, name] : m_countries)
        m_countryNames.push_back(name);
    std::sort(m_countryNames.begin(), m_countryNames.end());
    std::string content;
    if (!ReadRegularFile(path, content, kMaxCitiesBytes))
        return;
    // Read in place: the file is tens of thousands of lines, and read as the
    // chooser opens.
    const std::string_view text(content);
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line[0] == '#')
            continue;
        std::string_view fields[5];
        std::size_t count = 0;
        for (std::size_t at = 0; at <= line.size() && count <= 5;) {
            const std::size_t tab = std::min(line.find('\t', at), line.size());
            if (tab > at && count < 5)
                fields[count] = line.substr(at, tab - at);
            count += tab > at ? 1 : 0;
            at = tab + 1;
        }
        if (count != 5 || fields[1].size() != 2)
            continue;
        // Numbers as the file writes them, whatever the host's locale.
        double latitude = 0, longitude = 0, population = 0;
        const std::string folded = FoldedWords(fields[0]);
        if (!ParseWholeDouble(fields[2], latitude) || !ParseWholeDouble(fields[3], longitude) ||
            !ParseWholeDouble(fields[4], population) || !(population >= 0 && population <= 4e9) || folded.empty() ||
            fields[0].size() > 0xFFFF || folded.size() > 0xFFFF ||
            !(latitude >= -90 && latitude <= 90 && longitude >= -180 && longitude <= 180))
            continue;
        Entry entry{static_cast<std::uint32_t>(m_text.size()), 0, static_cast<std::uint16_t>(fields[0].size()),
                    static_cast<std::uint16_t>(folded.size()), {fields[1][0], fields[1][1]},
                    static_cast<float>(latitude), static_cast<float>(longitude),
                    static_cast<std::uint32_t>(population)};
        m_text += fields[0];
        entry.folded = static_cast<std::uint32_t>(m_text.size());
        m_text += folded;
        m_entries.push_back(entry);
    }
    SortByName();
    m_entries.shrink_to_fit();
    m_text.shrink_to_fit();
}

void Gazetteer::SortByName()
{
    // By name, then the most populous first, then as the file lists them (its
    // order is any). Names are compared by their first eight bytes as one
    // number first: most differ there, and the whole names lie all over
    // the text.
    struct Key {
        std::uint64_t prefix;
        std::uint32_t entry;
    };
    std::vector<Key> keys(m_entries.size());
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const std::string_view folded = Folded(m_entries[i]);
        std::uint64_t prefix = 0;
        for (std::size_t b = 0; b < 8; ++b)
            prefix = prefix << 8 | (b < folded.size() ? static_cast<unsigned char>(folded[b]) : 0u);
        keys[i] = {prefix, static_cast<std::uint32_t>(i)};
    }
    std::sort(keys.begin(), keys.end(), [this](const Key& a, const Key& b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        const Entry& ea = m_entries[a.entry];
        const Entry& eb = m_entries[b.entry];
        const std::string_view fa = Folded(ea), fb = Folded(eb);
        if (fa != fb)
            return fa < fb;
        return ea.population != eb.population ? ea.population > eb.population : a.entry < b.entry;
    });
    std::vector<Entry> sorted;
    sorted.reserve(keys.size());
    for (const Key& key : keys)
        sorted.push_back(m_entries[key.entry]);
    m_entries = std::move(sorted);
}

std::string_view Gazetteer::Folded(const Entry& entry) const
{
    return std::string_view(m_text).substr(entry.folded, entry.foldedLength);
}

bool Gazetteer::Find(std::string_view text, City& city) const
{
    const std::string folded = FoldedWords(text.substr(0, 200));
    if (folded.empty())
        return false;
    const auto at = FirstFrom(folded);
    if (at == m_entries.end() || Folded(*at) != folded)
        return false;
    city.name = m_text.substr(at->name, at->nameLength);
    city.country = std::string(at->country, 2);
    city.latitude = at->latitude;
    city.longitude = at->longitude;
    city.population = at->population;
    const auto country = std::lower_bound(m_countries.begin(), m_countries.end(),
                                          std::make_pair(city.country, std::string()));
    city.countryWords = country != m_countries.end() && country->first == city.country
                            ? country->second
                            : std::string();
    return true;
}

std::vector<Gazetteer::Entry>::const_iterator Gazetteer::FirstFrom(const std::string& folded) const
{
    return std::lower_bound(m_entries.begin(), m_entries.end(), folded,
                            [this](const Entry& e, const std::string& f) { return Folded(e) < f; });
}

bool Gazetteer::BeginsAName(std::string_view text) const
{
    const std::string folded = FoldedWords(text.substr(0, 200));
    if (folded.empty())
        return false;
    const auto at = FirstFrom(folded);
    return at != m_entries.end() && Folded(*at).compare(0, folded.size(), folded) == 0;
}

std::string_view Gazetteer::CountryOfArea(const std::string& areaName) const
{
    // The name up to its first detail: "Brazil", "USA" of "USA - Texas".
    const std::size_t end = std::min({areaName.find(" - "), areaName.find(';'), areaName.find(',')});
    const std::string words = FoldedWords(areaName.substr(0, end));
    const auto at = std::lower_bound(m_countryNames.begin(), m_countryNames.end(), words);
    return at != m_countryNames.end() && *at == words ? std::string_view(*at) : std::string_view();
}

std::size_t Gazetteer::Bytes() const
{
    std::size_t bytes = m_text.capacity() + m_entries.capacity() * sizeof(Entry);
    for (const auto& [code, name] : m_countries)
        bytes += sizeof code + sizeof name + name.capacity();
    for (const std::string& name : m_countryNames)
        bytes += sizeof name + name.capacity();
    return bytes;
}

const Gazetteer& Cities()
{
    static const Gazetteer cities(GetCitiesPath(), GetCountryCodesPath());
    return cities;
}

std::string CityText(const City& city)
{
    return city.name + " (" + city.country + ")";
}

bool PlaceNamed(std::string_view text, Place& place, std::string& label, bool& isCity, City& city)
{
    isCity = false;
    if (ParsePlace(text, place)) {
        label = PlaceText(place);
        return true;
    }
    if (!Cities().Find(text, city))
        return false;
    place.latitude = city.latitude;
    place.longitude = city.longitude;
    label = CityText(city);
    isCity = true;
    return true;
}
