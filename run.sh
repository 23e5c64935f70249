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

./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target tessaly translations
# Without a display (a server, a container) Qt has no platform to show on.
headless=
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
  headless=yes
fi

if [ "${1:-}" = "--system" ]; then
  shift
  exec ./build/bin/tessaly "$@"
fi

eval "$(demo env)"
unset https_proxy HTTPS_PROXY
lock="$XDG_RUNTIME_DIR/TESSALY_SINGLE_INSTANCE_MUTEX.lock"
if [ -e "$lock" ] && ! flock -n "$lock" true; then
  echo "Tessaly's demo is already running: this start brings it forward."
  exec ./build/bin/tessaly "$@"
fi

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
  # Nothing to look at: follow the program's log instead.
  logs="$XDG_DATA_HOME/Dravo/Tessaly/Logs"
  (
    while [ -z "$(ls "$logs" 2>/dev/null)" ]; do sleep 0.2; done
    exec tail -n +1 -F "$logs/$(ls -t "$logs" | head -n 1)"
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
