// The five name queries on arbitrary bytes.
#include <cstring>

#include "FuzzSupport.h"
#include "interface/Orvane.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text = AsText(data, size);  // stops at the first NUL, as a C text does
    const char* srs = text.c_str();
    const std::string system = Orvane::GetCoordSysName(srs);
    Orvane::GetDatumName(srs);
    Orvane::GetSpheroidName(srs);
    Orvane::GetProjectionName(srs);
    Orvane::GetUnitsName(srs);
    Require(!system.empty() || std::strlen(srs) > 0, "an empty text is \"Unknown\"");
    return 0;
}
