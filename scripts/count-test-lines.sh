#!/usr/bin/env bash
# Non-blank lines of .cpp and .h: the program's code per area, its tests, and their ratio.
# Folders only tests have (support, desktop, e2e, runner) count toward the total alone.
set -euo pipefail
cd "$(dirname "$0")/.."

lines() { # non-blank .cpp/.h lines under the given folder (0 when absent)
  if [ -d "$1" ]; then
    find "$1" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0r cat | grep -cv '^[[:space:]]*$' || true
  else
    echo 0
  fi
}

row() { # area, program lines, test lines
  local ratio="-"
  [ "$2" -gt 0 ] && ratio=$(awk -v t="$3" -v c="$2" 'BEGIN { printf "%.2f", t / c }')
  printf '%-16s %8s %8s %6s\n' "$1" "$2" "$3" "$ratio"
}

printf '%-16s %8s %8s %6s\n' area program tests ratio
code_total=0
test_total=0
for area in Sources/BrelClient Sources/Logger devicediscovery src/cfg src/fmu src/main src/platform src/sm src/ui \
  src/usb src/util; do
  code=$(lines "$area")
  tests=$(lines "tests/$area")
  row "${area##*/}" "$code" "$tests"
  code_total=$((code_total + code))
  test_total=$((test_total + tests))
done
for area in support desktop e2e runner; do
  tests=$(lines "tests/$area")
  row "tests/$area" 0 "$tests"
  test_total=$((test_total + tests))
done
# Anything under tests/ that no row above names still counts toward the total.
all_tests=$(lines tests)
[ "$all_tests" -ne "$test_total" ] && row "tests/(other)" 0 $((all_tests - test_total))
row total "$code_total" "$all_tests"
all_code=$(($(lines Sources) + $(lines devicediscovery) + $(lines src)))
[ "$all_code" -ne "$code_total" ] && echo "note: $((all_code - code_total)) program lines lie outside the areas above" >&2
exit 0
