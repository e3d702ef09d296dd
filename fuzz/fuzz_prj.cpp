// Importing a .prj file with arbitrary contents through the chooser's button.
#include <memory>

#include "FuzzSupport.h"
#include "chooser/ProjectionDlg.h"
#include "module/Language.h"
#include "platform/Prompt.h"

namespace {

std::unique_ptr<CProjectionDlg> MakeChooser()
{
    SetUpChooserWorld();
    g_language = LANGUAGE_ENGLISH;
    auto chooser = std::make_unique<CProjectionDlg>(ChooserTemplateId());
    chooser->Create();
    return chooser;
}

// The catalogue as the chooser loaded it, before any input added to it.
const SystemCatalog& LoadedCatalogue()
{
    static const SystemCatalog catalogue = g_geogSystems;
    return catalogue;
}

// Made after the application, so that it goes before it at exit.
CProjectionDlg& Chooser()
{
    static std::unique_ptr<CProjectionDlg> chooser = MakeChooser();
    LoadedCatalogue();
    return *chooser;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CProjectionDlg& chooser = Chooser();
    g_geogSystems = LoadedCatalogue();  // forget what the last input added
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
