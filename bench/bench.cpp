// Speed and memory of the chooser, the name queries and the catalogue store.
//   bench [--short] [Google Benchmark flags]
// Ends with one line per target: <figure> <measured> <target> ok|miss.
// --short runs every benchmark a few times, to keep them building and running
// in CI; its figures are not judged.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeView>
#include <QStandardItemModel>
#include <QSortFilterProxyModel>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QWindow>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <unistd.h>

#include <ogr_spatialref.h>

#include "BenchSupport.h"
#include "catalog/GeogCatalog.h"
#include "catalog/Identification.h"
#include "catalog/PredefinedSystems.h"
#include "chooser/ProjectionDlg.h"
#include "interface/Orvane.h"
#include "module/GdalSupport.h"
#include "module/Language.h"
#include "module/Module.h"
#include "module/ProjSupport.h"
#include "search/Cities.h"
#include "search/Matching.h"
#include "search/RecentSystems.h"
#include "search/SearchCandidates.h"
#include "support/SearchCorpus.h"
#include "search_ui/SearchPopup.h"
#include "support/TestSupport.h"

#include <QLineEdit>
#include <QTest>
#include "map/AreaMap.h"
#include <future>

namespace {

std::string g_bundled;  // module folders
std::string g_large;

std::string ProjectedWkt(int epsg = 32650)
{
    OsrHandle srs(OSRNewSpatialReference(nullptr));
    OSRImportFromEPSG(srs.get(), epsg);
    return ExportToWkt(srs.get());
}

std::unique_ptr<CProjectionDlg> OpenChooser(const std::string& wkt)
{
    auto dialog = std::make_unique<CProjectionDlg>(ChooserTemplateId());
    dialog->SetInput(wkt);
    dialog->Create();
    // The first frame: layout and painting of the whole window.
    QApplication::processEvents();
    return dialog;
}

// A user's choice in a list: the selection, its handler, the repaint.
void Pick(CProjectionDlg& dialog, int id, int index)
{
    qobject_cast<QComboBox*>(dialog.FindControl(id))->setCurrentIndex(index);
    dialog.DispatchSelChange(id);
    QApplication::processEvents();
}

// A held system whose method the list lacks (Equal Earth, as WKT2).
std::string UnlistedMethodWkt()
{
    OsrHandle srs(OSRNewSpatialReference(nullptr));
    OSRImportFromEPSG(srs.get(), 8857);
    char* text = nullptr;
    const char* options[] = {"FORMAT=WKT2_2019", nullptr};
    OSRExportToWktEx(srs.get(), &text, options);
    const GdalTextHandle owned(text);
    return text ? text : "";
}

void BM_Open(benchmark::State& state, const std::string& folder, const std::string& wkt)
{
    RestartModuleInFolder(folder);
    for (auto _ : state) {
        auto dialog = OpenChooser(wkt);
        state.PauseTiming();
        dialog.reset();
        state.ResumeTiming();
    }
}

// An action that alternates between two states, both measured.
void BM_Toggle(benchmark::State& state, const std::string& folder,
               const std::function<void(CProjectionDlg&)>& prepare,
               const std::function<void(CProjectionDlg&, bool)>& act)
{
    RestartModuleInFolder(folder);
    auto dialog = OpenChooser("");
    prepare(*dialog);
    bool flip = false;
    for (auto _ : state) {
        act(*dialog, flip);
        flip = !flip;
    }
}

void ToProjected(CProjectionDlg& d)
{
    Pick(d, IDC_SYSTEM_KIND, 1);
}

void ToUtm(CProjectionDlg& d)
{
    ToProjected(d);
    Pick(d, IDC_PROJ_CATEGORY, kUtmCategoryPosition);
}

// Switching to category `c` from another one (the way back is not measured).
void BM_Category(benchmark::State& state, const std::string& folder, int c)
{
    RestartModuleInFolder(folder);
    auto dialog = OpenChooser("");
    ToProjected(*dialog);
    const int other = c == kCustomCategoryPosition ? kUtmCategoryPosition : kCustomCategoryPosition;
    for (auto _ : state) {
        state.PauseTiming();
        Pick(*dialog, IDC_PROJ_CATEGORY, other);
        state.ResumeTiming();
        Pick(*dialog, IDC_PROJ_CATEGORY, c);
    }
}

void BM_BuildWkt(benchmark::State& state, int category)
{
    RestartModuleInFolder(g_bundled);
    auto dialog = OpenChooser("");
    if (category >= 0) {
        ToProjected(*dialog);
        Pick(*dialog, IDC_PROJ_CATEGORY, category);
    }
    // OK after the code line has identified the choice, as it has by the
    // time a user reaches the button.
    dialog->ComposeChoice();
    for (auto _ : state)
        benchmark::DoNotOptimize(dialog->ComposeChoice());
}

// OK pressed before the code line has identified the choice: composing and
// identifying a system never seen (each round another false easting).
void BM_OkUnidentified(benchmark::State& state)
{
    RestartModuleInFolder(g_bundled);
    SystemChoice choice = NewChoice(LoadChoiceCatalogues(GetGdalDataFolder()));
    ChooseKind(choice, true);
    ChooseCategory(choice, kUtmCategoryPosition);
    const auto identify = [](const std::string& wkt) {
        const OsrHandle srs = NewSpatialReference(wkt);
        return srs ? ExactEpsgCode(srs.get()) : std::string();
    };
    int round = 0;
    for (auto _ : state) {
        EditParameter(choice, 1, std::to_string(400000 + ++round));
        benchmark::DoNotOptimize(ComposeSystem(choice, identify));
    }
}

using Query = std::string (*)(const char*);
using DirectQuery = std::function<std::string(OGRSpatialReference&)>;

// A name query against the same work done with GDAL directly, in batches run
// one after the other, so that both see the same machine; the fastest batch
// of each stands for it (the least disturbed by anything else running). The
// texts alternate, so that Orvane parses each query anew, as for a host that
// asks one name of many systems.
void BM_QueryRatio(benchmark::State& state, Query query, const DirectQuery& read)
{
    using Clock = std::chrono::steady_clock;
    const std::string texts[2] = {ProjectedWkt(32650), ProjectedWkt(32651)};
    const int batch = 50;
    double fastestOrvane = 1e300, fastestGdal = 1e300;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (int i = 0; i < batch; ++i)
            benchmark::DoNotOptimize(query(texts[i % 2].c_str()));
        const auto t1 = Clock::now();
        for (int i = 0; i < batch; ++i) {
            OGRSpatialReference srs;
            std::string result;
            if (srs.SetFromUserInput(texts[i % 2].c_str()) == OGRERR_NONE)
                result = read(srs);
            benchmark::DoNotOptimize(result);
        }
        const auto t2 = Clock::now();
        fastestOrvane = std::min(fastestOrvane, std::chrono::duration<double, std::micro>(t1 - t0).count() / batch);
        fastestGdal = std::min(fastestGdal, std::chrono::duration<double, std::micro>(t2 - t1).count() / batch);
    }
    state.counters["orvane_us"] = fastestOrvane;
    state.counters["gdal_us"] = fastestGdal;
    state.counters["ratio"] = fastestOrvane / fastestGdal;
    // What Orvane adds to GDAL's own work: the same whatever GDAL does (a
    // units query lets GDAL skip building the system, so a ratio says little).
    state.counters["extra_us"] = fastestOrvane - fastestGdal;
}

