#include "app/Form1.h"

namespace vorlo::app {

Form1::Form1(QWidget* parent) : QWidget(parent) {}

} // namespace vorlo::app
