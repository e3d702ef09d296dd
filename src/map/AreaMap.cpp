#include "map/AreaMap.h"

#include <algorithm>
#include <cmath>

#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>

#include "map/LandOutline.h"
#include "module/Messages.h"

namespace {

// Below this many pixels an area is a dot: a ring around it shows where.
constexpr double kSmallestVisible = 6.0;

// The land as last drawn, for every map of the process: a chooser opened
// again at the same size draws none of it. An image, not a pixmap, so that
// it may outlive the application at exit.
struct LandPicture {
    QSize size;
    QRectF map;  // the frame within it (it moves with the name line's font)
    qreal ratio = 0;
    QRgb base = 0, mid = 0, text = 0;
    QImage image;
};
LandPicture g_land;

QString Text(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

}  // namespace

AreaMap::AreaMap(QWidget* parent) : QWidget(parent), m_name(new QLabel(this)), m_note(new QLabel(this))
{
    // It grows with the dialog, twice as wide as high.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A note is to be read whole: it wraps, across the map's whole width.
    m_note->setWordWrap(true);
    m_note->hide();
}

QSize AreaMap::sizeHint() const
{
    return QSize(240, 120 + LinesHeight());
}

QSize AreaMap::minimumSizeHint() const
{
    return QSize(160, 80 + LinesHeight());
}

int AreaMap::LinesHeight() const
{
    return NameLineHeight() + m_noteHeight;
}

void AreaMap::SetNote(const std::string& note)
{
    const QString text = Text(note);
    if (text == m_noteText)
        return;
    m_noteText = text;
    PlaceLines();
    updateGeometry();
    update();
}

int AreaMap::NameLineHeight() const
{
    // The font's, not the label's size hint: that measures its text anew
    // each time, and the frame is worked out for every point drawn.
    return m_name->fontMetrics().height();
}

QRectF AreaMap::MapRect() const
{
    const double line = LinesHeight();
    const double mapHeight = std::max(0.0, std::min(height() - line, width() / 2.0));
    return QRectF((width() - 2 * mapHeight) / 2, 0, 2 * mapHeight, mapHeight);
}

QPointF AreaMap::ToWidget(double longitude, double latitude) const
{
    const QRectF map = MapRect();
    return QPointF(map.left() + (longitude + 180.0) / 360.0 * map.width(),
                   map.top() + (90.0 - latitude) / 180.0 * map.height());
}

namespace {

bool SameArea(const AreaOfUse& a, const AreaOfUse& b)
{
    return a.bounded == b.bounded && a.name == b.name && a.west == b.west && a.east == b.east &&
           a.south == b.south && a.north == b.north;
}

}  // namespace

void AreaMap::SetArea(const AreaOfUse& area)
{
    Replace(m_area, area);
}

void AreaMap::SetHeightArea(const AreaOfUse& area)
{
    Replace(m_heightArea, area);
}

void AreaMap::Replace(AreaOfUse& shown, const AreaOfUse& area)
{
    if (SameArea(area, shown))
        return;
    // Only where the areas were and are now is drawn again: the search's
    // list moves the map from row to row at each keystroke.
    const QRegion before = AreaRegion();
    shown = area;
    ShowName();
    update(before.united(AreaRegion()));
}

QRegion AreaMap::AreaRegion() const
{
    // The outline's pen and a small area's ring reach past the rectangle.
    const int reach = static_cast<int>(std::ceil(kSmallestVisible)) + 2;
    QRegion region;
    for (const AreaOfUse* area : {&m_area, &m_heightArea})
        for (const QRectF& rect : RectsOf(*area))
            region += rect.toAlignedRect().adjusted(-reach, -reach, reach, reach);
    return region;
}

std::vector<QRectF> AreaMap::AreaRects() const
{
    return RectsOf(m_area);
}

std::vector<QRectF> AreaMap::RectsOf(const AreaOfUse& area) const
{
    if (!area.bounded)
        return {};
    const QPointF topLeft = ToWidget(area.west, area.north);
    const QPointF bottomRight = ToWidget(area.east, area.south);
    if (area.west <= area.east)
        return {QRectF(topLeft, bottomRight)};
    // Across the antimeridian: from the west edge to 180°, and from 180°W on.
    return {QRectF(topLeft, ToWidget(180.0, area.south)), QRectF(ToWidget(-180.0, area.north), bottomRight)};
}

void AreaMap::ShowName()
{
    QString name = m_area.bounded ? Text(m_area.name) : QString();
    // The height's area named too where it is another.
    if (m_area.bounded && m_heightArea.bounded && m_heightArea.name != m_area.name)
        name = Text(MessageWith(MessageId::MapHeightArea, {m_area.name, m_heightArea.name}));
    m_name->setToolTip(name);
    m_name->setText(m_name->fontMetrics().elidedText(name, Qt::ElideRight, m_name->width()));
    // A screen reader reads the whole name, and the map as its area in
    // words; an empty line is nothing to stop at.
    m_name->setAccessibleName(name);
    m_name->setFocusPolicy(name.isEmpty() ? Qt::NoFocus : Qt::ClickFocus);
    setAccessibleDescription(name);
}

void AreaMap::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceLines();
}

