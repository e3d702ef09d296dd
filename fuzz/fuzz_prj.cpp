// Importing a .prj file with arbitrary contents through the chooser's button.
#include "FuzzSupport.h"
#include "chooser/ProjectionDlg.h"
#include "support/ScriptedPrompts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CProjectionDlg& chooser = FuzzChooser();
    const std::string path = ScratchFolder() + "/input.prj";
    WriteBytes(path, AsText(data, size));
    ScriptedPrompts prompts;
    prompts.AnswerFile(path);
    const ShownChoice before = chooser.GetChoice().shown;
    chooser.DispatchCommand(IDC_IMPORT);
    Require(prompts.FileDialogs().size() == 1, "one file dialog");
    if (!prompts.Messages().empty() && prompts.Messages()[0].text != "Unknown spatial reference!")
        Require(chooser.GetChoice().shown == before, "a refused import changes nothing");
    Require(!chooser.GetChoice().shown.geogName.empty(), "a geographic system is chosen");
    const ComposedSystem composed = chooser.ComposeChoice();
    Require(composed.wkt.empty() != (composed.problem == CompositionProblem::None), "a result or a reason");
    return 0;
}
