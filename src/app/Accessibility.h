#pragma once

// How the window reaches assistive technology (a screen reader, through the platform's
// accessibility bridge). The buttons need nothing here: Qt already presents a push button
// named by its accessible name, which the layout sets to the tooltip.
namespace vorlo::app {

// Teaches Qt's accessibility layer about the window's own widgets:
// - Form1 is a window, named by its caption, whose children are only the controls that
//   lie at least partly in its client area; surfaces placed wholly outside it are never
//   seen, so they are left out of the tree;
// - a PositionBarWidget is a read-only progress bar, named by its accessible name, whose
//   value is its part played in percent, from 0 to 100.
// Call before the first such widget is shown; later calls do nothing. UI thread only.
void InstallAccessibleInterfaces();

} // namespace vorlo::app
