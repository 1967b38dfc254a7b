# Shared by scripts/run, scripts/test and bench/run. Source it; it defines functions only.

VORLO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# vorlo_build DIR [cmake options...]: configures and builds the project into DIR.
vorlo_build() {
  local dir=$1; shift
  cmake -S "$VORLO_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE="${VORLO_BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}

# vorlo_start_pulse: starts a private PulseAudio with one null sink (rewinds off, so its
# monitor keeps every sample even when a stream is flushed) and points PULSE_SERVER at it.
# The sink's monitor is the default source. vorlo_stop_pulse ends it.
vorlo_start_pulse() {
  VORLO_PULSE_DIR=$(mktemp -d /tmp/vorlo-pulse.XXXXXX)
  XDG_RUNTIME_DIR=$VORLO_PULSE_DIR HOME=$VORLO_PULSE_DIR \
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
      --log-target=file:"$VORLO_PULSE_DIR/log" --log-level=warning \
      -L "module-null-sink sink_name=vorlo_null rate=44100 format=s16le channels=2 norewinds=1" \
      -L "module-native-protocol-unix socket=$VORLO_PULSE_DIR/native auth-anonymous=1" &
  VORLO_PULSE_PID=$!
  export PULSE_SERVER=unix:$VORLO_PULSE_DIR/native
  export VORLO_PULSE_PID VORLO_PULSE_DIR
  for _ in $(seq 50); do
    pactl info >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "private PulseAudio did not start:" >&2
  cat "$VORLO_PULSE_DIR/log" >&2 || true
  return 1
}

vorlo_stop_pulse() {
  [ -n "${VORLO_PULSE_PID:-}" ] || return 0
  kill "$VORLO_PULSE_PID" 2>/dev/null || true
  wait "$VORLO_PULSE_PID" 2>/dev/null || true
  rm -rf "$VORLO_PULSE_DIR"
  unset VORLO_PULSE_PID PULSE_SERVER
}

# vorlo_start_pipewire: starts a private PipeWire (pipewire, wireplumber, pipewire-pulse) on
# a session bus of its own, with one null sink "vorlo_null" at PipeWire's default 48 kHz
# float, and points PULSE_SERVER at its pulse server and PULSE_SOURCE at the sink's monitor.
# vorlo_stop_pipewire ends it.
vorlo_start_pipewire() {
  VORLO_PW_DIR=$(mktemp -d /tmp/vorlo-pipewire.XXXXXX)
  mkdir -p "$VORLO_PW_DIR/config/pipewire/pipewire.conf.d"
  cat >"$VORLO_PW_DIR/config/pipewire/pipewire.conf.d/vorlo-null-sink.conf" <<'CONF'
context.objects = [
  { factory = adapter
    args = {
      factory.name = support.null-audio-sink
      node.name = vorlo_null
      node.description = "Vorlo test sink"
      media.class = Audio/Sink
      audio.position = [ FL FR ]
      object.linger = true
    }
  }
]
CONF
  local env=(XDG_RUNTIME_DIR="$VORLO_PW_DIR" XDG_CONFIG_HOME="$VORLO_PW_DIR/config" HOME="$VORLO_PW_DIR"
             XDG_STATE_HOME="$VORLO_PW_DIR/state" PIPEWIRE_LOG_SYSTEMD=false)
  local bus
  bus=$(env "${env[@]}" dbus-daemon --session --fork --print-address=1 --print-pid=3 3>"$VORLO_PW_DIR/bus.pid")
  VORLO_PW_BUS_PID=$(cat "$VORLO_PW_DIR/bus.pid")
  env "${env[@]}" DBUS_SESSION_BUS_ADDRESS="$bus" pipewire >"$VORLO_PW_DIR/pipewire.log" 2>&1 &
  VORLO_PW_PIDS=$!
  # The session manager and the pulse server connect to PipeWire's socket at once, or quit.
  for _ in $(seq 100); do [ -S "$VORLO_PW_DIR/pipewire-0" ] && break; sleep 0.05; done
  env "${env[@]}" DBUS_SESSION_BUS_ADDRESS="$bus" wireplumber >"$VORLO_PW_DIR/wireplumber.log" 2>&1 &
  VORLO_PW_PIDS="$VORLO_PW_PIDS $!"
  env "${env[@]}" DBUS_SESSION_BUS_ADDRESS="$bus" pipewire-pulse >"$VORLO_PW_DIR/pipewire-pulse.log" 2>&1 &
  VORLO_PW_PIDS="$VORLO_PW_PIDS $!"
  export PULSE_SERVER=unix:$VORLO_PW_DIR/pulse/native PULSE_SOURCE=vorlo_null.monitor
  export VORLO_PW_DIR VORLO_PW_PIDS VORLO_PW_BUS_PID
  for _ in $(seq 100); do
    pactl list short sinks 2>/dev/null | grep -q vorlo_null && pactl info 2>/dev/null | grep -q 'Default Sink: vorlo_null' \
      && return 0
    sleep 0.1
  done
  echo "private PipeWire did not start:" >&2
  cat "$VORLO_PW_DIR"/*.log >&2 || true
  return 1
}

vorlo_stop_pipewire() {
  [ -n "${VORLO_PW_PIDS:-}" ] || return 0
  local pid
  for pid in $VORLO_PW_PIDS; do kill "$pid" 2>/dev/null || true; done
  for pid in $VORLO_PW_PIDS; do wait "$pid" 2>/dev/null || true; done
  kill "$VORLO_PW_BUS_PID" 2>/dev/null || true
  rm -rf "$VORLO_PW_DIR"
  unset VORLO_PW_PIDS VORLO_PW_BUS_PID PULSE_SERVER PULSE_SOURCE
}

# vorlo_start_xvfb: starts a private X server at 96 DPI on a 1280x1024 screen for the tests
# that need a real window system, and exports DISPLAY. vorlo_stop_xvfb ends it. The server
# never resets itself when its last client leaves, so that a client arriving just then
# (one test after another, one benchmark step after another) is not turned away.
vorlo_start_xvfb() {
  local n
  for n in $(seq 90 130); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset >/dev/null 2>&1 &
  VORLO_XVFB_PID=$!
  export DISPLAY=":$n" VORLO_XVFB_PID
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    sleep 0.1
  done
  echo "Xvfb did not start" >&2
  return 1
}

vorlo_stop_xvfb() {
  [ -n "${VORLO_XVFB_PID:-}" ] || return 0
  kill "$VORLO_XVFB_PID" 2>/dev/null || true
  wait "$VORLO_XVFB_PID" 2>/dev/null || true
  unset VORLO_XVFB_PID
}

# vorlo_cpu_per_minute SECONDS RUNS COMMAND...: the CPU time (user + system) that COMMAND
# takes per minute of sound, measured RUNS times over SECONDS of play each, to the
# millisecond. COMMAND reads "open cdaudio" and "play cdaudio" from a FIFO, then nothing
# until SECONDS have passed, so the process that feeds it is not counted; a COMMAND that
# ignores its input should stop by itself after SECONDS. Prints "MEDIAN MIN MAX" in seconds
# per minute: one run can be off by half on a busy machine, so figures are medians.
vorlo_cpu_per_minute() {
  local seconds=$1 runs=$2 dir feeder i
  shift 2
  dir=$(mktemp -d)
  for ((i = 0; i < runs; i++)); do
    mkfifo "$dir/in"
    (printf 'open cdaudio\nplay cdaudio\n'; sleep "$seconds") >"$dir/in" &
    feeder=$!
    { TIMEFORMAT='%3U %3S'; time "$@" <"$dir/in" >/dev/null 2>&1; } 2>>"$dir/cpu"
    wait "$feeder"
    rm -f "$dir/in"
  done
  awk -v s="$seconds" '{ print ($1 + $2) * 60 / s }' "$dir/cpu" | sort -g |
    awk '{ v[NR] = $1 } END { printf "%.3f %.3f %.3f\n", v[int((NR + 1) / 2)], v[1], v[NR] }'
  rm -rf "$dir"
}

# vorlo_cpu_shown "MEDIAN MIN MAX": the figure as the reports show it, "M s (A-B)".
vorlo_cpu_shown() { local -a f=($1); echo "${f[0]} s (${f[1]}-${f[2]})"; }

# vorlo_sanitizer_env: settings for programs built with VORLO_SANITIZE or VORLO_FUZZ. The
# first error of any kind ends the program; leaks are reported, except the third-party
# ones listed in tests/sanitizers/lsan.supp.
vorlo_sanitizer_env() {
  export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:strict_init_order=1:check_initialization_order=1"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
  export LSAN_OPTIONS="suppressions=$VORLO_ROOT/tests/sanitizers/lsan.supp:print_suppressions=0"
}

# The libFuzzer targets, by the name of their seed folder under tests/fuzz/corpus.
VORLO_FUZZ_TARGETS=(reply_value service_commands disc_sheet)

# vorlo_build_fuzzers DIR: builds the libFuzzer targets into DIR with clang, and only what
# they need, with the sanitizers VORLO_FUZZ_SANITIZERS names (default address,undefined).
vorlo_build_fuzzers() {
  local dir=$1
  CC=clang CXX=clang++ cmake -S "$VORLO_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVORLO_FUZZ=ON -DVORLO_FUZZ_SANITIZERS="${VORLO_FUZZ_SANITIZERS:-address,undefined}" \
    -DVORLO_BUILD_TESTS=OFF -DVORLO_BUILD_BENCH=OFF >/dev/null
  cmake --build "$dir" -j"$(nproc)" --target vorlo_fuzzers
}

# vorlo_run_fuzzer DIR TARGET SECONDS: runs fuzz_TARGET from DIR for SECONDS over its seeds
# (tests/fuzz/corpus/TARGET, only read) and the corpus it has grown in DIR/corpus/TARGET.
# A crash, hang or leak is written to DIR/artifacts/ and fails the call. Each run appends
# "date target seconds executions" to DIR/executions.log, so totals can be summed.
# Standard input is /dev/null, as a mutated disc sheet may name /dev/stdin as its data.
vorlo_run_fuzzer() {
  local dir=$1 target=$2 seconds=$3
  local seeds=$VORLO_ROOT/tests/fuzz/corpus/$target grown=$dir/corpus/$target
  local log=$dir/artifacts/$target.log dict=() rc=0 runs
  mkdir -p "$grown" "$dir/artifacts"
  [ -f "$VORLO_ROOT/tests/fuzz/$target.dict" ] && dict=(-dict="$VORLO_ROOT/tests/fuzz/$target.dict")
  (
    vorlo_sanitizer_env
    exec "$dir/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$dir/artifacts/$target-" "${dict[@]}" "$grown" "$seeds"
  ) </dev/null >"$log" 2>&1 || rc=$?
  runs=$(awk '/stat::number_of_executed_units/ {print $2}' "$log")
  echo "$(date -u +%FT%TZ) $target $seconds ${runs:-0}" >>"$dir/executions.log"
  if [ "$rc" -ne 0 ]; then
    echo "fuzz_$target failed (exit $rc); its log, $log, ends:" >&2
    tail -n 60 "$log" >&2
    return 1
  fi
  echo "fuzz_$target: ${runs:-0} executions in ${seconds} s, no crash"
}
