// The view: every control shows the choice, nothing else.
#include <cmath>

#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

#include "chooser/ProjectionDlg.h"
#include "catalog/GeographicSummary.h"
#include "module/Messages.h"
#include "util/NumberText.h"

namespace {

int PositionOf(const std::vector<std::string>& entries, const std::string& text)
{
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i] == text)
            return static_cast<int>(i);
    return -1;
}

void ShowList(CComboBox& combo, const std::vector<std::string>& entries, int selected)
{
    combo.SetStrings(entries);
    combo.SetCurSel(selected);
}

}  // namespace

void CProjectionDlg::EnableControl(int id, bool enable)
{
    if (CWnd* control = GetDlgItem(id))
        control->EnableWindow(enable ? TRUE : FALSE);
}

void CProjectionDlg::ShowChoice()
{
    const ShownChoice& shown = m_choice.shown;
    const ControlStates states = StatesOf(m_choice);
    ShowList(m_cbSystemKind, {kGeographicKind, kProjectedKind}, shown.projected ? 1 : 0);
    ShowList(m_cbProjCategory, CategoryEntries(m_choice), shown.projected ? shown.category : 0);
    const std::vector<std::string> geographic = GeogEntries(m_choice);
    ShowList(m_cbGeogSystem, geographic, PositionOf(geographic, shown.geogName));
    ShowList(m_cbZone, ZoneEntries(m_choice), shown.zone);
    const std::vector<std::string> methods = MethodEntries(m_choice);
    ShowList(m_cbProjMethod, methods, PositionOf(methods, shown.methodName));
    ShowList(m_cbUnit, UnitEntries(m_choice), shown.unit);
    EnableControl(IDC_PROJ_CATEGORY, states.category);
    EnableControl(IDC_GEOG_SYSTEM, states.geogSystem);
    EnableControl(IDC_ADD_GEOG_SYSTEM, states.geogSystem);
    EnableControl(IDC_ZONE, states.zone);
    EnableControl(IDC_PROJ_METHOD, states.method);
    EnableControl(IDC_PARAMETERS, states.parameters);
    EnableControl(IDC_UNIT, states.unit);
    EnableControl(IDC_UNIT_FACTOR, states.unit);
    SetEditReadOnly(IDC_UNIT_FACTOR, !states.unitFactorEditable);
    // The factor as the choice holds it (what the user typed, as typed);
    // set only when it differs, so that the caret stays where the user types.
    if (auto* factor = qobject_cast<QLineEdit*>(FindControl(IDC_UNIT_FACTOR))) {
        const QString text = QString::fromStdString(shown.projected ? UnitFactorText(shown) : "1");
        if (factor->text() != text)
            factor->setText(text);
    }
    ShowParameters(states.parametersEditable);
    UpdateGeogSummary();
    UpdateSystemCodeLater();
}

void CProjectionDlg::ShowParameters(bool editable)
{
    const ChoiceParameters& parameters = m_choice.shown.parameters;
    const int rows = static_cast<int>(parameters.size());
    bool sameRows = m_lcParams.GetItemCount() == rows;
    for (int r = 0; sameRows && r < rows; ++r)
        sameRows = m_lcParams.GetItemText(r, 0) == parameters[static_cast<std::size_t>(r)].name;
    // The same rows keep the cell the user is on; others are listed anew.
    if (!sameRows) {
        m_lcParams.DeleteAllItems();
        for (int r = 0; r < rows; ++r)
            m_lcParams.InsertItem(r, parameters[static_cast<std::size_t>(r)].name);
    }
    auto* table = qobject_cast<QTableWidget*>(FindControl(IDC_PARAMETERS));
    const QString readOnly = editable ? QString() : QString::fromUtf8(MessageText(MessageId::ParametersReadOnly));
    std::string firstProblem;
    for (int r = 0; r < rows; ++r) {
        const ChoiceParameter& parameter = parameters[static_cast<std::size_t>(r)];
        const std::string text = ParameterText(parameter);
        if (m_lcParams.GetItemText(r, 1) != text)
            m_lcParams.SetItemText(r, 1, text);
        // Text that is no number is marked where it was typed, and the line
        // under the list says why, not first told of at OK.
        const std::string problem =
            std::isfinite(parameter.value) ? std::string()
            : IsDecimalCommaNumber(parameter.typed)
                ? MessageWith(MessageId::NotANumberDecimalComma, parameter.name)
                : MessageWith(MessageId::RefusedNotANumber, parameter.name);
        m_lcParams.SetCellProblem(r, 1, problem);
        if (firstProblem.empty())
            firstProblem = problem;
        // A value cut short by a narrow list shows whole in its tooltip.
        QString tip = QString::fromStdString(text);
        for (const QString& more : {QString::fromStdString(problem), readOnly})
            tip += more.isEmpty() ? QString() : "\n" + more;
        if (QTableWidgetItem* value = table ? table->item(r, 1) : nullptr)
            value->setToolTip(tip);
    }
    m_lcParams.SetReadOnly(!editable);
    if (table)
        table->setToolTip(readOnly);
    if (m_parameterProblem) {
        m_parameterProblem->setText(QString::fromStdString(firstProblem));
        m_parameterProblem->setVisible(!firstProblem.empty());
    }
}

void CProjectionDlg::UpdateGeogSummary()
{
    // A name the catalogue lacks, or an entry GDAL cannot read: the summary
    // stays as it was, and the map knows no area of it.
    const std::optional<GeographicSummary> summary = SummaryOfGeographic(m_choice);
    m_geogCode = summary ? summary->code : std::string();
    if (!summary)
        return;
    if (CWnd* box = GetDlgItem(IDC_GEOG_SUMMARY))
        box->SetWindowText(summary->text);
}
