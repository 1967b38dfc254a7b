#!/usr/bin/env bash
# The sound benchmarks, against a private PulseAudio server with a null sink:
#   - CPU per minute played: vorlo-mci plays the demo disc to the null sink (and to the
#     null device), and mpv plays the same image to the same sink for comparison, each
#     three times for 30 s;
#   - stop latency and position error against the sink's monitor (vorlo-sound-probe).
# Usage: bench/audio/run.sh [BUILD_DIR]   (default: build; it must have been built)
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib.sh"

build=${1:-$VORLO_ROOT/build}
demo=$build/resources/demo/demo.cue
mci=$build/src/platform/vorlo-mci
probe=$build/bench/audio/vorlo-sound-probe
seconds=30
for f in "$demo" "$mci" "$probe"; do
  [ -e "$f" ] || { echo "missing $f: build first" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'vorlo_stop_pulse; rm -rf "$work"' EXIT
vorlo_start_pulse

runs=3
# "MEDIAN MIN MAX" CPU seconds per minute played, over $runs runs of $seconds s each.
cpu() { vorlo_cpu_per_minute "$seconds" "$runs" "$@"; }

ours=$(VORLO_CDROM=$demo cpu "$mci")
null=$(VORLO_AUDIO=null VORLO_CDROM=$demo cpu "$mci")
mpv=$(cpu mpv --no-config --really-quiet --no-video --ao=pulse --length="$seconds" \
        --demuxer=rawaudio --demuxer-rawaudio-format=s16le --demuxer-rawaudio-rate=44100 \
        --demuxer-rawaudio-channels=2 "${demo%.cue}.bin")

echo "CPU per minute played, median (range) of $runs runs of $seconds s of the demo disc"
echo "(goal: at most 0.3 s, and 0.3 of mpv's):"
echo "  vorlo-mci to the PulseAudio null sink:  $(vorlo_cpu_shown "$ours")"
echo "  vorlo-mci to the null device:           $(vorlo_cpu_shown "$null")"
echo "  mpv, the same image to the same sink:   $(vorlo_cpu_shown "$mpv")"
echo "  ratio vorlo-mci / mpv, of the medians:  $(awk -v a="${ours%% *}" -v b="${mpv%% *}" 'BEGIN { printf "%.2f", a / b }')"
echo
echo "Stop latency and position error against the monitor (goals: 50 ms and 15 ms):"
"$probe" "$demo" 8
