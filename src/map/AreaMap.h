// A small world map: the land, the area of use of a system over it, and
// under it a line naming the area (elided; the whole name in its tooltip).
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QRegion>
#include <QWidget>

#include "map/AreaOfUse.h"

class QLabel;

class AreaMap : public QWidget {
public:
    explicit AreaMap(QWidget* parent = nullptr);

    // Shows `area`; an unbounded one shows the land alone, with no name.
    void SetArea(const AreaOfUse& area);
    const AreaOfUse& Area() const { return m_area; }
    // Shows where the system's height part may be used too, outlined over
    // the area and named after it; an unbounded one shows none.
    void SetHeightArea(const AreaOfUse& area);
    const AreaOfUse& HeightArea() const { return m_heightArea; }
    // Where the height's area is drawn, as AreaRects.
    std::vector<QRectF> HeightAreaRects() const { return RectsOf(m_heightArea); }
    // Where the area is drawn, in the widget's coordinates: one rectangle,
    // two when it crosses the antimeridian, none when unbounded.
    std::vector<QRectF> AreaRects() const;
    // The line under the map.
    QLabel* NameLine() const { return m_name; }
    // A note under it (the projection's centre outside the datum's area);
    // empty for none.
    void SetNote(const std::string& note);
    QLabel* NoteLine() const { return m_note; }
    // Marks a place (a city typed in the search) over the area; none unmarks.
    void SetMarker(std::optional<std::pair<double, double>> latitudeLongitude);
    // Where the mark is drawn, in the widget's coordinates; none when unmarked.
    std::optional<QPointF> MarkerPoint() const;
    // The map's frame: as wide as the widget allows at twice its height,
    // centred, above the line.
    QRectF MapRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QPointF ToWidget(double longitude, double latitude) const;
    std::vector<QRectF> RectsOf(const AreaOfUse& area) const;
    // Shows `area` as `shown` (the system's area or its height's).
    void Replace(AreaOfUse& shown, const AreaOfUse& area);
    void DrawLand(QPainter& painter);
    // An area's rectangles with the painter's pen, a small one ringed.
    void DrawArea(QPainter& painter, const std::vector<QRectF>& rects, const QBrush& fill);
    void ShowName();
    int NameLineHeight() const;
    // Where the area and the marker are drawn, with what reaches past them.
    QRegion AreaRegion() const;
    QRegion MarkerRegion() const;
    int LinesHeight() const;  // the name's line and the note's
    void PlaceLines();

    AreaOfUse m_area;
    AreaOfUse m_heightArea;
    QLabel* m_name;
    QLabel* m_note;
    QString m_noteText;
    int m_noteHeight = 0;  // in as many lines as its text takes at the widget's width
    std::optional<std::pair<double, double>> m_marker;
};
