#pragma once

#include <cstdint>

namespace vorlo::transport {

// A colour as the media operations speak of it: 0x00BBGGRR, red in the low byte.
using BgrColour = std::uint32_t;

// A rectangular area that the operations paint on: the position bars of the main window.
// Sizes and coordinates are in twips (1/1440 inch) from the surface's top-left corner.
// All members are called on the UI thread only and throw nothing.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    // The surface's current size, read afresh at every call.
    virtual float Width() const = 0;
    virtual float Height() const = 0;
    // The surface's background colour, read afresh at every call.
    virtual BgrColour BackColor() const = 0;

    // Paints the rectangle between the corners (x1, y1) and (x2, y2), in either order, in
    // the colour, over whatever the surface shows. What falls outside the surface is
    // clipped; any finite or infinite coordinate is accepted.
    virtual void FillRectangle(float x1, float y1, float x2, float y2, BgrColour colour) = 0;
};

// Paints the whole surface in its background colour, reading size and colour now.
inline void FillWithBackground(DrawingSurface& surface)
{
    const float width = surface.Width();
    const float height = surface.Height();
    surface.FillRectangle(0.0f, 0.0f, width, height, surface.BackColor());
}

} // namespace vorlo::transport