void BM_Store(benchmark::State& state)
{
    // A user who has defined 10,000 systems of their own.
    TempDir dir("orvane bench store");
    RestartModuleInFolder(dir.Path());
    setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
    std::filesystem::create_directories(dir / "orvane");
    WriteLargeCatalogue(g_bundled + "/CoordSys.dat", dir / "orvane/CoordSys.dat", 10000, 0);
    const std::string wkt = kWgs84DefaultWkt;
    int i = 0;
    for (auto _ : state)
        StoreGeogSystem("Stored system " + std::to_string(i++ % 8), wkt);
}

// The first keystroke of a fresh process, typed as the chooser opens: PROJ's
// database opened and read by a thread of its own (as the chooser's loader
// runs), the catalogues read, every candidate matched. Run in a child
// process each time: in this one PROJ and the catalogues are warm. The
// database was found usable before (DoModal asks before the dialog opens).
double FirstKeystrokeInThisProcess()
{
    if (!ProjDatabaseProblem().empty())
        return NAN;
    const auto start = std::chrono::steady_clock::now();
    auto found = std::async(std::launch::async, [] {
        const SearchCandidates all = AllCandidates(ShippedGeogSystems(), UserGeogSystems());
        return FindCandidates(all, "3", 200).size();
    });
    benchmark::DoNotOptimize(found.get());
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// As a host opens the chooser in a process that has not shown it before:
// from DoModal to the first frame of the dialog painted.
double FirstOpenInThisProcess()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    int argc = 1;
    char name[] = "bench";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    g_language = LANGUAGE_ENGLISH;
    // The first paint of the chooser's window ends the measurement, and the dialog.
    struct FirstFrame : QObject {
        std::chrono::steady_clock::time_point at;
        bool painted = false;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (!painted && event->type() == QEvent::Paint && widget && widget->isWindow() &&
                qobject_cast<QDialog*>(widget)) {
                painted = true;
                at = std::chrono::steady_clock::now();
                QTimer::singleShot(0, widget, [widget] { qobject_cast<QDialog*>(widget)->reject(); });
            }
            return false;
        }
    } firstFrame;
    // The host's own window is up: its fonts and platform are the host's cost.
    QMainWindow host;
    host.setCentralWidget(new QLabel(QStringLiteral("A GIS host")));
    host.show();
    const auto hostShown = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!host.isVisible() || !host.testAttribute(Qt::WA_WState_ExplicitShowHide))
        QApplication::processEvents();
    while (std::chrono::steady_clock::now() < hostShown && !host.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    QApplication::processEvents();
    app.installEventFilter(&firstFrame);
    const auto start = std::chrono::steady_clock::now();
    Orvane chooser(ProjectedWkt().c_str());
    chooser.DoModal();
    return firstFrame.painted ? std::chrono::duration<double, std::milli>(firstFrame.at - start).count() : NAN;
}

