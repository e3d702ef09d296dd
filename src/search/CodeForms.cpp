#include "search/CodeForms.h"

#include <algorithm>

#include "util/Text.h"

namespace
{

bool Consume(std::string_view& text, std::string_view prefix)
{
    if (text.substr(0, prefix.size()) != prefix)
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

// OGC's own geographic systems as the EPSG systems of the same datum and
// units: their longitude-first order is the one GIS applications use anyway.
const char* OgcSystem(std::string_view code)
{
    if (code == "crs84")
        return "EPSG 4326";
    if (code == "crs83")
        return "EPSG 4269";
    if (code == "crs27")
        return "EPSG 4267";
    return nullptr;
}

// "epsg:[version:]4326" of a URN, "epsg/0/4326" of a URL (`separator` ':'
// or '/'): the authority and the code, the version between them skipped.
std::string AuthorityAndCode(std::string_view rest, char separator)
{
    const std::size_t first = rest.find(separator);
    const std::string_view authority = rest.substr(0, first);
    if (first == std::string_view::npos ||
        (authority != "epsg" && authority != "esri" && authority != "ogc"))
        return std::string();
    std::string_view after = rest.substr(first + 1);
    const std::size_t last = after.rfind(separator);
    // A version, possibly empty ("EPSG::4326"), before the code.
    std::string_view code =
        last == std::string_view::npos ? std::string_view() : after.substr(last + 1);
    if (last == std::string_view::npos) {
        // Typed part way: "epsg:9.8" is a version still, "epsg:4326" a code.
        if (after.find('.') != std::string_view::npos)
            return std::string();
        code = after;
    }
    if (authority == "ogc") {
        const char* system = OgcSystem(code);
        return system ? system : std::string();
    }
    if (code.empty() || code.find_first_not_of("0123456789") != std::string_view::npos)
        return std::string();
    return (authority == "epsg" ? "EPSG " : "ESRI ") + std::string(code);
}

// `read`, or the text as typed when nothing was read.
std::string Or(const std::string& read, std::string_view text)
{
    return read.empty() ? std::string(text) : read;
}

// The text without blanks (a no-break space too), quotes and angle brackets
// about it, in lower case, as a code form is compared: pasted from a page
// or a file, "<urn:ogc:def:crs:EPSG::4326>\r".
std::string Bare(std::string_view text)
{
    static const std::string_view kAbout[] = {" ", "\t", "\r", "\n", "\"", "'", "<", ">", "\u00A0",
                                              "\u201C", "\u201D"};
    for (bool trimmed = true; trimmed && !text.empty();) {
        trimmed = false;
        for (const std::string_view about : kAbout) {
            if (text.substr(0, about.size()) == about) {
                text.remove_prefix(about.size());
                trimmed = true;
            }
            if (text.size() >= about.size() && text.substr(text.size() - about.size()) == about) {
                text.remove_suffix(about.size());
                trimmed = true;
            }
        }
    }
    return LowerAscii(std::string(text));
}

} // namespace

std::string CodeFormRead(std::string_view text)
{
    std::string lower = Bare(text);
    // A URL's query or fragment, and its last slash, say nothing of the code.
    if (lower.compare(0, 4, "http") == 0 || lower.compare(0, 11, "www.opengis") == 0 ||
        lower.compare(0, 11, "opengis.net") == 0) {
        lower = lower.substr(0, lower.find_first_of("?#"));
        if (!lower.empty() && lower.back() == '/')
            lower.pop_back();
    }
    // "urn:ogc:def:crs:EPSG:: 4326": no blank belongs in a URN.
    if (lower.compare(0, 4, "urn:") == 0)
        lower.erase(std::remove(lower.begin(), lower.end(), ' '), lower.end());
    std::string_view rest = lower;
    if (Consume(rest, "urn:ogc:def:crs:") || Consume(rest, "urn:x-ogc:def:crs:"))
        return Or(AuthorityAndCode(rest, ':'), text);
    if (Consume(rest, "https://") || Consume(rest, "http://"))
        Consume(rest, "www.");
    if (Consume(rest, "www.opengis.net/def/crs/") || Consume(rest, "opengis.net/def/crs/"))
        return Or(AuthorityAndCode(rest, '/'), text);
    // "OGC:CRS84", WMS's "CRS:84", "CRS84".
    if (!Consume(rest, "ogc:"))
        Consume(rest, "ogc ");
    const std::string ogc =
        rest.substr(0, 4) == "crs:" ? "crs" + std::string(rest.substr(4)) : std::string(rest);
    const char* system = OgcSystem(ogc);
    return system ? std::string(system) : std::string(text);
}
