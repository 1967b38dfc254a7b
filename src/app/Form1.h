#pragma once

#include <QWidget>

namespace vorlo::app {

// The program's one window.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
};

} // namespace vorlo::app