// Each iteration a new process of this program, run with `flag` and the
// bundled module folder, prints the figure measured.
void MeasureInChildren(benchmark::State& state, const char* flag)
{
    const std::string command =
        "'/proc/" + std::to_string(getpid()) + "/exe' " + flag + " '" + g_bundled + "'";
    double slowest = 0;
    for (auto _ : state) {
        FILE* child = popen(command.c_str(), "r");
        double ms = NAN;
        if (!child || std::fscanf(child, "%lf", &ms) != 1)
            state.SkipWithError("the child process gave no figure");
        if (child)
            pclose(child);
        state.SetIterationTime(ms / 1e3);
        slowest = std::max(slowest, ms);
    }
    state.counters["slowest_ms"] = slowest;
}

void BM_SearchFirstKeystroke(benchmark::State& state)
{
    MeasureInChildren(state, "--first-keystroke");
}

void BM_OpenFirstInProcess(benchmark::State& state)
{
    MeasureInChildren(state, "--first-open");
}

// Words grow and shrink as a user types: codes, names, aliases, Chinese.
const std::vector<const char*> kTypedWords = {
    "e", "et", "etr", "etrs", "etrs ", "etrs 3", "etrs 33", "etrs 3", "etrs ", "etrs", "etr", "et", "e", "3", "32",
    "326", "3265", "32650", "w", "we", "web", "web m", "web merc", "u", "ut", "utm", "utm3", "utm33", "utm33n", "北",
    "北京", "北京1", "北京195", "北京1954", "f", "fr", "fra", "fran", "france", "m", "me", "mer", "merc", "merca",
    "mercat", "mercatr", "b", "be", "ber", "berl", "berli", "berlin"};

