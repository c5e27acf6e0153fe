#!/usr/bin/env bash
# Writes resources/music/END.MID, the short tune the exit screen plays: a
# gentle eight-bar melody in C major over held root-and-fifth chords, piano
# over strings. Standard MIDI file, format 0, 480 ticks per beat, 96 beats a
# minute. Needs only bash and awk.
#   tools/make-tune.sh [OUTPUT]
set -euo pipefail
out=${1:-"$(dirname "$0")/../resources/music/END.MID"}

# One line per note: bar beat length(beats) channel key velocity.
notes() {
  local melody=(
    "64 1" "67 1" "72 1" "71 1"   "69 2" "67 2"
    "65 1" "69 1" "74 1" "72 1"   "71 2" "67 2"
    "64 1" "67 1" "72 1" "74 1"   "76 2" "74 1" "72 1"
    "69 1" "71 1" "72 1" "74 1"   "72 4"
  )
  local beat=0 item key len
  for item in "${melody[@]}"; do
    read -r key len <<<"$item"
    echo "$beat $len 0 $key 88"
    beat=$((beat + len))
  done
  # Held chords, one per bar (the seventh bar changes halfway).
  local roots=("48 0 4" "41 4 4" "50 8 4" "43 12 4" "48 16 4" "45 20 4" "41 24 2" "43 26 2" "48 28 4")
  local root start
  for item in "${roots[@]}"; do
    read -r root start len <<<"$item"
    echo "$start $len 1 $root 60"
    echo "$start $len 1 $((root + 7)) 52"
  done
}

hex=$(notes | awk '
  { on = $1 * 480; off = ($1 + $2) * 480 - 10
    # Sort key: time, then note-offs before note-ons.
    ev[n++] = sprintf("%09d 1 %02X%02X%02X", on, 144 + $3, $4, $5)
    ev[n++] = sprintf("%09d 0 %02X%02X00", off, 128 + $3, $4) }
  END {
    for (i = 0; i < n; i++) print ev[i] | "sort"
    close("sort")
  }' | awk '
  function vlq(v,   s, b) {
    s = sprintf("%02X", v % 128); v = int(v / 128)
    while (v > 0) { b = sprintf("%02X", 128 + v % 128); s = b s; v = int(v / 128) }
    return s
  }
  BEGIN {
    # Tempo 625000 microseconds a beat; piano on channel 0, strings on 1.
    track = "00FF5103098968" "00C000" "00C130" "00B0075A" "00B10746"
    last = 0
  }
  { t = $1 + 0; track = track vlq(t - last) $3; last = t }
  END {
    track = track "00FF2F00"
    len = length(track) / 2
    printf "4D546864000000060000000101E0"
    printf "4D54726B%08X%s", len, track
  }')

mkdir -p "$(dirname "$out")"
printf '%b' "$(sed 's/../\\x&/g' <<<"$hex")" >"$out"
echo "wrote $out ($(wc -c <"$out") bytes)"
