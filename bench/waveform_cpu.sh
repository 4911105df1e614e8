#!/usr/bin/env bash
# CPU time of the whole program playing a recording (an hour-long MP3) for 60 seconds: with the
# position bar hidden, shown with its envelope still to be computed, and shown with it cached
# (after an unmeasured run that fills the cache). Each run is the real window on a virtual
# display with a PulseAudio null sink (real-time pacing) and a session bus of its own; play is
# pressed through `quillmark --remote play`. Prints the CPU seconds (user + system, from /proc)
# spent during the 60 s of play and the ratios against the hidden run.
#
#   [ROUNDS=N] bench/waveform_cpu.sh build/bench/player/quillmark /tmp/quillmark-bench-media/hour.mp3 [SECONDS]
set -euo pipefail
program=$(realpath "$1")
media=$(realpath "$2")
seconds=${3:-60}

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/run" "$work/config/quillmark" "$work/cache"
chmod 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
export ASAN_OPTIONS=detect_leaks=0

exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
read -r -t 10 display <&"$display_fd"
export DISPLAY=":$display"
pulseaudio -n --daemonize=no --exit-idle-time=-1 -L "module-null-sink sink_name=nullsink" \
  -L module-native-protocol-unix -L module-always-sink >/dev/null 2>&1 &
pids+=($!)
DBUS_SESSION_BUS_ADDRESS=$(dbus-daemon --session --print-address=1 --fork --print-pid=3 3>"$work/bus.pid")
export DBUS_SESSION_BUS_ADDRESS
pids+=("$(cat "$work/bus.pid")")
sleep 1

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# One run: the settings file says whether the bar shows (twelve empty lines keep every other
# option at its default). Prints the CPU seconds spent while playing.
run() {
  printf '\r\n%.0s' {1..12} > "$work/config/quillmark/Quillmark.inf"
  printf 'ShowWaveform=%s\r\n' "$1" >> "$work/config/quillmark/Quillmark.inf"
  "$program" "$media" >/dev/null 2>&1 &
  local pid=$!
  local tries=0
  until "$program" --remote play >/dev/null 2>&1; do
    (( ++tries > 200 )) && { echo "the window did not start" >&2; exit 1; }
    sleep 0.1
  done
  local before after
  before=$(cpu_ticks "$pid")
  sleep "$seconds"
  after=$(cpu_ticks "$pid")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  awk -v a="$after" -v b="$before" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f\n", (a - b) / hz }'
}

# The first computation is paced and may outlast a run: the window stays open, unmeasured,
# until the envelope is in the cache; later rounds take a copy of that cache.
fill_cache() {
  if [[ -d $work/filled ]]; then
    cp -r "$work/filled" "$work/cache/quillmark"
    return
  fi
  "$program" "$media" >/dev/null 2>&1 &
  local pid=$! tries=0
  until compgen -G "$work/cache/quillmark/*" >/dev/null; do
    (( ++tries > 1200 )) && { echo "the envelope was not cached in 10 minutes" >&2; exit 1; }
    sleep 0.5
  done
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  cp -r "$work/cache/quillmark" "$work/filled"
}

# The rounds alternate the three runs, so a busy spell of the machine falls on all of them alike;
# the ratios are of the medians.
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
hidden=() cold=() warm=()
for (( round = 1; round <= ${ROUNDS:-1}; ++round )); do
  hidden+=("$(run 0)")
  rm -rf "$work/cache/quillmark"
  cold+=("$(run 1)")
  fill_cache
  warm+=("$(run 1)")
  echo "round $round: CPU seconds during ${seconds} s of play: bar hidden ${hidden[-1]}, shown computing ${cold[-1]}, shown cached ${warm[-1]}"
done
awk -v h="$(median "${hidden[@]}")" -v c="$(median "${cold[@]}")" -v w="$(median "${warm[@]}")" \
  'BEGIN { printf "medians: hidden %.2f s; shown/hidden: computing %.2fx, cached %.2fx\n", h, c / h, w / h }'
