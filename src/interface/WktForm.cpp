// WKT's two forms told apart by their first keyword.
#include "interface/WktForm.h"

WktForm WktFormOf(const std::string& text)
{
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    const std::size_t bracket = text.find_first_of("[(", start);
    if (start == std::string::npos || bracket == std::string::npos)
        return WktForm::None;
    const std::string keyword = text.substr(start, bracket - start);
    if (keyword.empty() || keyword.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ_0123456789") != std::string::npos)
        return WktForm::None;
    for (const char* wkt1 : {"GEOGCS", "PROJCS", "LOCAL_CS", "GEOCCS", "VERT_CS", "COMPD_CS"})
        if (keyword == wkt1)
            return WktForm::Wkt1;
    return WktForm::Wkt2;
}

std::string SystemInFormat(const std::string& system, OrvaneFormat format)
{
    const WktForm form = WktFormOf(system);
    if ((format == OrvaneFormat::Wkt1 && form == WktForm::Wkt1) ||
        (format == OrvaneFormat::Wkt2 && form == WktForm::Wkt2))
        return system;
    return OrvaneFormatReference(system.c_str(), format);
}
