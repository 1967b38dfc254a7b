"""The keyboard alone drives the player: real key events from the X server, read back as
the media commands they cause.

usage: keyboard_test.py PLAYER DISC    (on the X server DISPLAY names, no window manager)
"""

import sys

from player import Player, xdotool

PLAY = "play cdaudio"
STOP = "stop cdaudio"  # Play sends it too, before it plays
BACK = "status cdaudio position track 0"  # Go back a track, from track 1
TICK = "status cdaudio length"  # every tick of the display asks it

# Each step: what it shows, the keys, and how many of PLAY, STOP and BACK the trace then
# holds in all. A key that pressed twice, or pressed the wrong button, shows in the counts.
STEPS = [
    ("focus starts on Play, and Space presses it", ["space"], (1, 1, 0)),
    ("Tab, then Enter, presses Stop", ["Tab", "Return"], (1, 2, 0)),
    ("Enter again (on the keypad) presses Stop again", ["KP_Enter"], (1, 3, 0)),
    ("Shift+Tab, then Enter, presses Play", ["shift+Tab", "Return"], (2, 4, 0)),
    ("three Tabs from Play reach Go back a track", ["Tab", "Tab", "Tab", "Return"], (2, 4, 1)),
]


def counts(player):
    commands = player.commands()
    return tuple(commands.count(c) for c in (PLAY, STOP, BACK))


def main(program, disc):
    with Player(program, disc) as player:
        xdotool("windowfocus", "--sync", player.window())
        for what, keys, expected in STEPS:
            xdotool("key", "--delay", "50", *keys)
            player.wait_for(lambda: counts(player) == expected, f"{what} (counts {counts(player)}, want {expected})")
            print(f"ok: {what}")
        # Two more ticks: nothing else was pressed late.
        ticks = player.commands().count(TICK)
        player.wait_for(lambda: player.commands().count(TICK) >= ticks + 2, "two more ticks")
        if counts(player) != STEPS[-1][2]:
            raise AssertionError(f"a late press: counts {counts(player)}")
    print("keyboard: all steps hold")


if __name__ == "__main__":
    main(*sys.argv[1:])