// Keystrokes in the chooser's field: the candidates the word index leaves
// matched against every name and area, the list refilled, sized and
// repainted, the map showing the first row's area.
class ChooserTypist {
public:
    ChooserTypist() : m_dialog((RestartModuleInFolder(g_bundled), OpenChooser("")))
    {
        m_field = qobject_cast<QLineEdit*>(m_dialog->FindControl(IDC_SEARCH));
        m_field->setFocus();
        m_dialog->GetSearch()->Candidates();  // the load is the first keystroke's
    }
    void Type(const char* text)
    {
        m_field->setText(QString::fromUtf8(text));
        Q_EMIT m_field->textEdited(m_field->text());
        QApplication::processEvents();
    }

private:
    std::unique_ptr<CProjectionDlg> m_dialog;
    QLineEdit* m_field = nullptr;
};

// The yardstick: the filter other chooser dialogs offer, the typed text
// found literally in a system's name or code, over the same systems in a
// proxy model and a tree view.
class LiteralFilterTypist {
public:
    LiteralFilterTypist()
    {
        RestartModuleInFolder(g_bundled);
        const SearchCandidates all = AllCandidates(ShippedGeogSystems(), UserGeogSystems());
        for (std::size_t i = 0; i < all.Size(); ++i) {
            const Candidate& c = all[i];
            m_model.appendRow({new QStandardItem(QString::fromStdString(c.name)),
                               new QStandardItem(QString::fromStdString(CandidateCode(c)))});
        }
        m_proxy.setSourceModel(&m_model);
        m_proxy.setFilterCaseSensitivity(Qt::CaseInsensitive);
        m_proxy.setFilterKeyColumn(-1);
        m_view.setModel(&m_proxy);
        m_view.resize(600, 300);
        m_view.show();
        QApplication::processEvents();
    }
    void Type(const char* text)
    {
        m_proxy.setFilterFixedString(QString::fromUtf8(text));
        m_view.repaint();
        QApplication::processEvents();
    }

private:
    QStandardItemModel m_model{0, 2};
    QSortFilterProxyModel m_proxy;
    QTreeView m_view;
};

void TypeInTheField(benchmark::State& state, const std::vector<const char*>& steps)
{
    ChooserTypist typist;
    std::size_t i = 0;
    for (auto _ : state)
        typist.Type(steps[i++ % steps.size()]);
}

void BM_SearchKeystroke(benchmark::State& state)
{
    TypeInTheField(state, kTypedWords);
}

// The words alone: what the keystroke's matching and ranking take, without
// the list.
void BM_SearchMatch(benchmark::State& state)
{
    RestartModuleInFolder(g_bundled);
    const SearchCandidates all = AllCandidates(ShippedGeogSystems(), UserGeogSystems());
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(FindForText(all, kTypedWords[i++ % kTypedWords.size()], 200));
}

void BM_LiteralFilterKeystroke(benchmark::State& state)
{
    LiteralFilterTypist typist;
    std::size_t i = 0;
    for (auto _ : state)
        typist.Type(kTypedWords[i++ % kTypedWords.size()]);
}

// The chooser's keystroke against the yardstick's, the same words typed in
// batches one after the other, so that both see the same machine; the
// fastest batch of each stands for it (the least disturbed by anything else
// running).
void BM_SearchKeystrokeRatio(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    ChooserTypist chooser;
    LiteralFilterTypist literal;
    double fastestChooser = 1e300, fastestLiteral = 1e300;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        for (const char* text : kTypedWords)
            chooser.Type(text);
        const auto t1 = Clock::now();
        for (const char* text : kTypedWords)
            literal.Type(text);
        const auto t2 = Clock::now();
        const double steps = static_cast<double>(kTypedWords.size());
        fastestChooser = std::min(fastestChooser, std::chrono::duration<double, std::milli>(t1 - t0).count() / steps);
        fastestLiteral = std::min(fastestLiteral, std::chrono::duration<double, std::milli>(t2 - t1).count() / steps);
    }
    state.counters["chooser_ms"] = fastestChooser;
    state.counters["literal_ms"] = fastestLiteral;
    state.counters["ratio"] = fastestChooser / fastestLiteral;
}

// A place typed in the field: the systems used there, smallest area first.
void BM_SearchPlace(benchmark::State& state)
{
    TypeInTheField(state, {"52.52 13.40", "52.52 13.4", "-33.87 151.21", "40°42'46\"N 74°0'22\"W", "13.4E 52.5N"});
}

