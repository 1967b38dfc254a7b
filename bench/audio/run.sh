#!/usr/bin/env bash
# The sound benchmarks, against a private PulseAudio server with a null sink:
#   - CPU per minute played: vorlo-mci plays the demo disc for 30 s to the null sink (and
#     to the null device), and mpv plays the same image to the same sink for comparison;
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

# cpu_seconds COMMAND...: runs COMMAND alone under /usr/bin/time and prints its user+system
# CPU seconds. Its input comes from a FIFO, so that the process feeding it is not counted.
cpu_seconds() {
  rm -f "$work/in"; mkfifo "$work/in"
  (printf 'open cdaudio\nplay cdaudio\n'; sleep "$seconds") > "$work/in" &
  /usr/bin/time -f "%U %S" -o "$work/time" "$@" < "$work/in" > /dev/null 2>&1
  wait
  awk '{ print $1 + $2 }' "$work/time"
}

per_minute() { awk -v c="$1" -v s="$seconds" 'BEGIN { printf "%.3f", c * 60 / s }'; }

ours=$(VORLO_CDROM=$demo cpu_seconds "$mci")
null=$(VORLO_AUDIO=null VORLO_CDROM=$demo cpu_seconds "$mci")
mpv=$(cpu_seconds mpv --no-config --really-quiet --no-video --ao=pulse --length="$seconds" \
        --demuxer=rawaudio --demuxer-rawaudio-format=s16le --demuxer-rawaudio-rate=44100 \
        --demuxer-rawaudio-channels=2 "${demo%.cue}.bin")

echo "CPU per minute played ($seconds s of the demo disc; goal: at most 0.3 s, and 0.3 of mpv's):"
echo "  vorlo-mci to the PulseAudio null sink:  $(per_minute "$ours") s"
echo "  vorlo-mci to the null device:           $(per_minute "$null") s"
echo "  mpv, the same image to the same sink:   $(per_minute "$mpv") s"
echo "  ratio vorlo-mci / mpv:                  $(awk -v a="$ours" -v b="$mpv" 'BEGIN { printf "%.2f", a / b }')"
echo
echo "Stop latency and position error against the monitor (goals: 50 ms and 15 ms):"
"$probe" "$demo" 8
