#include "gcs_editor/AddGCSDlg.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <iterator>

#include <QWidget>

#include "catalog/GeogCatalog.h"
#include "module/GdalSupport.h"
#include "module/Messages.h"
#include "module/Module.h"
#include "platform/DataExchange.h"
#include "platform/Prompt.h"
#include "util/NumberText.h"

namespace {

const int kShiftControls[7] = {CAddGCSDlg::IDC_SHIFT_DX, CAddGCSDlg::IDC_SHIFT_DY, CAddGCSDlg::IDC_SHIFT_DZ,
                               CAddGCSDlg::IDC_SHIFT_RX, CAddGCSDlg::IDC_SHIFT_RY, CAddGCSDlg::IDC_SHIFT_RZ,
                               CAddGCSDlg::IDC_SHIFT_SCALE};
const char kOverwriteCaption[] = "ProjDlg";

MessageId ProblemMessage(GeogProblem problem)
{
    switch (problem) {
    case GeogProblem::BadSemiMajorAxis: return MessageId::BadSemiMajorAxis;
    case GeogProblem::BadSemiMinorAxis: return MessageId::BadSemiMinorAxis;
    case GeogProblem::BadInverseFlattening: return MessageId::BadInverseFlattening;
    case GeogProblem::BadAngularUnit: return MessageId::BadAngularUnit;
    default: return MessageId::UnusableGeogSystem;
    }
}

int TruncatedToInt(double value)
{
    if (!(value > INT_MIN))
        return INT_MIN;
    if (!(value < INT_MAX))
        return INT_MAX;
    return static_cast<int>(value);
}

// The degrees of a prime meridian with the sign of the whole longitude, so
// that -0 (a meridian between -1 and 0 degrees) reads back as west.
void DDX_MeridianDegrees(CDataExchange* dx, int id, int& degrees, bool& west)
{
    if (dx->Failed())
        return;
    if (!dx->m_bSaveAndValidate) {
        CWnd control(dx->PrepareCtrl(id));
        control.SetWindowText(degrees == 0 && west ? "-0" : std::to_string(degrees));
        return;
    }
    DDX_Text(dx, id, degrees);
    if (dx->Failed())
        return;
    CWnd control(dx->PrepareCtrl(id));
    const std::string text = control.GetWindowText();
    const std::size_t first = text.find_first_not_of(" \t");
    west = first != std::string::npos && text[first] == '-';
}

// Fills `combo` and `entries` with the custom entry and the table's rows, and
// selects `position`. False when the table could not be read: then only the
// custom entry is listed and nothing is selected.
template <typename Entry>
bool FillList(CComboBox& combo, std::map<int, Entry>& entries, const Entry& custom,
              bool (*read)(const std::string&, std::vector<Entry>&),
              std::string (*shown)(const Entry&), int position)
{
    combo.ResetContent();
    entries[0] = custom;
    combo.AddString(kCustomEntryText);
    std::vector<Entry> rows;
    if (!read(GetGdalDataFolder(), rows))
        return false;
    int next = 0;
    for (Entry& row : rows) {
        combo.AddString(shown(row));
        entries[++next] = std::move(row);
    }
    combo.SetCurSel(position);
    return true;
}

template <typename Entry>
std::string EntryName(const Entry& e)
{
    return e.name;
}

std::string DatumShownName(const DatumEntry& d)
{
    return d.esri_datum_name;
}

// The entry at the list's selected position, or null.
template <typename Entry>
const Entry* Selected(const CComboBox& combo, const std::map<int, Entry>& entries)
{
    auto it = entries.find(combo.GetCurSel());
    return it == entries.end() ? nullptr : &it->second;
}

}  // namespace

CAddGCSDlg::CAddGCSDlg(unsigned templateId, CWnd* parent) : CDialog(templateId, parent)
{
    OnClicked(IDOK, [this] { OnBnClickedOk(); });
    OnClicked(IDC_SEMI_MINOR_MODE, [this] { OnSemiMinorMode(); });
    OnClicked(IDC_INV_FLATTENING_MODE, [this] { OnInvFlatteningMode(); });
    OnSelChange(IDC_DATUM, [this] { OnSelchangeDatum(); });
    OnSelChange(IDC_ELLIPSOID, [this] { OnSelchangeEllipsoid(); });
    OnSelChange(IDC_ANGULAR_UNIT, [this] { OnSelchangeAngularUnit(); });
    OnSelChange(IDC_PRIME_MERIDIAN, [this] { OnSelchangePrimeMeridian(); });
}

CAddGCSDlg::~CAddGCSDlg() = default;

