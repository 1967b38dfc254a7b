#pragma once

#include <QColor>
#include <QPixmap>

// The transport buttons show pictures rather than letters: the symbol faces their
// captions were made for are not found on Linux, so the pictures are drawn here.
namespace vorlo::app {

enum class CaptionPicture {
    Play,          // a triangle pointing right
    Stop,          // a square
    Eject,         // a triangle pointing up over a bar
    PreviousTrack, // a bar, then a triangle pointing left
    NextTrack,     // a triangle pointing right, then a bar
};

// Draws the picture for a caption whose font has an em of emPixels logical pixels, in the
// colour, on a transparent background. The pixmap carries the device pixel ratio, so it
// stays sharp on dense screens.
QPixmap DrawCaptionPicture(CaptionPicture picture, double emPixels, const QColor& colour,
                           double devicePixelRatio = 1.0);

} // namespace vorlo::app
