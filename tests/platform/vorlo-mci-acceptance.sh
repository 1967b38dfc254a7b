#!/usr/bin/env bash
# vorlo-mci end to end: the acceptance exchange on a standard image and its trace, input
# answered line by line, refused sheets, and a missing image.
# Usage: vorlo-mci-acceptance.sh VORLO_MCI DISCS_DIR
set -euo pipefail
mci=$1
discs=$2
[ -d "$discs" ] || { echo "no shared discs at $discs: skipped"; exit 0; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

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

for sheet in "$discs"/bad-*.cue; do
  out=$(echo "open cdaudio" | VORLO_CDROM="$sheet" "$mci" 2>"$work/err")
  [ "$out" = $'296\t' ] || fail "$sheet opened: $out"
  grep -q "$(basename "$sheet")" "$work/err" || fail "$sheet: no reason given"
done

out=$(echo "open cdaudio" | VORLO_CDROM=/nonexistent/disc.cue "$mci" 2>/dev/null)
[ "$out" = $'275\t' ] || fail "missing image: $out"
echo "vorlo-mci acceptance: all checks passed"