void CAddGCSDlg::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_DATUM, m_cbDatum);
    DDX_Control(dx, IDC_ELLIPSOID, m_cbEllipsoid);
    DDX_Control(dx, IDC_ANGULAR_UNIT, m_cbAngularUnit);
    DDX_Control(dx, IDC_PRIME_MERIDIAN, m_cbPrimeMeridian);
    DDX_Text(dx, IDC_NAME, m_strName);
    DDX_Text(dx, IDC_SEMI_MAJOR, m_semiMajorAxis);
    DDX_Text(dx, IDC_SEMI_MINOR, m_semiMinorAxis);
    DDX_Text(dx, IDC_INV_FLATTENING, m_invFlattening);
    DDX_Radio(dx, IDC_SEMI_MINOR_MODE, m_axisMode);
    for (int i = 0; i < 7; ++i)
        DDX_Text(dx, kShiftControls[i], m_toWgs84[i]);
    DDX_Text(dx, IDC_RADIANS_PER_UNIT, m_radiansPerUnit);
    DDX_MeridianDegrees(dx, IDC_MERIDIAN_DEGREES, m_meridianDegrees, m_meridianWest);
    DDV_MinMaxInt(dx, m_meridianDegrees, -180, 180);
    DDX_Text(dx, IDC_MERIDIAN_MINUTES, m_meridianMinutes);
    DDV_MinMaxInt(dx, m_meridianMinutes, 0, 60);
    DDX_Text(dx, IDC_MERIDIAN_SECONDS, m_meridianSeconds);
    DDV_MinMaxInt(dx, TruncatedToInt(m_meridianSeconds), 0, 60);
}

BOOL CAddGCSDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_axisMode = kSemiMinorGiven;
    SetEditReadOnly(IDC_INV_FLATTENING, true);
    // Tab goes down the translations, then down the rotations, as the
    // columns read, not across each row.
    const int shifts[] = {IDC_SHIFT_DX, IDC_SHIFT_DY, IDC_SHIFT_DZ, IDC_SHIFT_RX,
                          IDC_SHIFT_RY, IDC_SHIFT_RZ, IDC_SHIFT_SCALE};
    for (std::size_t i = 0; i + 1 < std::size(shifts); ++i) {
        QWidget* first = FindControl(shifts[i]);
        QWidget* second = FindControl(shifts[i + 1]);
        if (first && second)
            QWidget::setTabOrder(first, second);
    }
    LoadDatums(0);
    LoadEllipsoids(0);
    LoadAngularUnits(0);
    LoadPrimeMeridians(0);
    return TRUE;
}

void CAddGCSDlg::LoadDatums(int position)
{
    FillList(m_cbDatum, m_datums, CustomDatum(), ReadDatums, DatumShownName, position);
}

void CAddGCSDlg::LoadEllipsoids(int position)
{
    if (FillList(m_cbEllipsoid, m_ellipsoids, CustomEllipsoid(), ReadEllipsoids,
                 EntryName<EllipsoidEntry>, position))
        OnSelchangeEllipsoid();
}

void CAddGCSDlg::LoadAngularUnits(int position)
{
    if (FillList(m_cbAngularUnit, m_angularUnits, CustomAngularUnit(), ReadAngularUnits,
                 EntryName<RefEntry>, position))
        OnSelchangeAngularUnit();
}

void CAddGCSDlg::LoadPrimeMeridians(int position)
{
    if (FillList(m_cbPrimeMeridian, m_primeMeridians, CustomPrimeMeridian(), ReadPrimeMeridians,
                 EntryName<RefEntry>, position))
        OnSelchangePrimeMeridian();
}

void CAddGCSDlg::OnSemiMinorMode()
{
    SetEditReadOnly(IDC_SEMI_MINOR, false);
    SetEditReadOnly(IDC_INV_FLATTENING, true);
    m_axisMode = kSemiMinorGiven;
}

void CAddGCSDlg::OnInvFlatteningMode()
{
    SetEditReadOnly(IDC_SEMI_MINOR, true);
    SetEditReadOnly(IDC_INV_FLATTENING, false);
    m_axisMode = kInvFlatteningGiven;
}

void CAddGCSDlg::ApplyAxisMode()
{
    if (m_axisMode == kSemiMinorGiven)
        OnSemiMinorMode();
    else
        OnInvFlatteningMode();
}

void CAddGCSDlg::OnSelchangeEllipsoid()
{
    UpdateData(TRUE);
    if (const EllipsoidEntry* e = Selected(m_cbEllipsoid, m_ellipsoids)) {
        // The table gives one of the two; the other is shown worked out
        // from it, never as 0 (Bessel 1841's semi-minor axis).
        m_semiMajorAxis = e->semi_major_axis;
        m_semiMinorAxis = SemiMinorAxisOf(*e);
        m_invFlattening = InverseFlatteningOf(*e);
        if (e->semi_minor_axis > 0)
            OnSemiMinorMode();
        if (e->inv_flattening > 0)
            OnInvFlatteningMode();
    }
    UpdateData(FALSE);
}

void CAddGCSDlg::OnSelchangeAngularUnit()
{
    UpdateData(TRUE);
    if (const RefEntry* unit = Selected(m_cbAngularUnit, m_angularUnits)) {
        m_radiansPerUnit = unit->value;
        SetEditReadOnly(IDC_RADIANS_PER_UNIT, m_cbAngularUnit.GetCurSel() != 0);
    }
    UpdateData(FALSE);
}

