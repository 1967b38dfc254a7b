#include "app/Lifecycle.h"

// Placeholders until the lifecycle work lands; the bindings already call them.
namespace vorlo::app {

void CentreWindow(QWidget&) {}
void ConfirmExit(QWidget&) {}
void ShowAbout(QWidget&) {}
void ReleaseAllDevices() {}
void ReleaseDisc() {}

} // namespace vorlo::app