// The memory the search takes: the candidates, their areas and every text
// they hold, the words typos are read against, and the cities.
double CandidateMegabytes()
{
    const SearchCandidates all = AllCandidates(ShippedGeogSystems(), UserGeogSystems());
    auto heap = [](const std::string& text) { return text.capacity() > 15 ? text.capacity() + 1 : 0; };
    auto texts = [&](const std::vector<std::string>& list) {
        std::size_t bytes = list.capacity() * sizeof(std::string);
        for (const std::string& text : list)
            bytes += heap(text);
        return bytes;
    };
    auto candidates = [&](const CandidateList& list) {
        std::size_t bytes = list.capacity() * sizeof(Candidate);
        for (const Candidate& c : list)
            bytes += heap(c.name) + heap(c.authority) + heap(c.code) + heap(c.system.Text()) +
                     heap(c.words) + texts(c.aliases) + texts(c.aliasWords);
        return bytes;
    };
    std::size_t bytes = candidates(all.database->candidates) + candidates(all.own);
    bytes += all.database->areas.capacity() * sizeof(AreaOfUse);
    for (const AreaOfUse& area : all.database->areas)
        bytes += heap(area.name) + heap(area.words);
    for (const SearchTerm& term : all.terms)
        bytes += sizeof term + heap(term.term) + heap(term.reading);
    // The words typos are read against (the database's, and the copy with the catalogues'), and the cities.
    const CandidateWords& words = all.database->Words();
    bytes += words.vocabulary.Bytes() + all.vocabulary.Bytes() + Cities().Bytes();
    bytes += words.index.Bytes();  // the words by system, a search's first sieve
    bytes += words.areaWords.capacity() * sizeof(std::string_view);
    bytes += all.database->AreaCountries().capacity() * sizeof(std::string_view);  // once a country is typed
    return bytes / 1048576.0;
}

// Remembering the system chosen, as OK does after composing it.
void BM_RememberRecent(benchmark::State& state)
{
    const std::string wkt = ProjectedWkt();
    int i = 0;
    for (auto _ : state)
        RememberRecentSystem(RecentSystemsPath(), SpatialSystem(wkt + std::to_string(i++ % 12)));
}

// The measured time of every run, in milliseconds, by benchmark name.
class CollectingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            const double ms = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e3;
            std::string name = run.run_name.function_name;
            m_times[name] = ms;
            for (const auto& [counter, value] : run.counters)
                m_counters[name + ":" + counter] = value;
        }
    }
    double Counter(const std::string& name, const std::string& counter) const
    {
        auto it = m_counters.find(name + ":" + counter);
        return it == m_counters.end() ? NAN : it->second;
    }
    double Time(const std::string& name) const
    {
        auto it = m_times.find(name);
        return it == m_times.end() ? NAN : it->second;
    }

private:
    std::map<std::string, double> m_times;
    std::map<std::string, double> m_counters;
};

struct Target {
    std::string figure;
    double measured;
    double target;
    const char* unit;
};

void Register(const std::string& name, std::function<void(benchmark::State&)> fn, bool shortMode,
              benchmark::TimeUnit unit = benchmark::kMillisecond)
{
    auto* b = benchmark::RegisterBenchmark(name.c_str(), [fn](benchmark::State& s) { fn(s); });
    b->Unit(unit)->UseRealTime();
    if (shortMode)
        b->Iterations(3);
    else
        b->Repetitions(3)->ReportAggregatesOnly(true);
}

const char* const kActions[] = {"kind", "category-custom", "category-utm", "category-beijing",
                                "category-xian", "zone", "method", "geog-system", "unit"};