void CAddGCSDlg::OnSelchangePrimeMeridian()
{
    UpdateData(TRUE);
    if (const RefEntry* meridian = Selected(m_cbPrimeMeridian, m_primeMeridians)) {
        const double v = meridian->value;
        const double degrees = std::trunc(v);
        const double r = (v - degrees) * 60.0;
        const double minutes = std::trunc(r);
        m_meridianDegrees = TruncatedToInt(degrees);
        m_meridianMinutes = std::abs(TruncatedToInt(minutes));
        m_meridianSeconds = std::fabs(static_cast<float>((r - minutes) * 60.0));
        m_meridianWest = v < 0;
        const bool readOnly = m_cbPrimeMeridian.GetCurSel() != 0;
        for (int id : {IDC_MERIDIAN_DEGREES, IDC_MERIDIAN_MINUTES, IDC_MERIDIAN_SECONDS})
            SetEditReadOnly(id, readOnly);
    }
    UpdateData(FALSE);
}

bool CAddGCSDlg::SelectEllipsoidByCode(int code)
{
    for (const auto& [position, entry] : m_ellipsoids) {
        if (entry.code == code) {
            m_cbEllipsoid.SetCurSel(position);
            OnSelchangeEllipsoid();
            m_cbEllipsoid.EnableWindow(FALSE);
            return true;
        }
    }
    m_cbEllipsoid.SetCurSel(0);
    m_cbEllipsoid.EnableWindow(TRUE);
    return false;
}

void CAddGCSDlg::OnSelchangeDatum()
{
    UpdateData(TRUE);
    const DatumEntry* datum = Selected(m_cbDatum, m_datums);
    if (!datum)
        return;
    const bool fromTable =
        SelectEllipsoidByCode(datum->ellipsoid_code) && m_cbDatum.GetCurSel() > 0;
    if (fromTable) {
        for (int id : {IDC_SEMI_MAJOR, IDC_SEMI_MINOR, IDC_INV_FLATTENING})
            SetEditReadOnly(id, true);
    } else {
        m_cbEllipsoid.EnableWindow(TRUE);
        SetEditReadOnly(IDC_SEMI_MAJOR, false);
        // Of the two shape fields, the one the axis mode uses is editable.
        ApplyAxisMode();
    }
    for (int id : {IDC_SEMI_MINOR_MODE, IDC_INV_FLATTENING_MODE}) {
        if (CWnd* radio = GetDlgItem(id))
            radio->EnableWindow(fromTable ? FALSE : TRUE);
    }
    // A table datum's shift is its row's (none): nothing typed there would
    // be written.
    if (m_cbDatum.GetCurSel() > 0)
        std::fill(std::begin(m_toWgs84), std::end(m_toWgs84), 0.0);
    for (int id : kShiftControls)
        SetEditReadOnly(id, m_cbDatum.GetCurSel() > 0);
    UpdateData(FALSE);
}

GeogDefinition CAddGCSDlg::ReadDefinition() const
{
    GeogDefinition d;
    d.name = m_strName;
    d.datumName = m_cbDatum.GetWindowText();
    d.ellipsoidName = m_cbEllipsoid.GetWindowText();
    d.semiMajorAxis = m_semiMajorAxis;
    d.semiMinorGiven = m_axisMode == kSemiMinorGiven;
    d.semiMinorAxis = m_semiMinorAxis;
    d.inverseFlattening = m_invFlattening;
    // A datum of the table has the shift its row holds, and the rows hold
    // none: zeros would tell GDAL that the datum is WGS 84. A custom datum
    // has what the user typed.
    d.hasShift = m_cbDatum.GetCurSel() <= 0;
    std::copy(std::begin(m_toWgs84), std::end(m_toWgs84), std::begin(d.toWgs84));
    d.primeMeridianName = m_cbPrimeMeridian.GetWindowText();
    d.primeMeridianOffset = MeridianOffset();
    d.angularUnitName = m_cbAngularUnit.GetWindowText();
    d.radiansPerUnit = m_radiansPerUnit;
    return d;
}

double CAddGCSDlg::MeridianOffset() const
{
    const double offset = std::abs(m_meridianDegrees) + m_meridianMinutes / 60.0 +
                          static_cast<double>(m_meridianSeconds) / 3600.0;
    return m_meridianDegrees < 0 || m_meridianWest ? -offset : offset;
}

void CAddGCSDlg::OnBnClickedOk()
{
    if (!UpdateData(TRUE))
        return;
    if (m_strName.empty()) {
        AfxMessageBox(MessageText(MessageId::EmptyGeogSystemName));
        return;
    }
    if (m_existing && m_existing->count(m_strName) &&
        MessageBox(MessageText(MessageId::GeogSystemExists), kOverwriteCaption,
                   MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;

    const ComposedGeog composed = ComposeGeogSystem(ReadDefinition());
    if (composed.wkt.empty()) {
        AfxMessageBox(MessageText(ProblemMessage(composed.problem)), MB_ICONEXCLAMATION | MB_OK);
        return;
    }
    m_strWKT = composed.wkt;
    CDialog::OnOK();
}
