#include "app/Form1.h"

#include "auxiliary/AliasClosing.h"
#include "auxiliary/TestCapture.h"
#include "auxiliary/VolumeSteps.h"

namespace vorlo::app {

void Form1::CloseSoundAlias() { auxiliary::CloseSoundAlias(); }
void Form1::CloseMovieAlias() { auxiliary::CloseMovieAlias(); }
void Form1::CloseMidiAlias() { auxiliary::CloseMidiAlias(); }

// The window may be closed, even destroyed, while the capture waits; the operation never
// refers to it, so nothing here may touch the window after the call either.
void Form1::RecordTestCapture() { auxiliary::RecordTestCapture(); }

void Form1::PlayTestCapture() { auxiliary::PlayTestCapture(this); }
void Form1::WaveVolumeUp() { auxiliary::WaveVolumeUp(); }
void Form1::WaveVolumeDown() { auxiliary::WaveVolumeDown(); }
void Form1::MidiVolumeUp() { auxiliary::MidiVolumeUp(); }
void Form1::MidiVolumeDown() { auxiliary::MidiVolumeDown(); }

} // namespace vorlo::app
