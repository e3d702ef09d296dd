// The name queries on arbitrary bytes. The first byte picks the query, so
// that each input costs one parse, as a host's single query does.
#include <cstring>

#include "FuzzSupport.h"
#include "interface/Orvane.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    using Query = std::string (*)(const char*);
    const Query queries[] = {Orvane::GetCoordSysName, Orvane::GetDatumName, Orvane::GetSpheroidName,
                             Orvane::GetProjectionName, Orvane::GetUnitsName};
    const std::size_t which = data[0] % 5;
    const std::string text = AsText(data + 1, size - 1);  // stops at the first NUL, as a C text does
    const char* srs = text.c_str();
    const std::string name = queries[which](srs);
    Require(which != 0 || !name.empty(), "the system always has a name, \"Unknown\" at least");
    return 0;
}
