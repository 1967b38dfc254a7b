#!/usr/bin/env bash
# The simulated drive, checked by tools that do not know it: cd-info and cd-paranoia, run
# on the drive holding a disc image, agree with the image itself.
#  - cd-info: the track list (number, start, LSN, type, copy, channels, pre-emphasis), the
#    lead-out, the MCN and the analysis of data tracks. Two columns are the Linux driver's
#    own and are left out: "Green?" (libcdio takes it from the copy bit) and, on discs of
#    audio and data tracks, the disc mode (it reads only the first track's kind).
#  - cd-paranoia: every audio track of every disc rips bit for bit; with the drive's jitter
#    on, the whole of a white-noise disc rips at one constant offset within the jitter.
#  - A program of this build (instrumented, in a sanitizer build) reads the same tracks
#    and samples through libcdio, with the library preloaded as PRELOAD says.
#  - None of them makes a request the drive does not know.
# Usage: check-cd-tools.sh LIBRARY NOISE_DISC_TOOL MATCH_RIP_TOOL LIBCDIO_DATA_DIR
#                          READ_DRIVE_TOOL PRELOAD
set -euo pipefail
library=$1 noise_disc=$2 match_rip=$3 data=$4 read_drive=$5 preload=$6
jitter=8  # stereo samples
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

device=
for n in $(seq 7 27); do
  [ -e "/dev/sr$n" ] || { device=/dev/sr$n; break; }
done
[ -n "$device" ] || { echo "no free /dev/srN name for the simulated drive" >&2; exit 1; }

# on_drive IMAGE COMMAND...: COMMAND with the simulated drive holding IMAGE; a fast drive
# with short seeks keeps the rips quick. VORLO_SIMDRIVE_* variables set by the caller add;
# run_preload set by the caller replaces the library alone as LD_PRELOAD.
on_drive() {
  local image=$1
  shift
  env LD_PRELOAD="${run_preload:-$library}" VORLO_SIMDRIVE_DEVICE="$device" VORLO_SIMDRIVE_IMAGE="$image" \
      VORLO_SIMDRIVE_LOG="$work/drive.log" VORLO_SIMDRIVE_MAX_SPEED=100 VORLO_SIMDRIVE_SEEK_MS=5 "$@"
}

# The facts of a cd-info report the drive must reproduce, one per line.
facts() {
  awk '
    / leadout / && $1 == "170:" { print "leadout", $2, $3; next }
    /^ *[0-9]+: [0-9][0-9]:[0-9][0-9]:[0-9][0-9] / { print "track", $1, $2, $3, $4, $6, $7, $8; kinds[$4] = 1; next }
    /^Disc mode is listed as:/ { mode = $0; next }
    /^Media Catalog Number/ { sub(/not available/, ""); sub(/ *$/, ""); print; next }
    /^CD Analysis Report/ { analysis = 1; next }
    analysis && !/CD-TEXT|^Language|^\t|^ *$/ { print "analysis", $0 }
    END { if (length(kinds) == 1) print mode }'
}

# The tracks of a facts list, as "NUMBER LSN NEXT_LSN KIND".
spans() {
  awk '$1 == "track" || $1 == "leadout" { n++; num[n] = $2 + 0; lsn[n] = $1 == "track" ? $4 : $3; kind[n] = $5 }
       END { for (i = 1; i < n; i++) print num[i], lsn[i] + 0, lsn[i + 1] + 0, kind[i] }' "$1"
}

# rip_track IMAGE BIN NUMBER LSN NEXT_LSN: cd-paranoia's rip of one track is the image's.
rip_track() {
  local image=$1 bin=$2 number=$3 lsn=$4 next=$5 rip=$work/track.raw
  rm -f "$rip"
  if ! on_drive "$image" cd-paranoia -q -c -d "$device" -r "$number" "$rip" >"$work/paranoia.txt" 2>&1; then
    fail "$(basename "$image") track $number: cd-paranoia failed: $(tail -n 3 "$work/paranoia.txt")"
  elif [ "$(stat -c %s "$rip")" -ne $(((next - lsn) * 2352)) ]; then
    fail "$(basename "$image") track $number: ripped $(stat -c %s "$rip") bytes, the track has $(((next - lsn) * 2352))"
  elif ! "$match_rip" "$bin" "$rip" "$lsn" 0 >/dev/null; then
    fail "$(basename "$image") track $number: the rip differs from the image"
  fi
}

