#pragma once

#include "transport/DrawingSurface.h"

#include <cstdio>
#include <string>
#include <vector>

namespace vorlo::test {

// A drawing surface that only records its fills, as "fill X1 Y1 X2 Y2 BBGGRR".
class RecordingSurface final : public transport::DrawingSurface {
public:
    RecordingSurface(float width, float height, transport::BgrColour backColor)
        : width_(width), height_(height), backColor_(backColor)
    {
    }

    void SetBackColor(transport::BgrColour colour) { backColor_ = colour; }
    const std::vector<std::string>& Fills() const { return fills_; }

    float Width() const override { return width_; }
    float Height() const override { return height_; }
    transport::BgrColour BackColor() const override { return backColor_; }
    void FillRectangle(float x1, float y1, float x2, float y2, transport::BgrColour colour) override
    {
        char line[96];
        std::snprintf(line, sizeof line, "fill %g %g %g %g %06X", x1, y1, x2, y2, colour);
        fills_.emplace_back(line);
    }

private:
    float width_;
    float height_;
    transport::BgrColour backColor_;
    std::vector<std::string> fills_;
};

} // namespace vorlo::test
