#!/usr/bin/env bash
# The player as a desktop session meets it, on the private session bus that
# dbus-run-session gives this script: the command line's answers, the MPRIS player that
# playerctl sees on a cue sheet with CD-Text, a second start handing its disc over, and a
# start without a session bus. Every command the players send is traced to files here.
# Usage: dbus-run-session -- desktop-session.sh PLAYER DISPLAY_VERSION PLAYERCTL
set -euo pipefail
player=$1 display_version=$2 playerctl=${3:-}
[ -x "$playerctl" ] || { echo "playerctl is missing: scripts/setup test installs it" >&2; exit 1; }
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || { echo "no session bus: run under dbus-run-session" >&2; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=offscreen VORLO_AUDIO=null XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset VORLO_CDROM
cd "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }
# Waits up to ten seconds (a bound only a hang exceeds) for a command to succeed.
wait_for() {
  local what=$1; shift
  for _ in $(seq 100); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  fail "$what"
}
ctl() { "$playerctl" -p vorloplayer "$@"; }
field() { [ "$(ctl metadata --format "$1" 2>/dev/null)" = "$2" ]; }

# NAME ALBUM: three four-second tracks of silence; tracks 1 and 2 have CD-Text.
write_disc() {
  truncate -s $((3 * 300 * 2352)) "$1.bin"
  cat >"$1.cue" <<CUE
TITLE "$2"
PERFORMER "Sheet Band"
FILE "$1.bin" BINARY
  TRACK 01 AUDIO
    TITLE "First Song"
    PERFORMER "Singer One"
    INDEX 01 00:00:00
  TRACK 02 AUDIO
    TITLE "Second Song"
    INDEX 01 00:04:00
  TRACK 03 AUDIO
    INDEX 01 00:08:00
CUE
}
write_disc first "First Album"
write_disc second "Second Album"

echo "--- the command line"
[ "$("$player" --version 2>/dev/null)" = "Vorlo Player $display_version" ] || fail "--version: $("$player" --version 2>&1)"
"$player" --help 2>/dev/null | grep -q DISC || fail "--help does not describe DISC"
for bad in /nonexistent.cue --shuffle "first.cue second.cue" first.bin; do
  status=0
  # shellcheck disable=SC2086 # the two-disc row is two words
  "$player" $bad >out 2>err || status=$?
  [ "$status" -eq 2 ] || fail "'$bad' exits $status, not 2"
  [ "$(grep -c . err)" -eq 1 ] && grep -q '^vorlo-player: ' err || fail "'$bad' gives no one-line reason: $(cat err)"
  [ ! -s out ] || fail "'$bad' writes to standard output"
done
grep -q '/nonexistent.cue' <("$player" /nonexistent.cue 2>&1) || fail "the reason does not name the missing file"
# In a terminal with no display, as over ssh, the answers are the same.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$player" --version 2>&1)" = "Vorlo Player $display_version" ] ||
  fail "--version without a display: $(env -u DISPLAY "$player" --version 2>&1)"
status=0; env -u DISPLAY -u WAYLAND_DISPLAY "$player" /nonexistent.cue 2>/dev/null || status=$?
[ "$status" -eq 2 ] || fail "a missing disc without a display exits $status, not 2"

echo "--- playerctl on a cue sheet with CD-Text"
VORLO_MCI_TRACE=$work/trace "$player" first.cue & pids+=($!)
wait_for "the player never appeared on the bus" sh -c "'$playerctl' -l | grep -qx vorloplayer"
ctl play
wait_for "Play did not play" sh -c "[ \"\$('$playerctl' -p vorloplayer status)\" = Playing ]"
shown=$(ctl metadata)
grep -q 'xesam:title *First Song$' <<<"$shown" || fail "no title in: $shown"
grep -q 'xesam:artist *Singer One$' <<<"$shown" || fail "no artist in: $shown"
grep -q 'mpris:trackid *./com/vorloproductions/vorloplayer/track/1.$' <<<"$shown" || fail "no track id in: $shown"

traced=$(wc -l <trace)
ctl next
wait_for "Next did not reach track 2" field '{{title}}|{{artist}}' "Second Song|Sheet Band"
wait_for "the trace never showed the Next sequence" sh -c \
  "tail -n +$((traced + 1)) trace | cut -f2 | grep -A2 -x 'status cdaudio current track' \
   | tr '\n' '|' | grep -Eq 'status cdaudio current track\|status cdaudio position track 2\|play cdaudio from [0-9]+\|'"

echo "--- a second start hands its disc over"
timeout 20 "$player" second.cue || fail "the second start with a disc exits $?"
wait_for "the running player did not take the second disc" field '{{album}}|{{title}}' "Second Album|First Song"
timeout 20 "$player" || fail "the second start without a disc exits $?"
[ "$("$playerctl" -l | grep -c vorloplayer)" -eq 1 ] || fail "more than one player on the bus"
kill -0 "${pids[0]}" || fail "the first player ended"

echo "--- without a session bus the player starts on its own"
DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus VORLO_MCI_TRACE=$work/alone "$player" first.cue & pids+=($!)
wait_for "the player without a bus never ticked" grep -q 'status cdaudio length' alone
kill -0 "${pids[1]}" || fail "the player without a bus ended"

echo "--- Quit ends the player on the bus"
gdbus call --session -d org.mpris.MediaPlayer2.vorloplayer -o /org/mpris/MediaPlayer2 \
  -m org.mpris.MediaPlayer2.Quit >/dev/null
status=0
wait "${pids[0]}" || status=$?
[ "$status" -eq 0 ] || fail "after Quit the player exits $status"
echo "all passed"
