#pragma once

class QPushButton;
class QTimer;
class QWidget;

namespace vorlo::app {

class PositionBarWidget;
class SurfaceWidget;

// The window's caption: ten blanks, then the name between its ornaments.
inline constexpr const char* kFormCaption = "          .:[Vorlo Player]:.";
// The window's client area, in twips.
inline constexpr int kClientWidthTwips = 2160;
inline constexpr int kClientHeightTwips = 975;
// How often the position display is refreshed.
inline constexpr int kTimerIntervalMs = 100;

// The fourteen controls of the window, named as the window's code names them. The
// window owns them all.
struct FormControls {
    QPushButton* Command4 = nullptr;  // Play
    QPushButton* Command8 = nullptr;  // Stop
    QPushButton* Command18 = nullptr; // Eject
    QPushButton* Command16 = nullptr; // previous track
    QPushButton* Command17 = nullptr; // next track
    QPushButton* Command2 = nullptr;  // About
    QPushButton* Command1 = nullptr;  // Exit
    SurfaceWidget* ProgressBar1 = nullptr; // position of the sound alias; below the client area
    SurfaceWidget* ProgressBar2 = nullptr; // position of the movie alias; below the client area
    SurfaceWidget* ProgressBar3 = nullptr; // position of the midi alias; below the client area
    PositionBarWidget* ProgressBar4 = nullptr; // position on the disc; the one bar in view
    SurfaceWidget* Picture1 = nullptr;     // spare; below the client area
    SurfaceWidget* Picture2 = nullptr;     // spare; below the client area
    QTimer* Timer1 = nullptr;              // drives the position display, running from the start
};

// Makes the window a fixed-size tool window with its caption, size and black background,
// and creates its controls in tab order, placed in twips at the screen's density, with
// their captions, fonts, tooltips and colours. Focus starts on Play; Space and Enter press
// the button that has it. The window and its controls are presented to assistive
// technology (see Accessibility.h). Nothing is bound.
FormControls LayOutForm(QWidget& form);

} // namespace vorlo::app
