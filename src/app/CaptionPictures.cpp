#include "app/CaptionPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

namespace vorlo::app {

namespace {

// Proportions of the pictures, as fractions of the picture's height, chosen to look like
// the symbol glyphs they replace: a glyph fills about two thirds of its em.
constexpr double kHeightPerEm = 0.68;
constexpr double kTriangleWidth = 0.85;
constexpr double kSquareSide = 0.8;
constexpr double kBarWidth = 0.2;
constexpr double kGap = 0.1;
constexpr double kEjectBarHeight = 0.2;

QPolygonF Triangle(QPointF tip, QPointF baseA, QPointF baseB) { return QPolygonF({tip, baseA, baseB}); }

// The shapes in a box of height h whose left edge is at x = 0; returns the box's width.
double Shapes(CaptionPicture picture, double h, QPainterPath& path)
{
    const double tri = kTriangleWidth * h;
    const double bar = kBarWidth * h;
    const double gap = kGap * h;
    switch (picture) {
    case CaptionPicture::Play:
        path.addPolygon(Triangle({tri, h / 2}, {0, 0}, {0, h}));
        return tri;
    case CaptionPicture::Stop: {
        const double side = kSquareSide * h;
        path.addRect(0, (h - side) / 2, side, side);
        return side;
    }
    case CaptionPicture::Eject: {
        const double width = h * 1.1;
        const double barHeight = kEjectBarHeight * h;
        const double triHeight = h - barHeight - gap;
        path.addPolygon(Triangle({width / 2, 0}, {0, triHeight}, {width, triHeight}));
        path.addRect(0, h - barHeight, width, barHeight);
        return width;
    }
    case CaptionPicture::PreviousTrack:
        path.addRect(0, 0, bar, h);
        path.addPolygon(Triangle({bar + gap, h / 2}, {bar + gap + tri, 0}, {bar + gap + tri, h}));
        return bar + gap + tri;
    case CaptionPicture::NextTrack:
        path.addPolygon(Triangle({tri, h / 2}, {0, 0}, {0, h}));
        path.addRect(tri + gap, 0, bar, h);
        return tri + gap + bar;
    }
    return 0;
}

} // namespace

QPixmap DrawCaptionPicture(CaptionPicture picture, double emPixels, const QColor& colour, double devicePixelRatio)
{
    const double height = std::round(kHeightPerEm * emPixels);
    QPainterPath path;
    const double width = Shapes(picture, height, path);
    path.setFillRule(Qt::WindingFill);

    const QSize logical(static_cast<int>(std::ceil(width)), static_cast<int>(height));
    QPixmap pixmap(logical * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(path, colour);
    return pixmap;
}

} // namespace vorlo::app
