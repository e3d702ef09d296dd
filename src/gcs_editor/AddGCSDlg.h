// CAddGCSDlg: defines a new geographic coordinate system from datums,
// ellipsoids, prime meridians and angular units, and builds its WKT.
#pragma once

#include <map>
#include <string>

#include "catalog/Composition.h"
#include "catalog/ReferenceTables.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"

class CAddGCSDlg : public CDialog {
public:
    // The controls of the editor's templates.
    enum ControlId : int {
        IDC_NAME = 1036,
        IDC_DATUM = 1084,
        IDC_ELLIPSOID = 1067,
        IDC_SEMI_MAJOR = 1039,
        IDC_SEMI_MINOR = 1041,
        IDC_INV_FLATTENING = 1044,
        IDC_SEMI_MINOR_MODE = 1078,
        IDC_INV_FLATTENING_MODE = 1079,
        IDC_SHIFT_DX = 1070,  // the shift to WGS 84: metres
        IDC_SHIFT_DY = 1071,
        IDC_SHIFT_DZ = 1072,
        IDC_SHIFT_RX = 1073,  // arc-seconds
        IDC_SHIFT_RY = 1074,
        IDC_SHIFT_RZ = 1075,
        IDC_SHIFT_SCALE = 1077,  // parts per million
        IDC_ANGULAR_UNIT = 1085,
        IDC_RADIANS_PER_UNIT = 1086,
        IDC_PRIME_MERIDIAN = 1087,
        IDC_MERIDIAN_DEGREES = 1088,
        IDC_MERIDIAN_MINUTES = 1089,
        IDC_MERIDIAN_SECONDS = 1090,
    };

    explicit CAddGCSDlg(unsigned templateId, CWnd* parent = nullptr);
    ~CAddGCSDlg() override;

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;

    // The result, after IDOK.
    const std::string& GetSystemName() const { return m_strName; }
    // The systems the chooser lists: a name among them asks before it is
    // overwritten.
    void SetExistingSystems(const SystemCatalog* systems) { m_existing = systems; }
    const std::string& GetWKT() const { return m_strWKT; }

    // Fill their lists from the GDAL tables (custom entry first) and select
    // `position`; all but the datum list then run their selection handler.
    void LoadDatums(int position);
    void LoadEllipsoids(int position);
    void LoadAngularUnits(int position);
    void LoadPrimeMeridians(int position);

    // Selects the first ellipsoid with `code`; otherwise "<Custom>" and false.
    bool SelectEllipsoidByCode(int code);

    void OnSemiMinorMode();
    void OnInvFlatteningMode();
    void OnSelchangeDatum();
    void OnSelchangeEllipsoid();
    void OnSelchangeAngularUnit();
    void OnSelchangePrimeMeridian();
    void OnBnClickedOk();

    enum AxisMode { kSemiMinorGiven = 0, kInvFlatteningGiven = 1 };

    std::string m_strName;
    std::string m_strWKT;
    CComboBox m_cbDatum;
    std::map<int, DatumEntry> m_datums;
    CComboBox m_cbEllipsoid;
    std::map<int, EllipsoidEntry> m_ellipsoids;
    double m_semiMajorAxis = 1.0;
    double m_semiMinorAxis = 1.0;
    double m_invFlattening = 1.0;
    int m_axisMode = kSemiMinorGiven;
    // dx, dy, dz (metres), rx, ry, rz (arc-seconds), scale (ppm)
    double m_toWgs84[7] = {0, 0, 0, 0, 0, 0, 0};
    CComboBox m_cbAngularUnit;
    double m_radiansPerUnit = 1.0;
    std::map<int, RefEntry> m_angularUnits;
    CComboBox m_cbPrimeMeridian;
    int m_meridianDegrees = 0;
    int m_meridianMinutes = 0;
    float m_meridianSeconds = 0.0f;
    // West of Greenwich. Carries the sign of a meridian between -1 and 0
    // degrees, whose degrees field is 0: it is shown as "-0".
    bool m_meridianWest = false;
    std::map<int, RefEntry> m_primeMeridians;

private:
    void ApplyAxisMode();
    // Meridian offset of the three fields, in decimal degrees.
    double MeridianOffset() const;
    // The fields and lists read into one value.
    GeogDefinition ReadDefinition() const;
    const SystemCatalog* m_existing = nullptr;
};
