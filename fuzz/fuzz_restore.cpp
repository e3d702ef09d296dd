// The chooser's restore on arbitrary WKT: it always ends on a valid selection,
// and composing that selection succeeds or reports false.
#include "FuzzSupport.h"
#include "chooser/ProjectionDlg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CProjectionDlg& chooser = FuzzChooser();
    ForgetAddedSystems();
    chooser.m_strWKT = AsText(data, size).c_str();
    chooser.m_bUseInputSrs = true;
    chooser.InitSelectionFromWKT();

    const int kind = chooser.m_cbSystemKind.GetCurSel();
    Require(kind == 0 || kind == 1, "a system kind is selected");
    Require(chooser.m_nSystemKind == kind + 1, "the kind member follows the list");
    Require(chooser.m_cbGeogSystem.GetCurSel() >= 0, "a geographic system is selected");
    if (kind == 1) {
        Require(chooser.m_cbProjCategory.GetCurSel() >= 0, "a category is selected");
        Require(chooser.m_cbProjMethod.GetCurSel() >= 0, "a method is selected");
        Require(chooser.m_cbUnit.GetCurSel() >= 0, "a unit is selected");
    }
    const std::string before = chooser.m_strWKT;
    if (!chooser.BuildWKT())
        Require(chooser.m_strWKT == before, "a failed composition leaves the WKT alone");
    else
        Require(!chooser.m_strWKT.empty(), "a composed system has a text");
    return 0;
}
