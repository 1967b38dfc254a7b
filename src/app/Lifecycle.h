#pragma once

class QWidget;

// Start-up, ending and the two small dialogs of the main window.
namespace vorlo::app {

// Moves the window so that its frame is centred on its screen. No clamping: on a screen
// smaller than the window the left or top edge goes negative.
void CentreWindow(QWidget& window);

// Asks "Are you sure you want to Exit?"; on Yes ends the program at once, without
// releasing any device. On No nothing happens.
void ConfirmExit(QWidget& window);

// Shows the About box.
void ShowAbout(QWidget& window);

// Stops and closes every alias the program knows of (the window is being unloaded).
void ReleaseAllDevices();

// Stops and closes the disc (the window object is being destroyed).
void ReleaseDisc();

} // namespace vorlo::app
