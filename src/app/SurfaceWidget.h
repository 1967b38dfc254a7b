#pragma once

#include "app/BgrColour.h"
#include "app/Twips.h"
#include "transport/DrawingSurface.h"

#include <QImage>
#include <QWidget>

#include <optional>

namespace vorlo::app {

// A drawing surface: a frameless child area that keeps its picture in a backing image
// between paints, so a fill painted over the picture adds to what is already there. The
// picture starts filled with the background colour. Its geometry is fixed in twips when
// it is made; sizes and fill coordinates are twips from its top-left corner, turned into
// pixels at the screen density it was laid out at. UI thread only.
class SurfaceWidget : public QWidget, public transport::DrawingSurface {
    Q_OBJECT
public:
    // twipsGeometry is left, top, width and height in the parent's client area. Without a
    // background colour the surface takes the toolkit's default for a picture area.
    SurfaceWidget(QWidget* parent, const QRect& twipsGeometry, std::optional<BgrColour> backColor = {},
                  std::optional<BgrColour> foreColor = {});

    float Width() const override;
    float Height() const override;
    BgrColour BackColor() const override;
    // Drawing colour for outlines and text; no operation draws with it.
    BgrColour ForeColor() const { return foreColor_; }
    void FillRectangle(float x1, float y1, float x2, float y2, BgrColour colour) override;

    // What the surface shows, one pixel per logical pixel of the widget.
    const QImage& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect twips_;
    Density density_;
    BgrColour backColor_;
    BgrColour foreColor_;
    QImage picture_;
};

} // namespace vorlo::app