void RegisterActions(const std::string& prefix, const std::string& folder, bool shortMode)
{
    Register(prefix + "open/empty", [folder](benchmark::State& s) { BM_Open(s, folder, ""); }, shortMode);
    Register(prefix + "open/projected", [folder](benchmark::State& s) { BM_Open(s, folder, ProjectedWkt()); },
             shortMode);
    Register(prefix + "open/unlisted-method", [folder](benchmark::State& s) { BM_Open(s, folder, UnlistedMethodWkt()); },
             shortMode);
    Register(prefix + "action/kind", [folder](benchmark::State& s) {
        BM_Toggle(s, folder, [](CProjectionDlg&) {}, [](CProjectionDlg& d, bool flip) {
            Pick(d, IDC_SYSTEM_KIND, flip ? 0 : 1);
        });
    }, shortMode);
    const int categories[] = {kCustomCategoryPosition, kUtmCategoryPosition, kBeijing1954CategoryPosition,
                              kXian1980CategoryPosition};
    for (int i = 0; i < 4; ++i) {
        const int c = categories[i];
        Register(prefix + "action/" + kActions[1 + i], [folder, c](benchmark::State& s) { BM_Category(s, folder, c); },
                 shortMode);
    }
    Register(prefix + "action/zone", [folder](benchmark::State& s) {
        BM_Toggle(s, folder, ToUtm, [](CProjectionDlg& d, bool flip) {
            Pick(d, IDC_ZONE, flip ? 109 : 110);
        });
    }, shortMode);
    Register(prefix + "action/method", [folder](benchmark::State& s) {
        BM_Toggle(s, folder, ToProjected, [](CProjectionDlg& d, bool flip) {
            Pick(d, IDC_PROJ_METHOD, flip ? 4 : 18);
        });
    }, shortMode);
    Register(prefix + "action/geog-system", [folder](benchmark::State& s) {
        BM_Toggle(s, folder, [](CProjectionDlg&) {}, [](CProjectionDlg& d, bool flip) {
            Pick(d, IDC_GEOG_SYSTEM, flip ? 10 : 20);
        });
    }, shortMode);
    Register(prefix + "action/unit", [folder](benchmark::State& s) {
        BM_Toggle(s, folder, ToProjected, [](CProjectionDlg& d, bool flip) {
            Pick(d, IDC_UNIT, flip ? 1 : 2);
        });
    }, shortMode);
}

// The map drawn anew for another area (the land is drawn once per size), or
// with `resize` at a new size, land included.
void BM_MapDraw(benchmark::State& state, bool resize)
{
    RestartModuleInFolder(g_bundled);
    auto dialog = OpenChooser("");
    AreaMap* map = dialog->GetAreaMap();
    dialog->GetWidget()->show();
    AreaOfUse areas[2];
    areas[0].name = "Europe", areas[0].west = -16, areas[0].south = 32, areas[0].east = 40, areas[0].north = 84;
    areas[1].name = "Pacific", areas[1].west = 98, areas[1].south = -60, areas[1].east = -70, areas[1].north = 66;
    areas[0].bounded = areas[1].bounded = true;
    const QSize size = map->size();
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        map->SetArea(areas[flip ? 1 : 0]);
        if (resize)
            map->resize(size + QSize(flip ? 1 : 0, 0));
        map->repaint();
    }
}

