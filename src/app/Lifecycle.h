#pragma once

#include <cstdint>

class QWidget;

// Start-up, ending and the two small dialogs of the main window.
namespace vorlo::app {

// Moves the window so that its frame is centred on its screen. No clamping: on a screen
// smaller than the window the left or top edge goes negative. Called before the window is
// first shown, it centres the window again once the window system has added the frame.
// Throws what CentredEdge throws.
void CentreWindow(QWidget& window);

// The left (or top) edge, in twips, that centres a window's outer extent on the screen's:
// their difference converted to a 32-bit integer, to the nearest with halves to even, then
// halved by integer division toward zero. Negative when the window is the larger. Throws
// std::overflow_error when the difference is not a number or does not fit in 32 bits.
std::int32_t CentredEdge(double screenTwips, double windowTwips);

// Asks "Are you sure you want to Exit?" in a modal box; on Yes ends the process at once,
// from inside this call, without releasing any device. On No nothing happens.
void ConfirmExit(QWidget& window);

// Shows the modal About box: the program's name, version and maker, and one button.
void ShowAbout(QWidget& window);

// Stops and closes every alias the program knows of (the window is being unloaded).
void ReleaseAllDevices();

// Stops and closes the disc (the window object is being destroyed).
void ReleaseDisc();

} // namespace vorlo::app
