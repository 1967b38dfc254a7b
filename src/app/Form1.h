#pragma once

#include "app/Form1Layout.h"

#include <QWidget>

class QCloseEvent;

namespace vorlo::app {

// The program's one window: seven buttons, the disc's position bar, three bars and two
// spare surfaces below the client area, and the timer that drives the position display.
// Each bound event runs one operation of the window, and the operations may call one
// another. The window keeps no state between events beyond its controls; what persists
// lives in the media layer and in the pixels of the bars. UI thread only.
//
// The bindings: Play, Stop, Eject, previous and next track, About and Exit run the
// operation of the same name; every tick of Timer1 runs RefreshPositionBars; the end of
// construction (before the window is first shown) runs CentreWindow; the close box, and
// the session closing the window at logout, run ReleaseAllDevices; destroying the window
// runs ReleaseDisc.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    const FormControls& Controls() const { return controls_; }

    // The bound operations.
    void PlayDisc();
    void StopDisc();
    void EjectDisc();
    void PreviousTrack();
    void NextTrack();
    void ShowAbout();
    void ConfirmExit();
    void RefreshPositionBars();

    // Operations that nothing binds live in their own source files beside this one.

    // The auxiliary operations: nothing in the window invokes them, yet each works when
    // invoked. See auxiliary/ for what each does.
    void CloseSoundAlias();
    void CloseMovieAlias();
    void CloseMidiAlias();
    void RecordTestCapture();
    void PlayTestCapture();
    void WaveVolumeUp();
    void WaveVolumeDown();
    void MidiVolumeUp();
    void MidiVolumeDown();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Bind();

    FormControls controls_;
};

} // namespace vorlo::app
