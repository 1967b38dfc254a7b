#pragma once

class QWidget;

namespace vorlo::auxiliary {

// Records about one second of whatever the default source hears while the disc plays, and
// has the media service save it as "c:\cdtest.wav". In order: deletes that file, plays the
// disc, opens and starts the capture alias, waits one second, stops, saves and closes the
// capture, stops the disc. A failing step, even one that throws, is skipped over.
//
// During the wait, window events and timer ticks run; the wait sleeps on the monotonic
// clock. The window may close, even be destroyed, meanwhile: nothing here refers to it, and
// the remaining commands then fail harmlessly. If the application quits, the wait ends at
// once. UI thread only; throws nothing.
void RecordTestCapture();

// Plays "c:\cdtest.wav" to its end. If that fails, shows a modal box, owned by `owner`
// (which may be null), with the application's title as its caption and one OK button.
// UI thread only; blocks while the sound plays.
void PlayTestCapture(QWidget* owner);

} // namespace vorlo::auxiliary
