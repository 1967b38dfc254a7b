#pragma once

#include <QRect>

class QWidget;

// The window is laid out in twips (1/1440 inch). Everything that turns twips into pixels
// goes through TwipsToPixels, so the layout and the drawing scale together with the
// screen's logical density: 15 twips make one pixel at 96 dots per inch.
namespace vorlo::app {

inline constexpr double kTwipsPerInch = 1440.0;

// The logical density of the screen the widget is on (the primary screen when there is
// no widget or it has no screen yet), in dots per inch along each axis.
struct Density {
    double x = 96.0;
    double y = 96.0;
};
Density ScreenDensity(const QWidget* widget = nullptr);

// The one conversion: twips to whole pixels, to the nearest. Total over its input: NaN
// gives 0 and values beyond the int range saturate, so callers may pass anything and clip.
int TwipsToPixels(double twips, double dotsPerInch);

// A rectangle given as left, top, width and height in twips, in pixels.
QRect TwipsToPixels(const QRect& twips, Density density);

} // namespace vorlo::app
