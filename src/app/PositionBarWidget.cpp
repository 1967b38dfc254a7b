#include "app/PositionBarWidget.h"

#include <QAccessible>

namespace vorlo::app {

void PositionBarWidget::SetPlayedPercent(int percent)
{
    playedPercent_ = percent;
    if (!announcer_.Offer(percent, PercentAnnouncer::Clock::now()))
        return;
    QAccessibleValueChangeEvent event(this, percent);
    QAccessible::updateAccessibility(&event);
}

} // namespace vorlo::app
