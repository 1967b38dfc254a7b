#include "app/SurfaceWidget.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace vorlo::app {

SurfaceWidget::SurfaceWidget(QWidget* parent, const QRect& twipsGeometry, std::optional<BgrColour> backColor,
                             std::optional<BgrColour> foreColor)
    : QWidget(parent), twips_(twipsGeometry), density_(ScreenDensity(parent))
{
    setGeometry(TwipsToPixels(twips_, density_));
    backColor_ = backColor.value_or(ToBgrColour(palette().color(QPalette::Button)));
    foreColor_ = foreColor.value_or(ToBgrColour(palette().color(QPalette::ButtonText)));
    // The backing image covers every pixel, so Qt need not clear behind it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    picture_ = QImage(size(), QImage::Format_RGB32);
    picture_.fill(ToQColor(backColor_));
}

float SurfaceWidget::Width() const { return static_cast<float>(twips_.width()); }
float SurfaceWidget::Height() const { return static_cast<float>(twips_.height()); }
BgrColour SurfaceWidget::BackColor() const { return backColor_; }

void SurfaceWidget::FillRectangle(float x1, float y1, float x2, float y2, BgrColour colour)
{
    // Corners become pixel edges: the rectangle covers the pixels from the smaller edge up
    // to, not including, the larger, so (0, 0)-(Width, Height) covers the surface exactly.
    const int xa = TwipsToPixels(x1, density_.x);
    const int xb = TwipsToPixels(x2, density_.x);
    const int ya = TwipsToPixels(y1, density_.y);
    const int yb = TwipsToPixels(y2, density_.y);
    const int left = std::min(xa, xb);
    const int right = std::max(xa, xb);
    const int top = std::min(ya, yb);
    const int bottom = std::max(ya, yb);
    const QRect area = QRect(left, top, right - left, bottom - top) & picture_.rect();
    if (area.isEmpty())
        return;
    QPainter painter(&picture_);
    painter.fillRect(area, ToQColor(colour));
    update(area);
}

void SurfaceWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), picture_, event->rect());
}

} // namespace vorlo::app
