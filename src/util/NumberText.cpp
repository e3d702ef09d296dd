#include "util/NumberText.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

const char* SkipBlanks(const char* p, const char* end)
{
    while (p < end && IsBlank(*p))
        ++p;
    return p;
}

// Parses a leading number at p (an optional sign, then what from_chars takes).
template <typename T>
const char* ParseLeading(const char* p, const char* end, T& value)
{
    bool negative = false;
    const char* start = p;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p < end && (*p == '+' || *p == '-'))
        return start;  // two signs: not a number
    T parsed{};
    std::from_chars_result r;
    if constexpr (std::is_floating_point_v<T>)
        r = std::from_chars(p, end, parsed, std::chars_format::general);
    else
        r = std::from_chars(p, end, parsed);
    if (r.ec == std::errc::invalid_argument)
        return start;
    if (r.ec == std::errc::result_out_of_range) {
        if constexpr (std::is_floating_point_v<T>) {
            // strtod gives +-HUGE_VAL or 0 here; keep that behaviour.
            value = 0;
            return r.ptr;
        } else {
            return start;
        }
    }
    value = negative ? -parsed : parsed;
    return r.ptr;
}

}  // namespace

std::string FormatGeneral(double value, int significantDigits)
{
    char buffer[64];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general,
                           significantDigits);
    return r.ec == std::errc() ? std::string(buffer, r.ptr) : std::string("0");
}

std::string FormatFixed(double value, int decimals)
{
    // Large enough for any double in fixed notation with its decimals.
    char buffer[512];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                           decimals);
    return r.ec == std::errc() ? std::string(buffer, r.ptr) : std::string("0");
}

std::string FormatShortestFixed(double value, int decimals)
{
    char buffer[512];
    auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    if (r.ec != std::errc())
        return FormatFixed(value, decimals);
    std::string text(buffer, r.ptr);
    if (!std::isfinite(value) || decimals <= 0)
        return text;
    const std::size_t point = text.find('.');
    const std::size_t has = point == std::string::npos ? 0 : text.size() - point - 1;
    if (point == std::string::npos)
        text += '.';
    if (has < static_cast<std::size_t>(decimals))
        text.append(static_cast<std::size_t>(decimals) - has, '0');
    return text;
}

bool ParseWholeDouble(std::string_view text, double& value)
{
    const char* end = text.data() + text.size();
    const char* p = SkipBlanks(text.data(), end);
    double parsed = 0;
    const char* after = ParseLeading(p, end, parsed);
    if (after == p || SkipBlanks(after, end) != end || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

bool IsDecimalCommaNumber(const std::string& text)
{
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos || text.find(',', comma + 1) != std::string::npos ||
        text.find('.') != std::string::npos)
        return false;
    std::string pointed = text;
    pointed[comma] = '.';
    double value = 0;
    return ParseWholeDouble(pointed, value);
}

bool ParseWholeInt(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    const char* p = SkipBlanks(text.data(), end);
    int parsed = 0;
    const char* after = ParseLeading(p, end, parsed);
    if (after == p || SkipBlanks(after, end) != end)
        return false;
    value = parsed;
    return true;
}

double LeadingDouble(const std::string& text)
{
    const char* end = text.data() + text.size();
    double value = 0;
    ParseLeading(SkipBlanks(text.data(), end), end, value);
    return value;
}

int LeadingInt(const std::string& text)
{
    const char* end = text.data() + text.size();
    long long value = 0;
    ParseLeading(SkipBlanks(text.data(), end), end, value);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}
