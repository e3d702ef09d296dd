// CProjectionDlg: the chooser. Shows a spatial reference as a choice of
// kind, category, geographic system, zone, method, parameters and unit, and
// composes the choice back into WKT on OK.
#pragma once

#include <string>
#include <vector>

#include <QPointer>
#include <ogr_srs_api.h>

#include "catalog/Composition.h"
#include "catalog/GeogCatalog.h"
#include "catalog/ProjectionMethods.h"
#include "catalog/ReferenceTables.h"
#include "controls/EditListCtrl.h"
#include "module/GdalSupport.h"
#include "platform/Controls.h"
#include "platform/Dialog.h"

// The chooser's controls.
enum ChooserControl : int {
    IDC_SYSTEM_KIND = 1093,
    IDC_PROJ_CATEGORY = 1062,
    IDC_GEOG_SYSTEM = 1059,
    IDC_PROJ_METHOD = 1055,
    IDC_ZONE = 1058,
    IDC_UNIT = 1061,
    IDC_PARAMETERS = 1091,
    IDC_UNIT_FACTOR = 1092,
    IDC_GEOG_SUMMARY = 1081,
    IDC_ADD_GEOG_SYSTEM = 1060,
    IDC_IMPORT = 1056,
    IDC_SAVE_PRJ = 1057,
    IDC_SEARCH = 1094,
    IDC_SYSTEM_CODE = 1095,
};

extern const char kGeographicKind[];  // "Geographic Coordinate System"
extern const char kProjectedKind[];   // "Projected Coordinate System"

class QTimer;
class SearchPopup;

class CProjectionDlg : public CDialog {
public:
    explicit CProjectionDlg(unsigned templateId, CWnd* parent = nullptr);
    ~CProjectionDlg() override;

    enum SystemKind : int { kGeographic = 1, kProjected = 2 };

    // ---- model and helpers ----
    void DoDataExchange(CDataExchange* dx) override;
    void LoadProjectionMethods();
    // Selects the first entry whose text is exactly `text`; no match keeps
    // the selection.
    static void SelectComboString(CComboBox& combo, const std::string& text);
    bool IsProjectionSupported(const std::string& name) const;
    static bool IsValidWKT(const std::string& text);
    void OnSelchangeUnit();
    void ShowUnknownSrsMessage();
    static std::string GetGdalDataFolder();

    // ---- selection cascade ----
    void OnSelchangeSystemKind();
    void OnSelchangeProjCategory();
    void FillProjCategoryCombo(bool geographic);
    void FillGeogSystemCombo(const std::string& category);
    void FillProjMethodCombo(const std::string& category);
    void FillUnitCombo(const std::string& category);

    // ---- zones ----
    void InitProjCategories();
    void LoadBeijing1954Systems();
    void LoadXian1980Systems();
    void FillZoneCombo(const std::string& category, double centralMeridian, bool north);
    void ApplyUtmZone(int position);
    void ApplyGaussKruegerZone(const std::string& zoneWkt);
    void OnSelchangeZone();

    // ---- parameters and composition ----
    void OnSelchangeProjMethod();
    void ReadParametersFromList();
    // Gives `parameters` (in name order, as the list shows them) the list's values.
    void TakeListedValues(std::map<std::string, double>& parameters) const;
    bool SelectProjectionFromSrs(OGRSpatialReferenceH srs);
    // The controls read into one value (the list's values first, kept for
    // the method as composing keeps them).
    SystemChoice ReadChoice();
    // The same, keeping nothing: edits stay the list's until composed.
    SystemChoice CurrentChoice() const;
    bool ComposeProjectedSystem(OsrHandle& srs);
    bool BuildWKT();

    // ---- geographic side and units ----
    void LoadGeographicSystems();
    void LoadLengthUnits();
    void OnSelchangeGeogSystem();
    void UpdateGeogSummary();
    void OnBnClickedAddGeogSystem();
    bool SelectLinearUnit(const std::string& name, double metresPerUnit);
    void AddGeogSystemIfMissing(const std::string& name, OGRSpatialReferenceH srs);

    // ---- import and export ----
    void OnBnClickedImport();
    void OnBnClickedSavePrj();
    // The projection WKT of a raster, empty when it has none.
    std::string ReadRasterProjection(const std::string& path);

    // ---- search, codes and recent systems ----
    void SetUpSearch();
    // Opens the chooser on `wkt`, as an import does.
    void RestoreSystem(const std::string& wkt);
    // The EPSG code the current projected choice is exactly, empty when none.
    std::string CurrentSystemCode() const;
    void UpdateSystemCode();
    // Whether codes may be identified without waiting for EPSG's systems to
    // be read (the search reads them off the UI thread).
    bool CodesReady() const;
    void RememberChoice();
    SearchPopup* GetSearch() const;

    // ---- initialisation, restore, OK and Cancel ----
    BOOL OnInitDialog() override;
    void InitSelectionFromWKT();
    void FillSystemKindCombo(bool geographic);
    void OnBnClickedOk();
    void OnBnClickedCancel();

    std::string m_strWKT;
    // The system the chooser was last restored from (handed in or imported):
    // what an unchanged choice gives back. Empty for none.
    std::string m_strRestoredWKT;
    bool m_bUseInputSrs = false;
    bool m_bGdalRegistered = false;
    std::vector<std::string> m_projCategories;
    std::vector<ProjectionMethod> m_projMethods;
    std::vector<RefEntry> m_units;
    SystemCatalog m_beijing1954Systems;
    SystemCatalog m_xian1980Systems;
    int m_nSystemKind = kGeographic;
    CComboBox m_cbSystemKind;
    CComboBox m_cbProjCategory;
    CComboBox m_cbGeogSystem;
    CComboBox m_cbProjMethod;
    CComboBox m_cbZone;
    CComboBox m_cbUnit;
    double m_latitudeOfOrigin = 0.0;
    double m_centralMeridian = 0.0;
    double m_falseNorthing = 0.0;
    double m_falseEasting = 0.0;
    double m_scaleFactor = 1.0;
    CEditListCtrl m_lcParams;
    double m_unitFactor = 1.0;

private:
    // Owned by the dialog's window: gone with it.
    QPointer<SearchPopup> m_search;
    QPointer<QTimer> m_codeTimer;
    void EnableControl(int id, bool enable);
    void WriteZoneParameters(int methodPosition);
};
