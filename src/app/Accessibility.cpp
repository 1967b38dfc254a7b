#include "app/Accessibility.h"

#include "app/Form1.h"
#include "app/PositionBarWidget.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace vorlo::app {

namespace {

constexpr int kPercentMin = 0;
constexpr int kPercentMax = 100;
constexpr int kPercentStep = 1;

// The window: its children are the controls that can be seen.
class FormAccessible final : public QAccessibleWidget {
public:
    explicit FormAccessible(QWidget* form) : QAccessibleWidget(form, QAccessible::Window) {}

    int childCount() const override { return static_cast<int>(SeenControls().size()); }

    QAccessibleInterface* child(int index) const override
    {
        const QList<QWidget*> controls = SeenControls();
        if (index < 0 || index >= controls.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(controls[index]);
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child)
            return -1;
        return static_cast<int>(SeenControls().indexOf(qobject_cast<QWidget*>(child->object())));
    }

private:
    // The child widgets, in creation order, that overlap the client area.
    QList<QWidget*> SeenControls() const
    {
        QList<QWidget*> seen;
        const QRect clientArea = widget()->rect();
        for (QObject* object : widget()->children()) {
            auto* control = qobject_cast<QWidget*>(object);
            if (control && !control->isWindow() && control->geometry().intersects(clientArea))
                seen << control;
        }
        return seen;
    }
};

// A position bar: a read-only progress indicator in whole percent.
class PositionBarAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit PositionBarAccessible(PositionBarWidget* bar) : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }

    QVariant currentValue() const override { return static_cast<PositionBarWidget*>(widget())->PlayedPercent(); }
    // The user cannot move the position through the bar.
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return kPercentMax; }
    QVariant minimumValue() const override { return kPercentMin; }
    QVariant minimumStepSize() const override { return kPercentStep; }
};

QAccessibleInterface* MakeInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String(Form1::staticMetaObject.className()))
        return new FormAccessible(static_cast<QWidget*>(object));
    if (className == QLatin1String(PositionBarWidget::staticMetaObject.className()))
        return new PositionBarAccessible(static_cast<PositionBarWidget*>(object));
    return nullptr;
}

} // namespace

void InstallAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(MakeInterface);
        return true;
    }();
    (void)installed;
}

} // namespace vorlo::app
