// Cities as places: a gazetteer (Cities.txt beside the library, GeoNames'
// cities of 15,000 people or more), so that a city typed is a place whose
// systems the search lists.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct City {
    std::string name;
    std::string country;  // ISO 3166 code, "DE"
    double latitude = 0;
    double longitude = 0;
    std::uint32_t population = 0;
    // Its country as EPSG's areas of use begin ("germany", folded words as
    // " germany "); empty when unknown.
    std::string countryWords;
};

class Gazetteer {
public:
    // Reads `path`, and the countries' names from `countriesPath`; empty when
    // it cannot be read (the search then knows no city).
    Gazetteer(const std::string& path, const std::string& countriesPath);
    std::size_t Size() const { return m_entries.size(); }
    // The city `text` names, whole (letter case, accents and punctuation
    // aside): the most populous of that name. False for none.
    bool Find(std::string_view text, City& city) const;
    // Whether `text` is a city's name or the start of one, in whole words
    // ("new york" of "New York City").
    bool BeginsAName(std::string_view text) const;
    // What it keeps in memory, in bytes.
    std::size_t Bytes() const;
    // Whether an area of use is a country's, or a part of one, as its name
    // begins ("Brazil", "USA - Texas"): its country's folded words when it
    // is (kept by the gazetteer), else empty.
    std::string_view CountryOfArea(const std::string& areaName) const;

private:
    struct Entry {
        std::uint32_t name;    // in m_text
        std::uint32_t folded;  // in m_text: its folded words
        std::uint16_t nameLength;
        std::uint16_t foldedLength;
        char country[2];
        float latitude;
        float longitude;
        std::uint32_t population;
    };
    std::string_view Folded(const Entry& entry) const;
    // The first entry whose folded name is not before `folded`.
    std::vector<Entry>::const_iterator FirstFrom(const std::string& folded) const;
    void SortByName();
    std::string m_text;
    std::vector<Entry> m_entries;  // by folded name, the most populous first within one
    std::vector<std::pair<std::string, std::string>> m_countries;  // ISO code → folded area name, by code
    std::vector<std::string> m_countryNames;                       // the folded names, sorted
};

// The gazetteer beside the library, read once a process.
const Gazetteer& Cities();

// "Berlin (DE)".
std::string CityText(const City& city);

struct Place;
// The place `text` names: a coordinate pair (see ParsePlace), else a city of
// the gazetteer; `label` says which ("52.5200°N 13.4000°E", "Berlin (DE)"),
// `isCity` whether it is a city, and `city` which. False for neither.
bool PlaceNamed(std::string_view text, Place& place, std::string& label, bool& isCity, City& city);
