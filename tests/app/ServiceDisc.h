#pragma once

// Helpers for the tests that drive the window against the real media service, with the
// null sound device (VORLO_AUDIO=null) keeping real time.
#include "WindowTestSupport.h"
#include "support/TestDisc.h"

#include "app/SurfaceWidget.h"
#include "media/MediaChannel.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdlib>
#include <string>

namespace vorlo::test {

// Three audio tracks of four seconds each, written to a fresh folder and named by
// VORLO_CDROM, which the service reads at every "open cdaudio".
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

// One field of every line of the trace, whose lines are "time command error reply".
inline QStringList TraceField(const QString& path, int field)
{
    QFile file(path);
    QStringList values;
    if (file.open(QIODevice::ReadOnly))
        for (const QString& line : QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts))
            values << line.section('\t', field, field);
    return values;
}

} // namespace vorlo::test
