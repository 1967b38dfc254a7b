#pragma once

#include "app/DesktopControl.h"

#include <QObject>
#include <QString>

#include <optional>

// The player on the desktop's session bus, as MPRIS describes a media player: the desktop's
// media keys, panels and lock screens find it there, and a second start of the program
// hands its disc over to it. UI thread only.
namespace vorlo::app {

class Form1;
class MprisPlayerAdaptor;

// Offers the window's player on the session bus under org.mpris.MediaPlayer2.vorloplayer
// at /org/mpris/MediaPlayer2, for as long as it lives. Without a session bus, or when the
// name is taken, it offers nothing and costs nothing. Changes of the player's properties go
// out as PropertiesChanged, jumps of the position as Seeked. Must not outlive the window.
class MprisService : public QObject {
    Q_OBJECT
public:
    explicit MprisService(Form1& window);
    ~MprisService() override;

    // Whether the player holds its name on the bus.
    bool Offered() const { return offered_; }

private:
    void AnnounceChanges(const QStringList& playerProperties);

    std::optional<DesktopControl> control_;
    MprisPlayerAdaptor* player_ = nullptr;
    bool offered_ = false;
};

// When another player already holds the name, raises its window and hands it `disc` (if
// one was named) through its MPRIS Raise and OpenUri, and returns the status this process
// should end with: 0 once the other took over, 1 (after a line on standard error) when it
// refused or did not answer. Returns nothing when no other player runs or there is no
// session bus: this process is the player. Blocks until the other player has answered.
std::optional<int> HandOverToRunningPlayer(const std::optional<QString>& disc);

} // namespace vorlo::app
