#!/usr/bin/env bash
# Installs what is missing, builds, and runs Tessaly.
#   ./run.sh                the demo: a local content service, a demo stick, private folders under build/demo
#   ./run.sh insert-stick   insert the demo stick into the running demo
#   ./run.sh remove-stick   remove it again
#   ./run.sh --system       the program with your own configuration, settings and service
set -euo pipefail
cd "$(dirname "$0")"
demo_root=build/demo
demo() { python3 tools/demo/demo.py "$@" --root "$demo_root"; }

case "${1:-}" in
insert-stick) demo insert; exit ;;
remove-stick) demo remove; exit ;;
esac

# Without a display (a server, a container) Qt has no platform to show on.
headless=
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
  headless=yes
fi

./scripts/install-deps.sh # quick when nothing is missing
build() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j"$(nproc)" --target tessaly translations
}

if [ "${1:-}" = "--system" ]; then
  shift
  build
  exec ./build/bin/tessaly "$@"
fi

eval "$(demo env)"
unset https_proxy HTTPS_PROXY
# A second start only brings the running demo forward: nothing is built or
# started besides the program, which signals the first one and ends.
lock="$TMPDIR/runtime-$(id -un)/TESSALY_SINGLE_INSTANCE_MUTEX.lock"
if [ -e "$lock" ] && [ -x ./build/bin/tessaly ] && ! flock -n "$lock" true; then
  echo "Tessaly's demo is already running: this start brings it forward."
  exec ./build/bin/tessaly "$@"
fi

build
service_dir="$demo_root/service"
mkdir -p "$service_dir"
echo "Starting the local content service (the first start builds its archives)..."
python3 tools/content-service/server.py --catalogue tools/demo/catalogue.json --state-dir "$service_dir" \
  --port 0 >"$service_dir/stdout" 2>"$service_dir/stderr" &
service_pid=$!
follower_pid=
cleanup() {
  [ -n "$follower_pid" ] && kill "$follower_pid" 2>/dev/null
  kill "$service_pid" 2>/dev/null && wait "$service_pid" 2>/dev/null
  true
}
trap cleanup EXIT

port=
for _ in $(seq 600); do
  port=$(sed -n 's/^READY \([0-9]*\)$/\1/p' "$service_dir/stdout")
  [ -n "$port" ] && break
  kill -0 "$service_pid" 2>/dev/null || { cat "$service_dir/stderr" >&2; exit 1; }
  sleep 0.2
done
[ -n "$port" ] || { echo "The content service did not start." >&2; exit 1; }
demo prepare --port "$port"

cat <<EOF
Content service: https://127.0.0.1:$port (log: $service_dir/requests.jsonl)
Tessaly runs with its own folders below $demo_root; your own configuration is not touched.
  insert the demo stick:  ./run.sh insert-stick
  remove it:              ./run.sh remove-stick
  bring Tessaly forward:  ./run.sh   (again, while it runs; without a tray this shows its popup)
Quit from the tray icon's menu, or press Ctrl-C here.
EOF

if [ -n "$headless" ]; then
  # Nothing to look at: follow the log this run of the program writes.
  logs="$XDG_DATA_HOME/Dravo/Tessaly/Logs"
  earlier=$(ls "$logs" 2>/dev/null || true)
  (
    while :; do
      newest=$(ls -t "$logs" 2>/dev/null | head -n 1)
      [ -n "$newest" ] && ! grep -qxF "$newest" <<<"$earlier" && break
      sleep 0.2
    done
    exec tail -n +1 -F "$logs/$newest"
  ) &
  follower_pid=$!
fi

./build/bin/tessaly "$@" &
program_pid=$!
trap 'kill -TERM "$program_pid" 2>/dev/null' INT TERM
status=0
wait "$program_pid" || status=$?
# A signal interrupts the first wait; wait again for the program to finish its teardown.
kill -0 "$program_pid" 2>/dev/null && { wait "$program_pid" || status=$?; }
exit "$status"
