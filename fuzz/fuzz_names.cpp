// The name queries and the search on arbitrary bytes. The first byte picks
// the query, so that each input costs one parse, as a host's single query
// does, or one search, as a keystroke does.
#include <cstring>

#include "FuzzSupport.h"
#include "interface/Orvane.h"
#include "search/Folding.h"
#include "search/Matching.h"
#include "search/Places.h"
#include "search/SearchCandidates.h"

namespace {

void Search(const std::string& text)
{
    static const SearchCandidates candidates = AllCandidates(ShippedGeogSystems(), UserGeogSystems());
    const std::string words = FoldedWords(text);
    Require(words.empty() || (words.front() == ' ' && words.back() == ' '), "folded words are framed by blanks");
    Place place;
    if (ParsePlace(text, place)) {
        Require(place.latitude >= -90 && place.latitude <= 90 && place.longitude >= -180 && place.longitude <= 180,
                "a place is on the Earth");
        for (const Found& found : CandidatesAt(candidates, place.latitude, place.longitude, 20))
            Require(found.candidate->area->Contains(place.latitude, place.longitude), "found where it is used");
    }
    for (const Found& found : FindCandidates(candidates, text, 20))
        Require(found.candidate != nullptr, "what is found is a candidate");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    using Query = std::string (*)(const char*);
    const Query queries[] = {Orvane::GetCoordSysName, Orvane::GetDatumName, Orvane::GetSpheroidName,
                             Orvane::GetProjectionName, Orvane::GetUnitsName};
    const std::size_t which = data[0] % 6;
    const std::string text = AsText(data + 1, size - 1);  // stops at the first NUL, as a C text does
    if (which == 5) {
        Search(text);
        return 0;
    }
    const std::string name = queries[which](text.c_str());
    Require(which != 0 || !name.empty(), "the system always has a name, \"Unknown\" at least");
    return 0;
}
