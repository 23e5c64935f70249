#!/usr/bin/env bash
# The built program's footprint on a private X desktop with a tray (Xvfb, openbox, trayer) and the local
# content service, on the demo's folders and stick. Prints:
#   start-up time to the tray icon (the icon's window embedded in the tray)
#   RSS and PSS at idle with the window hidden (the root check done, no stick)
#   RSS after CYCLES insertions and removals of the demo stick, each waited for in the log
# Usage: run-footprint-bench.sh [BUILD_DIR] [CYCLES]   (defaults: ./build, 500); with KEEP=1 the work folder
# (the program's log, the service's requests) stays for a look.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../../.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
cycles=${2:-500}
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [ -n "${KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
demo() { python3 "$repo/tools/demo/demo.py" "$@" --root "$work/demo"; }
fail() { echo "footprint bench: $*" >&2; exit 1; }
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.02
  done
}
kib() { awk -v k="$2" '$1 == k":" { print $2 }' "/proc/$1/smaps_rollup"; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f MB", k / 1024 }'; }

# The desktop.
exec 3<> <(:)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
read -r -t 10 number <&3 || fail "Xvfb did not start"
export DISPLAY=":$number"
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || fail "openbox did not start"
trayer --edge bottom --align right --widthtype request --heighttype pixel --height 28 --SetDockType true \
  --SetPartialStrut true --transparent false --expand true >/dev/null 2>&1 &
pids+=($!)
wait_for 10 sh -c 'xwininfo -root -tree | grep -q "\"panel\""' || fail "trayer did not start"
tray=$(xwininfo -root -tree | awk '/"panel"/ && !id { id = $1 } END { print id }')

# The content service and the demo's folders.
mkdir -p "$work/demo/service"
python3 "$repo/tools/content-service/server.py" --catalogue "$repo/tools/demo/catalogue.json" \
  --state-dir "$work/demo/service" --port 0 >"$work/demo/service/stdout" 2>"$work/demo/service/stderr" &
pids+=($!)
wait_for 120 grep -qs '^READY' "$work/demo/service/stdout" || fail "the content service did not start"
demo prepare --port "$(sed -n 's/^READY \([0-9]*\)$/\1/p' "$work/demo/service/stdout")"
eval "$(demo env)"
unset https_proxy HTTPS_PROXY
logs="$XDG_DATA_HOME/Dravo/Tessaly/Logs"
# Whether the log holds at least $2 records with the text $1.
logged() { [ "$(cat "$logs"/*.log 2>/dev/null | grep -c -F -- "$1")" -ge "$2" ]; }

# Start-up to the tray icon: the first window that the tray host holds.
windows() { xwininfo -id "$tray" -tree | grep -c '^ *0x'; }
trayer_own=$(windows)
icon_shown() { [ "$(windows)" -gt "$trayer_own" ]; }
start=$(date +%s.%N)
"$build/bin/tessaly" >"$work/stdout" 2>"$work/stderr" &
program=$!
pids+=("$program")
wait_for 60 icon_shown || fail "no tray icon"
echo "start-up to tray icon: $(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.3f", b - a }') s"

# Idle: the root check is done and the window is hidden (the program shows only its popup at start).
wait_for 60 logged 'Got RootUpdate event' 1 || fail "no root check"
sleep 3
echo "idle, window hidden: RSS $(mib "$(kib "$program" Rss)"), PSS $(mib "$(kib "$program" Pss)")"

# Stick cycles: each insertion waits for the stick's offer, each removal for the root check that follows it.
for ((i = 1; i <= cycles; i++)); do
  demo insert >/dev/null
  wait_for 60 logged 'Got MandatoryUpdate event' "$i" || fail "cycle $i: no offer"
  demo remove >/dev/null
  wait_for 60 logged 'Got RootUpdate event' $((i + 1)) || fail "cycle $i: no removal"
  [ "$i" -ne 1 ] || first=$(kib "$program" Rss)
done
sleep 3
echo "after cycle 1: RSS $(mib "$first")"
echo "after $cycles stick cycles: RSS $(mib "$(kib "$program" Rss)")"
echo "Mesa or LLVM mapped: $(grep -q -E 'libGLX_mesa|libLLVM|_dri' "/proc/$program/maps" && echo yes || echo no)"
kill "$program"
wait "$program" || true
