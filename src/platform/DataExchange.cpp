#include "platform/DataExchange.h"

#include <QRadioButton>
#include <QVariant>
#include <algorithm>
#include <cfloat>
#include <vector>

#include "platform/Wnd.h"
#include "util/NumberText.h"
#include "platform/Prompt.h"

namespace {

const char kEnterNumber[] = "Please enter a number.";
const char kEnterInteger[] = "Please enter an integer.";

// The text of control `id`, or false when the exchange has ended or the
// control is missing.
bool ControlText(CDataExchange* dx, int id, CWnd& control)
{
    if (dx->Failed())
        return false;
    QWidget* widget = dx->PrepareCtrl(id);
    if (!widget)
        return false;
    control.Attach(widget);
    return true;
}

template <typename Number, typename Parse>
void ExchangeNumber(CDataExchange* dx, int id, Number& value, const char* invalidMessage,
                    Parse parse, std::string (*format)(Number))
{
    CWnd control;
    if (!ControlText(dx, id, control))
        return;
    if (!dx->m_bSaveAndValidate) {
        control.SetWindowText(format(value));
        return;
    }
    Number parsed{};
    if (!parse(control.GetWindowText(), parsed)) {
        dx->Fail(invalidMessage);
        return;
    }
    value = parsed;
}

std::string FormatDouble(double v)
{
    return FormatGeneral(v, DBL_DIG);
}

std::string FormatFloat(float v)
{
    return FormatGeneral(v, FLT_DIG);
}

std::string FormatInt(int v)
{
    return std::to_string(v);
}

bool ParseFloat(const std::string& text, float& value)
{
    double d = 0;
    if (!ParseWholeDouble(text, d) || d > FLT_MAX || d < -FLT_MAX)
        return false;
    value = static_cast<float>(d);
    return true;
}

}  // namespace

QWidget* CDataExchange::PrepareCtrl(int id)
{
    m_lastControlId = id;
    return m_pDlgWnd ? m_pDlgWnd->FindControl(id) : nullptr;
}

void CDataExchange::Fail(const std::string& message)
{
    if (m_failed)
        return;
    m_failed = true;
    QWidget* control = m_pDlgWnd ? m_pDlgWnd->FindControl(m_lastControlId) : nullptr;
    if (m_bSaveAndValidate)
        ShowMessagePrompt(m_pDlgWnd ? m_pDlgWnd->GetWidget() : nullptr, message,
                          ApplicationTitle(), MB_OK | MB_ICONEXCLAMATION);
    if (control)
        control->setFocus();
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (dx->Failed() || control.GetWidget())
        return;
    if (QWidget* widget = dx->PrepareCtrl(id))
        control.Attach(widget);
}

void DDX_Text(CDataExchange* dx, int id, double& value)
{
    ExchangeNumber<double>(dx, id, value, kEnterNumber, ParseWholeDouble, FormatDouble);
}

void DDX_Text(CDataExchange* dx, int id, float& value)
{
    ExchangeNumber<float>(dx, id, value, kEnterNumber, ParseFloat, FormatFloat);
}

void DDX_Text(CDataExchange* dx, int id, int& value)
{
    ExchangeNumber<int>(dx, id, value, kEnterInteger, ParseWholeInt, FormatInt);
}

void DDX_Text(CDataExchange* dx, int id, std::string& value)
{
    CWnd control;
    if (!ControlText(dx, id, control))
        return;
    if (dx->m_bSaveAndValidate)
        value = control.GetWindowText();
    else
        control.SetWindowText(value);
}

void DDX_Radio(CDataExchange* dx, int firstId, int& value)
{
    if (dx->Failed())
        return;
    QWidget* first = dx->PrepareCtrl(firstId);
    if (!first || !first->parentWidget())
        return;
    std::vector<QRadioButton*> group;
    for (QRadioButton* b : first->parentWidget()->findChildren<QRadioButton*>(
             QString(), Qt::FindDirectChildrenOnly)) {
        if (b->property(kControlIdProperty).toInt() >= firstId)
            group.push_back(b);
    }
    std::sort(group.begin(), group.end(), [](QRadioButton* a, QRadioButton* b) {
        return a->property(kControlIdProperty).toInt() < b->property(kControlIdProperty).toInt();
    });
    if (dx->m_bSaveAndValidate) {
        value = -1;
        for (std::size_t i = 0; i < group.size(); ++i)
            if (group[i]->isChecked())
                value = static_cast<int>(i);
        return;
    }
    for (std::size_t i = 0; i < group.size(); ++i) {
        // Auto-exclusive buttons cannot all be unchecked by setChecked(false).
        group[i]->setAutoExclusive(false);
        group[i]->setChecked(static_cast<int>(i) == value);
        group[i]->setAutoExclusive(true);
    }
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue)
{
    if (dx->Failed() || !dx->m_bSaveAndValidate)
        return;
    if (value < minValue || value > maxValue)
        dx->Fail("Please enter an integer between " + std::to_string(minValue) + " and " +
                 std::to_string(maxValue) + ".");
}
