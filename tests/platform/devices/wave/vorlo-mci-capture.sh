#!/usr/bin/env bash
# vorlo-mci records a second from the private sound server's default source (the null
# sink's monitor) and saves it on drive C: as an 11025 Hz, 8-bit mono WAV; with no such
# source, the capture stops at once, as its status says ("record" answers before the
# server does). Usage: vorlo-mci-capture.sh VORLO_MCI
set -euo pipefail
mci=$1
export VORLO_DRIVE_C=$(mktemp -d)
trap 'rm -rf "$VORLO_DRIVE_C"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
field() { od -An -tu"$1" -j"$2" -N"$1" "$VORLO_DRIVE_C/t.wav" | tr -d ' '; }

out=$({ printf 'open new type waveaudio alias capture\nrecord capture\n'; sleep 1
        printf 'stop capture\nsave capture c:\\t.wav\nclose capture\n'; } | "$mci")
[ "$out" = "$(printf '0\t1\n0\t\n0\t\n0\t\n0\t')" ] || fail "replies: $out"
[ "$(field 2 22) $(field 4 24) $(field 2 34)" = "1 11025 8" ] || fail "not 11025 Hz 8-bit mono"
frames=$(field 4 40)
[ "$frames" -gt 8820 ] && [ "$frames" -lt 16537 ] || fail "$frames frames for a second"

out=$({ printf 'open new type waveaudio alias capture\nrecord capture\n'; sleep 1
        printf 'status capture mode\nclose capture\n'; } | PULSE_SOURCE=vorlo_no_such_source "$mci")
[ "$out" = "$(printf '0\t1\n0\t\n0\tstopped\n0\t')" ] || fail "record without a source: $out"
echo "vorlo-mci capture: all checks passed"