void AreaMap::PlaceLines()
{
    // Under the map: the area's name as wide as the map, then the note as
    // wide as the widget, in as many lines as it takes.
    m_note->setText(m_noteText);
    m_noteHeight = m_noteText.isEmpty() ? 0 : m_note->heightForWidth(width());
    const QRect map = MapRect().toAlignedRect();
    m_name->setGeometry(map.left(), map.bottom() + 1, map.width(), NameLineHeight());
    m_note->setGeometry(0, map.bottom() + 1 + NameLineHeight(), width(), m_noteHeight);
    m_note->setToolTip(m_noteText);
    m_note->setAccessibleName(m_noteText);
    m_note->setVisible(!m_noteText.isEmpty());
    ShowName();
}

void AreaMap::DrawLand(QPainter& painter)
{
    const QRectF map = MapRect();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(map, palette().color(QPalette::Base));
    painter.setClipRect(map);
    QPainterPath land;
    land.setFillRule(Qt::OddEvenFill);  // lakes are rings inside the land
    for (const LandRing& ring : *ShippedLand()) {
        land.moveTo(ToWidget(ring.front().lon, ring.front().lat));
        for (std::size_t i = 1; i < ring.size(); ++i)
            land.lineTo(ToWidget(ring[i].lon, ring[i].lat));
        land.closeSubpath();
    }
    const QColor text = palette().color(QPalette::Text);
    QColor fill = palette().color(QPalette::Mid);
    fill.setAlpha(110);
    painter.setPen(QPen(QColor(text.red(), text.green(), text.blue(), 110), 0.6));
    painter.setBrush(fill);
    painter.drawPath(land);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(palette().color(QPalette::Mid), 1.0));
    painter.drawRect(map.adjusted(0.5, 0.5, -0.5, -0.5));
}

void AreaMap::DrawArea(QPainter& painter, const std::vector<QRectF>& rects, const QBrush& fill)
{
    for (const QRectF& rect : rects) {
        painter.setBrush(fill);
        painter.drawRect(rect);
        if (rect.width() < kSmallestVisible && rect.height() < kSmallestVisible) {
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(rect.center(), kSmallestVisible, kSmallestVisible);
        }
    }
}

void AreaMap::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The land at the screen's own pixel density, so it stays crisp at 2×.
    const qreal ratio = devicePixelRatioF();
    const QPalette& colours = palette();
    const QRgb base = colours.color(QPalette::Base).rgba(), mid = colours.color(QPalette::Mid).rgba(),
               text = colours.color(QPalette::Text).rgba();
    if (g_land.image.isNull() || g_land.size != size() || g_land.map != MapRect() || g_land.ratio != ratio ||
        g_land.base != base || g_land.mid != mid || g_land.text != text) {
        g_land = LandPicture{size(), MapRect(), ratio, base, mid, text,
                             QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied)};
        g_land.image.setDevicePixelRatio(ratio);
        g_land.image.fill(Qt::transparent);
        QPainter onLand(&g_land.image);
        DrawLand(onLand);
    }
    painter.drawImage(0, 0, g_land.image);

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(MapRect());
    const QColor highlight = palette().color(QPalette::Highlight);
    QColor fill = highlight;
    fill.setAlpha(90);
    painter.setPen(QPen(highlight, 1.5));
    DrawArea(painter, AreaRects(), fill);
    // The height's area outlined, dashed, over the system's.
    painter.setPen(QPen(palette().color(QPalette::Text), 1.2, Qt::DashLine));
    DrawArea(painter, HeightAreaRects(), Qt::NoBrush);
    // The place typed: a dot in the text's colour, ringed in the base's, so
    // that it shows over land, sea and area alike.
    if (const std::optional<QPointF> mark = MarkerPoint()) {
        painter.setPen(QPen(palette().color(QPalette::Base), 1.5));
        painter.setBrush(palette().color(QPalette::Text));
        painter.drawEllipse(*mark, 3.5, 3.5);
    }
}

void AreaMap::SetMarker(std::optional<std::pair<double, double>> latitudeLongitude)
{
    if (latitudeLongitude == m_marker)
        return;
    const QRegion before = MarkerRegion();
    m_marker = latitudeLongitude;
    update(before.united(MarkerRegion()));
}

QRegion AreaMap::MarkerRegion() const
{
    const std::optional<QPointF> mark = MarkerPoint();
    if (!mark)
        return QRegion();
    constexpr int kReach = 6;  // the dot and its ring
    return QRegion(QRect(mark->toPoint() - QPoint(kReach, kReach), QSize(2 * kReach + 1, 2 * kReach + 1)));
}

std::optional<QPointF> AreaMap::MarkerPoint() const
{
    if (!m_marker)
        return std::nullopt;
    return ToWidget(m_marker->second, m_marker->first);
}
