# Sourced by the MQTT benches: a mosquitto of their own on 127.0.0.1, its
# files in a directory, and a client that keeps its session across restarts.
#
#   scratch_with_broker         a scratch directory ($scratch), removed at exit with
#                               the broker and the listener ($listener) stopped
#   broker_prepare DIRECTORY    picks a free port ($broker_port), writes the configuration
#   broker_start / broker_stop  (SIGTERM: mosquitto saves its sessions first)

scratch_with_broker() {
  scratch=$(mktemp -d)
  listener=
  trap 'cleanup_scratch' EXIT
}

cleanup_scratch() {
  [ -z "$listener" ] || kill "$listener" 2>/dev/null || true
  broker_stop
  rm -rf "$scratch"
}

broker_prepare() {
  broker_dir=$1
  broker_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  cat >"$broker_dir/mosquitto.conf" <<CONF
listener $broker_port 127.0.0.1
allow_anonymous true
user $(id -un)
persistence true
persistence_location $broker_dir/
CONF
}

broker_start() {
  mosquitto -c "$broker_dir/mosquitto.conf" >>"$broker_dir/mosquitto.log" 2>&1 &
  broker_pid=$!
  for _ in $(seq 100); do
    if (exec 3<>"/dev/tcp/127.0.0.1/$broker_port") 2>/dev/null; then return 0; fi
    sleep 0.1
  done
  echo "mosquitto did not start: see $broker_dir/mosquitto.log" >&2
  return 1
}

broker_stop() {
  [ -n "${broker_pid:-}" ] || return 0
  kill "$broker_pid" 2>/dev/null || true
  wait "$broker_pid" 2>/dev/null || true
  broker_pid=
}
