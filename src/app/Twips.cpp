#include "app/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace vorlo::app {

namespace {
// Far beyond any surface, small enough that later pixel arithmetic cannot overflow.
constexpr double kPixelLimit = 1 << 24;
} // namespace

Density ScreenDensity(const QWidget* widget)
{
    const QScreen* screen = widget ? widget->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return {screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY()};
}

int TwipsToPixels(double twips, double dotsPerInch)
{
    const double pixels = twips * dotsPerInch / kTwipsPerInch;
    if (std::isnan(pixels))
        return 0;
    return static_cast<int>(std::lround(std::clamp(pixels, -kPixelLimit, kPixelLimit)));
}

QRect TwipsToPixels(const QRect& twips, Density density)
{
    // Converting the edges, not the sizes, keeps neighbours that meet in twips meeting in pixels.
    const int left = TwipsToPixels(twips.x(), density.x);
    const int top = TwipsToPixels(twips.y(), density.y);
    const int right = TwipsToPixels(twips.x() + twips.width(), density.x);
    const int bottom = TwipsToPixels(twips.y() + twips.height(), density.y);
    return QRect(left, top, right - left, bottom - top);
}

} // namespace vorlo::app
