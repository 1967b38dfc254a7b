#pragma once

// Helpers for the tests that look at the window: its modal boxes and its disc bar.
#include <QAbstractButton>
#include <QApplication>
#include <QColor>
#include <QImage>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace vorlo::test {

// While it lives, presses `answer` on every modal message box that shows, and keeps each
// box it met as "title|text|icon|buttons", the last two as numbers.
class BoxAnswerer {
public:
    explicit BoxAnswerer(QMessageBox::StandardButton answer)
    {
        QObject::connect(&poll_, &QTimer::timeout, [this, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            seen_ << QStringList{box->windowTitle(), box->text(), QString::number(box->icon()),
                                 QString::number(box->standardButtons().toInt())}.join('|');
            box->button(answer)->click();
        });
        poll_.start(10);
    }
    const QStringList& Boxes() const { return seen_; }

private:
    QTimer poll_;
    QStringList seen_;
};

// The width in pixels of the dark red run that starts a disc bar's picture, or -1 when the
// picture is not such a run followed by light grey over its whole height.
inline int RedWidth(const QImage& bar)
{
    const QColor red(0x80, 0, 0), grey(0xE0, 0xE0, 0xE0);
    int width = 0;
    while (width < bar.width() && bar.pixelColor(width, 0) == red)
        ++width;
    for (int y = 0; y < bar.height(); ++y)
        for (int x = 0; x < bar.width(); ++x)
            if (bar.pixelColor(x, y) != (x < width ? red : grey))
                return -1;
    return width;
}

// The red width, in pixels, that a position and a length give a bar of `width` pixels.
inline int ExpectedRed(double position, double length, int width)
{
    return static_cast<int>(std::lround(std::min(1.0, position / length) * width));
}

} // namespace vorlo::test
