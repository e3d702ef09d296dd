// The chooser's model holding arbitrary text: it always ends on a choice the
// lists can show, and composing that choice gives a system or says why not.
#include "FuzzSupport.h"
#include <algorithm>

#include "catalog/Composition.h"
#include "catalog/SystemReading.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SystemChoice choice = NewChoice(FuzzCatalogues());
    HoldSystem(choice, AsText(data, size));
    const ShownChoice& shown = choice.shown;
    Require(choice.catalogues.geographic.count(shown.geogName) == 1, "a listed geographic system is chosen");
    if (shown.projected) {
        Require(shown.category >= 0 && static_cast<std::size_t>(shown.category) < CategoryEntries(choice).size(),
                "a listed category is chosen");
        const std::vector<std::string> methods = MethodEntries(choice);
        Require(std::find(methods.begin(), methods.end(), shown.methodName) != methods.end(),
                "a listed method is chosen");
        Require(shown.unit >= 0 && static_cast<std::size_t>(shown.unit) < UnitEntries(choice).size(),
                "a listed unit is chosen");
    }
    const ComposedSystem composed = ComposeSystem(choice, nullptr);
    Require(composed.wkt.empty() != (composed.problem == CompositionProblem::None), "a result or a reason");
    if (!choice.held.system.Text().empty() && IsUnchanged(choice))
        Require(composed.wkt == choice.held.system.Text(), "what is held unchanged comes back as given");
    return 0;
}
