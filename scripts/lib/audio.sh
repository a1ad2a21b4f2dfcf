# A private PulseAudio daemon with a null sink, so audio tests play through a
# real sound server without a sound card. Sourced by scripts/test.

audio_dir=""
audio_pids=()

start_null_audio() {
  command -v pulseaudio >/dev/null || { echo "pulseaudio not installed: audio tests use the null output"; return 0; }
  audio_dir=$(mktemp -d)
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
    --load="module-native-protocol-unix socket=$audio_dir/native auth-anonymous=1" \
    --load="module-null-sink sink_name=nullsink" >"$audio_dir/log" 2>&1 &
  audio_pids+=($!)
  export PULSE_SERVER="unix:$audio_dir/native"
  for _ in $(seq 1 100); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.05
  done
  if ! pactl info >/dev/null 2>&1; then
    echo "PulseAudio did not start: audio tests use the null output"
    stop_null_audio
    unset PULSE_SERVER
    return 0
  fi
  # The null sink starts with a two-second block, and a new stream waits for it
  # to drain before it is heard. One silent stream asking for low latency makes
  # the sink work in short blocks; wait until the first long one is gone.
  pacat --raw --latency-msec=20 --format=s16le --rate=44100 --channels=2 /dev/zero >/dev/null 2>&1 &
  audio_pids+=($!)
  for _ in $(seq 1 60); do
    latency=$(pactl list sinks | awk '/^\tLatency:/ {print $2; exit}')
    [ -n "$latency" ] && [ "$latency" -lt 100000 ] && break
    sleep 0.05
  done
  export ZEPHYRA_PULSE_READY=1
}

stop_null_audio() {
  for pid in "${audio_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${audio_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  audio_pids=()
  [ -n "$audio_dir" ] && rm -rf "$audio_dir"
  audio_dir=""
}
