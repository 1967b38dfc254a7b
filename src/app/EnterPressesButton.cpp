#include "app/EnterPressesButton.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QObject>

namespace vorlo::app {

namespace {

// Watches one button's key presses; lives as the button's child.
class EnterWatcher final : public QObject {
public:
    explicit EnterWatcher(QAbstractButton& button) : QObject(&button), button_(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &button_ || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<const QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        if (!key->isAutoRepeat())
            button_.click();
        return true;
    }

private:
    QAbstractButton& button_;
};

} // namespace

void LetEnterPress(QAbstractButton& button) { button.installEventFilter(new EnterWatcher(button)); }

} // namespace vorlo::app
