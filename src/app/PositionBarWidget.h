#pragma once

#include "app/ProgressAnnouncement.h"
#include "app/SurfaceWidget.h"

namespace vorlo::app {

// A position bar that assistive technology reads as a progress indicator: besides its
// picture it keeps the part played in whole percent, and tells the accessibility layer of
// a change as PercentAnnouncer allows (at most once a second, only a real change). The
// display sets the picture and the percentage apart; neither is worked out from the
// other. UI thread only.
class PositionBarWidget final : public SurfaceWidget {
    Q_OBJECT
public:
    using SurfaceWidget::SurfaceWidget;

    // The part played, from 0 to 100, as last set.
    int PlayedPercent() const { return playedPercent_; }
    void SetPlayedPercent(int percent);

private:
    int playedPercent_ = 0;
    PercentAnnouncer announcer_;
};

} // namespace vorlo::app
