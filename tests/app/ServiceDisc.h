#pragma once

// Helpers for the tests that drive the window against the real media service, with the
// null sound device (VORLO_AUDIO=null) keeping real time.
#include "support/TestDisc.h"

#include "app/SurfaceWidget.h"
#include "media/MediaChannel.h"

#include <QColor>
#include <QImage>
#include <QTemporaryDir>

#include <cmath>
#include <cstdlib>
#include <string>

namespace vorlo::test {

// Three audio tracks of four seconds each, written to a fresh folder and named by
// VORLO_CDROM. Set up before the service is first used: it reads the variable then.
class ServiceDisc {
public:
    static constexpr int kTracks = 3;
    static constexpr int kSectorsPerTrack = 300;

    ServiceDisc()
    {
        const std::string cue = TestDisc::AudioOnly(kTracks, kSectorsPerTrack).Write(dir_.path().toStdString(), "e2e");
        setenv("VORLO_CDROM", cue.c_str(), 1);
    }
    QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

private:
    QTemporaryDir dir_;
};

// The service's answer to a query, as a number.
inline double Ask(std::string_view query)
{
    media::ReplyBuffer buffer;
    media::SendMediaCommand(query, buffer);
    return media::ReplyValue(buffer);
}

// The red width, in pixels, that a position and a length give a bar of `width` pixels.
inline int ExpectedRed(double position, double length, int width)
{
    return static_cast<int>(std::lround(std::min(1.0, position / length) * width));
}

// The number of dark red pixels that start the bar's middle row.
inline int RedWidth(const QImage& bar)
{
    const int y = bar.height() / 2;
    int red = 0;
    while (red < bar.width() && bar.pixelColor(red, y) == QColor(0x80, 0, 0))
        ++red;
    return red;
}

} // namespace vorlo::test
