#!/usr/bin/env bash
# vorlo-mci end to end: the acceptance exchange on a standard image, refused sheets, the
# trace, and the aliases closed at the end of input.
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
printf '0\t1\n0\t\n0\t2001\n282\t\n263\t\n' >"$work/want"
diff -u "$work/want" "$work/out" || fail "acceptance exchange"

# Five commands and the close at the end of input, each a line of four fields.
[ "$(wc -l <"$work/trace")" -eq 6 ] || fail "trace has $(wc -l <"$work/trace") lines"
awk -F'\t' 'NF != 4 { exit 1 }' "$work/trace" || fail "trace lines need four fields"
tail -n 1 "$work/trace" | cut -f2-3 | grep -qx $'close cdaudio\t0' || fail "no close at end of input"

# Each line is answered as it arrives, not at the end of input.
{ echo "open cdaudio"; sleep 1; echo "status cdaudio position"; } \
  | VORLO_CDROM="$discs/cdda.cue" "$mci" >"$work/slow"
printf '0\t1\n0\t00:02:00\n' | diff -u - "$work/slow" || fail "delayed input"

for sheet in "$discs"/bad-*.cue; do
  out=$(echo "open cdaudio" | VORLO_CDROM="$sheet" "$mci" 2>"$work/err")
  [ "$out" = $'296\t' ] || fail "$sheet opened: $out"
  grep -q "$(basename "$sheet")" "$work/err" || fail "$sheet: no reason given"
done

out=$(echo "open cdaudio" | VORLO_CDROM=/nonexistent/disc.cue "$mci" 2>/dev/null)
[ "$out" = $'275\t' ] || fail "missing image: $out"
echo "vorlo-mci acceptance: all checks passed"