// Resident memory after the 10th and after the 200th open and close.
std::pair<long, long> MeasureOpenCloseMemory(int total)
{
    RestartModuleInFolder(g_bundled);
    const std::string wkt = ProjectedWkt();
    long afterTenth = 0;
    for (int i = 1; i <= total; ++i) {
        OpenChooser(i % 2 ? wkt : "").reset();
        QApplication::processEvents();
        if (i == 10)
            afterTenth = ResidentBytes();
    }
    return {afterTenth, ResidentBytes()};
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--first-keystroke") == 0) {
        RestartModuleInFolder(argv[2]);
        std::printf("%f\n", FirstKeystrokeInThisProcess());
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--first-open") == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        RestartModuleInFolder(argv[2]);
        std::printf("%f\n", FirstOpenInThisProcess());
        return 0;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QApplication app(argc, argv);
    bool shortMode = false;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--short") == 0)
            shortMode = true;
        else
            args.push_back(argv[i]);
    }
    int benchArgc = static_cast<int>(args.size());

    g_language = LANGUAGE_ENGLISH;
    TempDir bundled("orvane bench"), large("orvane bench large");
    for (const TempDir* dir : {&bundled, &large}) {
        CopyFile(BuildFolder() + "/libOrvaneUI.so", *dir / "libOrvaneUI.so");
        CopyTree(BuildFolder() + "/GDAL_Data", *dir / "GDAL_Data");
        CopyFile(BuildFolder() + "/SearchTerms.txt", *dir / "SearchTerms.txt");
        CopyFile(BuildFolder() + "/CountryNames.txt", *dir / "CountryNames.txt");
        CopyFile(BuildFolder() + "/CountryCodes.txt", *dir / "CountryCodes.txt");
        CopyFile(BuildFolder() + "/Cities.txt", *dir / "Cities.txt");
        CopyFile(BuildFolder() + "/Land.txt", *dir / "Land.txt");
    }
    CopyFile(BuildFolder() + "/CoordSys.dat", bundled / "CoordSys.dat");
    // The figures must not depend on the systems the person running them defined.
    setenv("XDG_DATA_HOME", (bundled / "user-data").c_str(), 1);
    WriteLargeCatalogue(bundled / "CoordSys.dat", large / "CoordSys.dat", 5000, 1300);
    g_bundled = bundled.Path();
    g_large = large.Path();

    RegisterActions("", g_bundled, shortMode);
    RegisterActions("large/", g_large, shortMode);
    const std::pair<const char*, int> oks[] = {{"geographic", -1},
                                               {"custom", kCustomCategoryPosition},
                                               {"utm", kUtmCategoryPosition},
                                               {"beijing", kBeijing1954CategoryPosition},
                                               {"xian", kXian1980CategoryPosition}};
    for (const auto& [name, category] : oks) {
        const int c = category;
        Register(std::string("ok/") + name, [c](benchmark::State& s) { BM_BuildWkt(s, c); }, shortMode);
    }
    Register("ok/unidentified", BM_OkUnidentified, shortMode);
    const std::pair<const char*, Query> queries[] = {
        {"coordsys", &Orvane::GetCoordSysName}, {"datum", &Orvane::GetDatumName},
        {"spheroid", &Orvane::GetSpheroidName}, {"projection", &Orvane::GetProjectionName},
        {"units", &Orvane::GetUnitsName}};
    const std::map<std::string, DirectQuery> direct = {
        {"coordsys", [](OGRSpatialReference& s) { const char* v = s.IsGeographic() ? s.GetAttrValue("GEOGCS") : s.IsProjected() ? s.GetAttrValue("PROJCS") : s.GetAttrValue("LOCAL_CS"); return std::string(v ? v : "Unknown"); }},
        {"datum", [](OGRSpatialReference& s) { const char* v = s.GetAttrValue("DATUM"); return std::string(v ? v : ""); }},
        {"spheroid", [](OGRSpatialReference& s) { const char* v = s.GetAttrValue("SPHEROID"); return std::string(v ? v : ""); }},
        {"projection", [](OGRSpatialReference& s) { const char* v = s.IsProjected() ? s.GetAttrValue("PROJECTION") : nullptr; return std::string(v ? v : ""); }},
        {"units", [](OGRSpatialReference& s) { const char* v = nullptr; if (s.IsGeographic()) s.GetAngularUnits(&v); else s.GetLinearUnits(&v); return std::string(v ? v : ""); }}};
    for (const auto& [name, query] : queries) {
        const Query q = query;
        const auto read = direct.at(name);
        Register(std::string("query/") + name, [q, read](benchmark::State& s) { BM_QueryRatio(s, q, read); },
                 shortMode, benchmark::kMicrosecond);
    }
    // Each iteration a new process: the figure of a first time.
    for (const auto& [name, first] : {std::pair{"open/first-in-process", BM_OpenFirstInProcess},
                                      std::pair{"search/first-keystroke", BM_SearchFirstKeystroke}}) {
        benchmark::RegisterBenchmark(name, first)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(shortMode ? 2 : 20)
            ->Repetitions(shortMode ? 1 : 3)
            ->ReportAggregatesOnly(!shortMode);
    }
    Register("search/keystroke", BM_SearchKeystroke, shortMode);
    Register("search/match", BM_SearchMatch, shortMode);
    Register("search/place", BM_SearchPlace, shortMode);
    Register("search/literal-filter-keystroke", BM_LiteralFilterKeystroke, shortMode);
    benchmark::RegisterBenchmark("search/keystroke-ratio", BM_SearchKeystrokeRatio)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(shortMode ? 1 : 20);
    Register("ok/remember-recent", BM_RememberRecent, shortMode);
    Register("store/10000", BM_Store, shortMode);
    Register("map/draw", [](benchmark::State& s) { BM_MapDraw(s, false); }, shortMode, benchmark::kMicrosecond);
    Register("map/draw-resized", [](benchmark::State& s) { BM_MapDraw(s, true); }, shortMode,
             benchmark::kMicrosecond);

    benchmark::Initialize(&benchArgc, args.data());
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto [afterTenth, afterLast] = MeasureOpenCloseMemory(shortMode ? 12 : 200);

    std::vector<Target> targets;
    for (const char* open : {"open/empty", "open/projected", "open/unlisted-method"})
        targets.push_back({open, reporter.Time(open), 30, "ms"});
    // One frame.
    targets.push_back({"open/first-in-process", reporter.Time("open/first-in-process"), 16, "ms"});
    for (const char* action : kActions)
        targets.push_back({std::string("action/") + action, reporter.Time(std::string("action/") + action), 16, "ms"});
    for (const auto& ok : oks)
        targets.push_back({std::string("ok/") + ok.first, reporter.Time(std::string("ok/") + ok.first), 5, "ms"});
    for (const auto& query : queries) {
        const std::string base = std::string("query/") + query.first;
        targets.push_back({base + " orvane-gdal", reporter.Counter(base, "extra_us"), 1.0, "us"});
    }
    std::vector<std::string> scaled = {"open/empty", "open/projected"};
    for (const char* action : kActions)
        scaled.push_back(std::string("action/") + action);
    for (const std::string& figure : scaled)
        targets.push_back({"large/" + figure + " large/bundled", reporter.Time("large/" + figure) / reporter.Time(figure), 11, "x"});
    targets.push_back({"search/first-keystroke", reporter.Time("search/first-keystroke"), 50, "ms"});
    targets.push_back({"search/keystroke", reporter.Time("search/keystroke"), 16, "ms"});
    targets.push_back({"search/keystroke literal-filter", reporter.Counter("search/keystroke-ratio", "ratio"),
                       1.0 / 3.0, "x"});
    targets.push_back({"search/place", reporter.Time("search/place"), 16, "ms"});
    targets.push_back({"search/candidates and cities memory", CandidateMegabytes(), 8, "MB"});
    targets.push_back({"ok/remember-recent", reporter.Time("ok/remember-recent"), 5, "ms"});
    targets.push_back({"store/10000", reporter.Time("store/10000"), 20, "ms"});
    targets.push_back({"map/draw", reporter.Time("map/draw"), 2, "ms"});
    targets.push_back({"map/draw-resized", reporter.Time("map/draw-resized"), 16, "ms"});
    targets.push_back({"memory/200-opens growth after the 10th", (afterLast - afterTenth) / 1048576.0, 2, "MB"});

    std::printf("\n");
    int misses = 0;
    for (const Target& t : targets) {
        const bool ok = t.measured <= t.target;
        misses += ok ? 0 : 1;
        std::printf("%s %.3g%s %.3g%s %s\n", t.figure.c_str(), t.measured, t.unit, t.target, t.unit, ok ? "ok" : "miss");
    }
    // The labelled corpus: every query answered in the first three rows.
    const std::vector<CorpusQuery> corpus = ReadSearchCorpus();
    const std::size_t answered =
        corpus.size() - CorpusMisses(AllCandidates(ShippedGeogSystems(), SystemCatalog(), true), corpus).size();
    const bool corpusHeld = answered == corpus.size() && !corpus.empty();
    misses += corpusHeld ? 0 : 1;
    std::printf("search/corpus %zu/%zu %zu/%zu %s\n", answered, corpus.size(), corpus.size(), corpus.size(),
                corpusHeld ? "ok" : "miss");
    return shortMode || misses == 0 ? 0 : 1;
}
