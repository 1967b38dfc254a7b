"""What a screen reader finds of the player through the accessibility bus: the window
named by its caption, seven push buttons named by their tooltips, and the disc bar as a
progress bar whose value rises while the disc plays, announced at most once a second.

usage: accessibility_test.py PLAYER DISC
Runs on the X server DISPLAY names, on a session bus with the accessibility bus started
(with-x-server --accessibility, under dbus-run-session). DISC should play for a minute or
more, so that its percentage moves more often than once a second.
"""

import sys
import time

import pyatspi
from gi.repository import GLib

from player import BUTTONS, CAPTION, PATIENCE, Player

BAR = "Disc position"
APPLICATION = "Vorlo Player"
# How far the bar must rise, in whole percent, from its first value after Play (which
# already counts the disc's two-second lead-in) before the play is judged.
RISE_PERCENT = 4
SAMPLE_MS = 100
VALUE_EVENTS = ["object:property-change:accessible-value", "object:value-changed"]


def find_application():
    deadline = time.monotonic() + PATIENCE
    while time.monotonic() < deadline:
        for application in pyatspi.Registry.getDesktop(0):
            if application is not None and application.name == APPLICATION:
                return application
        time.sleep(0.1)
    raise AssertionError(f"no application named {APPLICATION!r} on the accessibility bus")


def check_tree(window):
    if (window.name, window.getRole()) != (CAPTION, pyatspi.ROLE_FRAME):
        raise AssertionError(f"the window is {window.name!r}, {window.getRoleName()}")
    children = [(child.name, child.getRoleName()) for child in window]
    buttons = [name for name, role in children if role == "push button"]
    if sorted(buttons) != sorted(BUTTONS):
        raise AssertionError(f"push buttons {buttons}, want {BUTTONS}")
    others = [child for child in children if child[1] != "push button"]
    # The bar is all there is besides the buttons: the surfaces out of view are left out.
    if others != [(BAR, "progress bar")]:
        raise AssertionError(f"besides the buttons the window holds {others}")
    bar = next(child for child in window if child.name == BAR)
    value = bar.queryValue()
    if (value.minimumValue, value.maximumValue, value.currentValue) != (0, 100, 0):
        raise AssertionError(f"the bar's range and value before play: {value.minimumValue}..{value.maximumValue}, "
                             f"{value.currentValue}")
    return bar, next(child for child in window if child.name == "Play")


def watch_play(bar):
    """Samples the bar's value until it has risen RISE_PERCENT above its first non-zero
    value, counting the value events
    that arrive meanwhile. Returns (samples, events, seconds)."""
    samples, events = [], []
    listener = lambda event: events.append(event.type) if event.source == bar else None
    started = time.monotonic()

    def sample():
        samples.append(bar.queryValue().currentValue)
        first = next((value for value in samples if value > 0), None)
        if (first is not None and samples[-1] >= first + RISE_PERCENT) or time.monotonic() - started > PATIENCE:
            pyatspi.Registry.stop()
            return False
        return True

    for kind in VALUE_EVENTS:
        pyatspi.Registry.registerEventListener(listener, kind)
    GLib.timeout_add(SAMPLE_MS, sample)
    pyatspi.Registry.start()
    seconds = time.monotonic() - started
    for kind in VALUE_EVENTS:
        pyatspi.Registry.deregisterEventListener(listener, kind)
    return samples, events, seconds


def main(program, disc):
    with Player(program, disc, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1") as player:
        player.window()
        bar, play = check_tree(find_application()[0])
        print("ok: the window, seven push buttons named by their tooltips, one progress bar")

        actions = play.queryAction()
        actions.doAction(next(i for i in range(actions.nActions) if actions.getName(i) == "Press"))
        samples, events, seconds = watch_play(bar)
        rise = samples[-1] - next((value for value in samples if value > 0), 0)
        if rise < RISE_PERCENT or any(b < a for a, b in zip(samples, samples[1:])):
            raise AssertionError(f"the bar's value while playing: {samples}")
        print(f"ok: the bar rose to {samples[-1]} % in {seconds:.1f} s")
        changes = len(set(samples)) - 1
        # One event for each announcement; announcements come at most once a second.
        if not 1 <= len(events) <= seconds + 1 or len(events) > changes:
            raise AssertionError(f"{len(events)} value events in {seconds:.1f} s for {changes} changes")
        print(f"ok: {len(events)} value events in {seconds:.1f} s")
    print("accessibility: all checks hold")


if __name__ == "__main__":
    main(*sys.argv[1:])
