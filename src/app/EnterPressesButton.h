#pragma once

class QAbstractButton;

namespace vorlo::app {

// Lets Enter (Return, or Enter on the keypad) press the button while it has the focus, as
// Space does: a standard push button takes both. The button does not become a default
// button, so Enter reaches it only through the focus, and one key press is one click
// (a held key's repeats do not click again). UI thread only.
void LetEnterPress(QAbstractButton& button);

} // namespace vorlo::app
