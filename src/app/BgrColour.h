#pragma once

#include "transport/DrawingSurface.h"

#include <QColor>

// Colours are kept as 0x00BBGGRR words, the way the operations name them; Qt wants QColor.
namespace vorlo::app {

using transport::BgrColour;

inline QColor ToQColor(BgrColour colour)
{
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

inline BgrColour ToBgrColour(const QColor& colour)
{
    return static_cast<BgrColour>(colour.red()) | static_cast<BgrColour>(colour.green()) << 8 |
           static_cast<BgrColour>(colour.blue()) << 16;
}

} // namespace vorlo::app
