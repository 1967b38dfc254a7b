"""The installed-style player as a desktop test meets it: started as its own process on
the X server that DISPLAY names, playing a disc image into the silent device, with every
media command it sends appended to a trace file."""

import os
import subprocess
import tempfile
import time

# Seconds to wait for something that should happen at once; only catches a hang.
PATIENCE = 20
POLL_SECONDS = 0.05
CAPTION = "          .:[Vorlo Player]:."
# The controls that take the focus, in the order Tab walks them.
BUTTONS = ["Play", "Stop", "Eject", "Go back a track", "Skip Track", "Exit", "About"]


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True, text=True,
                          timeout=PATIENCE).stdout.strip()


class Player:
    def __init__(self, program, disc, **environment):
        self._scratch = tempfile.TemporaryDirectory()
        self.trace_path = os.path.join(self._scratch.name, "trace.log")
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", VORLO_AUDIO="null", VORLO_CDROM=disc,
                   VORLO_MCI_TRACE=self.trace_path, XDG_RUNTIME_DIR=self._scratch.name, **environment)
        self.process = subprocess.Popen([program], env=env)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.process.terminate()
        self.process.wait(timeout=PATIENCE)
        self._scratch.cleanup()

    def window(self):
        """The X id of the player's window, once it is shown."""
        return xdotool("search", "--sync", "--onlyvisible", "--name", "Vorlo Player").split()[0]

    def commands(self):
        """Every command traced so far; trace lines are "time, command, error, reply" tab-separated."""
        try:
            with open(self.trace_path, encoding="latin-1") as trace:
                return [line.split("\t")[1] for line in trace if line.count("\t") >= 3]
        except FileNotFoundError:
            return []

    def wait_for(self, holds, what):
        """Waits until holds() is true; fails with the trace's tail if it does not come."""
        deadline = time.monotonic() + PATIENCE
        while not holds():
            if self.process.poll() is not None:
                raise AssertionError(f"{what}: the player ended with {self.process.returncode}")
            if time.monotonic() > deadline:
                raise AssertionError(f"{what}: not within {PATIENCE} s; the trace ends with {self.commands()[-12:]}")
            time.sleep(POLL_SECONDS)
