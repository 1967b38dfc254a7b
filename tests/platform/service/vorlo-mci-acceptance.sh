#!/usr/bin/env bash
# vorlo-mci end to end: refused sheets and a missing image, the acceptance exchange on a
# standard image and its trace, and input answered line by line.
# Usage: vorlo-mci-acceptance.sh VORLO_MCI DISCS_DIR
set -euo pipefail
mci=$1
discs=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Every sheet that cannot be played is refused on open with 296 and a reason that names it,
# and leaves nothing open. On some of ours, in refused-sheets/, libcdio would write outside
# its track table or divide by zero while it opens them; on others it places a track before
# the disc or before the track ahead of it. libcdio opens a CUE sheet only beside a BIN of
# the same name, so each that names disc.bin gets one.
cp "$(dirname "$0")"/refused-sheets/* "$work"/
{ echo 'FILE "disc.bin" BINARY'
  for n in $(seq 100); do printf '  TRACK %d AUDIO\n    INDEX 01 00:0%d:00\n' "$n" $((n % 2)); done
} >"$work/a-hundred-tracks.cue"
head -c $((225 * 2352)) /dev/zero >"$work/disc.bin"
for sheet in "$work"/*.cue; do grep -qF '"disc.bin"' "$sheet" && ln -s disc.bin "${sheet%.cue}.bin"; done
for sheet in "$work"/*.cue "$work"/*.toc "$discs"/bad-*.cue; do
  [ -e "$sheet" ] || continue
  out=$(printf 'open cdaudio\nstatus cdaudio mode\n' | VORLO_CDROM="$sheet" "$mci" 2>"$work/err")
  [ "$out" = $'296\t\n263\t' ] || fail "$sheet opened: $out"
  grep -qF "$(basename "$sheet")" "$work/err" || fail "$sheet: no reason given"
done
# The same layout with a sheet that can be played opens, so the refusals are the sheets' own.
printf 'FILE "disc.bin" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n' >"$work/playable.cue"
ln -s disc.bin "$work/playable.bin"
out=$(echo "open cdaudio" | VORLO_CDROM="$work/playable.cue" "$mci")
[ "$out" = $'0\t1' ] || fail "a playable sheet was refused: $out"
out=$(echo "open cdaudio" | VORLO_CDROM="$work/missing.cue" "$mci" 2>"$work/err")
[ "$out" = $'275\t' ] || fail "missing image: $out"
grep -qF missing.cue "$work/err" || fail "missing image: no reason given"

printf 'open cdaudio\nset cdaudio time format milliseconds\nstatus cdaudio position track 1\nstatus cdaudio position track 0\nstatus sound length\n' \
  | VORLO_CDROM="$discs/cdda.cue" VORLO_MCI_TRACE="$work/trace" "$mci" >"$work/out"
printf '0\t1\n0\t\n0\t2001\n282\t\n263\t\n' | diff -u - "$work/out" || fail "acceptance exchange"

# A rising timestamp, the command, the error and the reply, for each command and for the
# close at the end of input.
printf '%s\t%s\t%s\n' "open cdaudio" 0 1 "set cdaudio time format milliseconds" 0 "" \
  "status cdaudio position track 1" 0 2001 "status cdaudio position track 0" 282 "" \
  "status sound length" 263 "" "close cdaudio" 0 "" | diff -u - <(cut -f2- "$work/trace") || fail "trace"
awk -F'\t' '$1 !~ /^[0-9.]+$/ || $1 < last { exit 1 } { last = $1 }' "$work/trace" || fail "trace timestamps"

# Each line is answered as it arrives; a TAB in a command reaches the trace as a blank.
{ echo "open cdaudio"; sleep 1; printf 'status cdaudio\tposition\n'; } \
  | VORLO_CDROM="$discs/cdda.cue" VORLO_MCI_TRACE="$work/slow-trace" "$mci" >"$work/slow"
printf '0\t1\n0\t00:02:00\n' | diff -u - "$work/slow" || fail "delayed input"
sed -n 2p "$work/slow-trace" | cut -f2 | grep -qx 'status cdaudio position' || fail "TAB in the trace"

echo "vorlo-mci acceptance: all checks passed"
