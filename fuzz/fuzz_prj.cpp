// Importing a .prj file with arbitrary contents through the chooser's button.
#include "FuzzSupport.h"
#include "chooser/ProjectionDlg.h"
#include "support/ScriptedPrompts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CProjectionDlg& chooser = FuzzChooser();
    ForgetAddedSystems();
    const std::string path = ScratchFolder() + "/input.prj";
    WriteBytes(path, AsText(data, size));
    ScriptedPrompts prompts;
    prompts.AnswerFile(path);
    const std::string before = chooser.m_strWKT;
    chooser.OnBnClickedImport();
    Require(prompts.FileDialogs().size() == 1, "one file dialog");
    if (!prompts.Messages().empty() && prompts.Messages()[0].text != "Unknown spatial reference!")
        Require(chooser.m_strWKT == before, "a refused import changes nothing");
    Require(chooser.m_cbGeogSystem.GetCurSel() >= 0, "a geographic system is selected");
    chooser.BuildWKT();
    return 0;
}