# check_disc IMAGE: cd-info agrees; every audio track rips as the image holds it.
check_disc() {
  local image=$1 name
  name=$(basename "$image" .cue)
  cd-info --no-device-info "$image" 2>/dev/null | facts >"$work/$name.sheet"
  on_drive "$image" cd-info --no-device-info "$device" 2>/dev/null | facts >"$work/$name.drive"
  if ! grep -q '^track' "$work/$name.sheet"; then
    fail "$name: cd-info reads no tracks from the sheet"
  elif ! diff -u "$work/$name.sheet" "$work/$name.drive" >"$work/$name.diff"; then
    fail "$name: cd-info on the drive differs from cd-info on the sheet:"
    cat "$work/$name.diff" >&2
  fi
  local number lsn next kind ripped=0
  while read -r number lsn next kind; do
    [ "$kind" = audio ] || continue
    rip_track "$image" "${image%.cue}.bin" "$number" "$lsn" "$next"
    ripped=$((ripped + 1))
  done < <(spans "$work/$name.sheet")
  echo "$name: $(grep -c '^track' "$work/$name.sheet") tracks agree in cd-info, $ripped audio tracks ripped"
}

for image in "$data"/*.cue; do
  case $(basename "$image") in bad-*) continue ;; esac
  check_disc "$image"
done

# White noise: a rip shifted by one sample, or stitched wrongly, cannot match.
"$noise_disc" "$work" noise 17 audio:600 audio:450:75 audio:300
"$noise_disc" "$work" noise-extra 18 audio:400 audio:300:150 data:300
check_disc "$work/noise.cue"
check_disc "$work/noise-extra.cue"

# Jitter: cdparanoia lines the reads up against each other, so the rip is the disc at the
# offset of the reads it started from, the same offset throughout.
: >"$work/drive.log"
if ! VORLO_SIMDRIVE_JITTER=$jitter on_drive "$work/noise.cue" cd-paranoia -q -c -d "$device" -r 1- "$work/jitter.raw" \
    >"$work/paranoia.txt" 2>&1; then
  fail "jitter: cd-paranoia failed: $(tail -n 3 "$work/paranoia.txt")"
elif ! grep -q 'shift=[-1-9]' "$work/drive.log"; then
  fail "jitter: the drive shifted no read"
elif [ "$(stat -c %s "$work/jitter.raw")" -ne $((1425 * 2352)) ]; then
  fail "jitter: ripped $(stat -c %s "$work/jitter.raw") bytes of $((1425 * 2352))"
elif ! shift=$("$match_rip" "$work/noise.bin" "$work/jitter.raw" 0 "$jitter"); then
  fail "jitter: the rip matches the disc at no single offset within $jitter samples"
else
  echo "jitter of up to $jitter samples: the rip matches the disc at $shift samples"
fi

# This build's own kind of program: LD_PRELOAD puts a sanitizer's runtime first if need be.
if ! run_preload=$preload on_drive "$work/noise-extra.cue" "$read_drive" "$device" "$work/read.raw" \
    >"$work/read.txt" 2>"$work/read.err"; then
  fail "reading the drive from a program of this build failed: $(tail -n 5 "$work/read.err")"
elif ! diff <(grep '^track' "$work/noise-extra.sheet" | awk '{ print "track", $2 + 0, $4 + 0, $5 }') "$work/read.txt" >&2; then
  fail "a program of this build reads other tracks"
elif ! "$match_rip" "$work/noise-extra.bin" "$work/read.raw" 0 0 >/dev/null; then
  fail "a program of this build reads other samples"
else
  echo "a program of this build reads the tracks and the samples (LD_PRELOAD=$preload)"
fi

# Every request the tools made, drive information included, is one the drive knows.
on_drive "$work/noise-extra.cue" cd-info "$device" >/dev/null 2>&1 || fail "cd-info with drive information failed"
if grep -q $'\tunknown\t' "$work/drive.log"; then
  fail "requests the drive does not know:"
  grep $'\tunknown\t' "$work/drive.log" | sort -k3 -u >&2
fi

[ "$failures" -eq 0 ] || { echo "$failures failures" >&2; exit 1; }
echo "cd-info and cd-paranoia agree with every image"
