#include "search/Places.h"

#include <cmath>
#include <initializer_list>

#include "util/NumberText.h"

namespace {

struct Coordinate {
    double degrees = 0;
    char hemisphere = 0;  // 'N', 'S', 'E', 'W', or 0
    bool marked = false;  // a decimal point, a sign of degrees, minutes or seconds, or a letter
};

class Scanner {
public:
    explicit Scanner(std::string_view text) : m_text(text) {}

    bool AtEnd() const { return m_at >= m_text.size(); }
    void SkipBlanks()
    {
        while (!AtEnd() && (m_text[m_at] == ' ' || m_text[m_at] == '\t'))
            ++m_at;
    }
    // Takes `token` when the text goes on with it.
    bool Take(std::string_view token)
    {
        if (m_text.substr(m_at, token.size()) != token)
            return false;
        m_at += token.size();
        return true;
    }
    bool TakeAnyOf(std::initializer_list<std::string_view> tokens)
    {
        for (std::string_view token : tokens) {
            if (Take(token))
                return true;
        }
        return false;
    }
    // A hemisphere letter, in either case.
    char TakeHemisphere()
    {
        if (AtEnd())
            return 0;
        const char c = static_cast<char>(m_text[m_at] & ~0x20);
        if (c != 'N' && c != 'S' && c != 'E' && c != 'W')
            return 0;
        ++m_at;
        return c;
    }
    // Digits with an optional decimal part; false when there is no digit.
    bool TakeNumber(double& value, bool& decimal)
    {
        const std::size_t start = m_at;
        bool digits = false;
        decimal = false;
        while (!AtEnd() && ((m_text[m_at] >= '0' && m_text[m_at] <= '9') || (m_text[m_at] == '.' && !decimal))) {
            decimal = decimal || m_text[m_at] == '.';
            digits = digits || m_text[m_at] != '.';
            ++m_at;
        }
        if (!digits || m_at - start > 24) {
            m_at = start;
            return false;
        }
        return ParseWholeDouble(std::string(m_text.substr(start, m_at - start)), value);
    }

private:
    std::string_view m_text;
    std::size_t m_at = 0;
};

// One coordinate: [letter] [sign] degrees [° [minutes ′ [seconds ″]]] [letter].
bool ReadCoordinate(Scanner& scanner, Coordinate& coordinate)
{
    scanner.SkipBlanks();
    coordinate.hemisphere = scanner.TakeHemisphere();
    scanner.SkipBlanks();
    const bool negative = scanner.Take("-");
    if (!negative)
        scanner.Take("+");
    bool decimal = false;
    if (!scanner.TakeNumber(coordinate.degrees, decimal))
        return false;
    coordinate.marked = decimal || coordinate.hemisphere != 0;
    if (scanner.TakeAnyOf({"°", "º"})) {
        coordinate.marked = true;
        double minutes = 0, seconds = 0;
        bool minutesDecimal = false, secondsDecimal = false;
        scanner.SkipBlanks();
        if (!decimal && scanner.TakeNumber(minutes, minutesDecimal)) {
            if (!scanner.TakeAnyOf({"′", "'"}) || minutes >= 60)
                return false;
            scanner.SkipBlanks();
            if (!minutesDecimal && scanner.TakeNumber(seconds, secondsDecimal)) {
                if (!scanner.TakeAnyOf({"″", "\"", "''"}) || seconds >= 60)
                    return false;
            }
        }
        coordinate.degrees += minutes / 60 + seconds / 3600;
    }
    scanner.SkipBlanks();
    // A letter before the number: one after it is the next coordinate's.
    if (!coordinate.hemisphere) {
        coordinate.hemisphere = scanner.TakeHemisphere();
        coordinate.marked = coordinate.marked || coordinate.hemisphere != 0;
    }
    if (negative && coordinate.hemisphere)
        return false;  // "-52.5S" says south twice, or says two things
    if (negative || coordinate.hemisphere == 'S' || coordinate.hemisphere == 'W')
        coordinate.degrees = -coordinate.degrees;
    return true;
}

bool IsLatitude(char hemisphere)
{
    return hemisphere == 'N' || hemisphere == 'S';
}

}  // namespace

bool ParsePlace(std::string_view text, Place& place, bool wholeNumbers)
{
    Scanner scanner(text);
    Coordinate first, second;
    if (!ReadCoordinate(scanner, first))
        return false;
    scanner.SkipBlanks();
    if (!scanner.Take(","))
        scanner.Take(";");
    if (!ReadCoordinate(scanner, second))
        return false;
    scanner.SkipBlanks();
    if (!scanner.AtEnd() || !(wholeNumbers || first.marked || second.marked))
        return false;
    // Letters decide which is which; without them, latitude comes first.
    bool firstIsLatitude = true;
    if (first.hemisphere && second.hemisphere) {
        if (IsLatitude(first.hemisphere) == IsLatitude(second.hemisphere))
            return false;
        firstIsLatitude = IsLatitude(first.hemisphere);
    } else if (first.hemisphere) {
        firstIsLatitude = IsLatitude(first.hemisphere);
    } else if (second.hemisphere) {
        firstIsLatitude = !IsLatitude(second.hemisphere);
    }
    place.latitude = firstIsLatitude ? first.degrees : second.degrees;
    place.longitude = firstIsLatitude ? second.degrees : first.degrees;
    return std::isfinite(place.latitude) && std::isfinite(place.longitude) && std::fabs(place.latitude) <= 90 &&
           std::fabs(place.longitude) <= 180;
}

std::string PlaceText(const Place& place)
{
    return FormatFixed(std::fabs(place.latitude), 4) + "°" + (place.latitude < 0 ? "S" : "N") + " " +
           FormatFixed(std::fabs(place.longitude), 4) + "°" + (place.longitude < 0 ? "W" : "E");
}
