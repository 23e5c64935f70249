#!/bin/bash
# Verifies a fabricated 2 GiB stick (a few large files, a few thousand small
# ones) with the program's stick check (alone, and through the USB manager on
# its thread, in turns) and with md5sum -c on the same files, alternating, warm
# cache; prints the median of 5 runs of each and the ratios, then how long
# stopping the manager takes in the middle of a check, and in the middle of
# reading a list of a million lines.
# Usage: run-stick-check-bench.sh [BUILD_DIR] (default: build-bench in the source tree)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../../.." && pwd)
build_dir=${1:-$source_dir/build-bench}
runs=5

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_dir" --target stick-check-bench -j"$(nproc)" >/dev/null
bench=$build_dir/bin/stick-check-bench

work=$(mktemp -d /tmp/stick-check-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
trap 'echo "stick-check benchmark failed (line $LINENO)" >&2' ERR
# The check reads its configuration from the user's data folder: keep it private.
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_CONFIG_HOME=$work/home/.config
stick=$work/STICK
update=$stick/VexmarNDSUpdate

echo "Fabricating the stick in $stick ..."
mkdir -p "$update/maps" "$HOME"
for i in 1 2 3 4; do
    head -c $((448 * 1024 * 1024)) /dev/urandom >"$update/maps/large-$i.bin"
done
python3 - "$update" <<'PY'
import os, random, sys
update = sys.argv[1]
rng = random.Random(5)
for i in range(3000):
    folder = os.path.join(update, "meta_data", "region-%02d" % (i % 40))
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "tile-%04d.xml" % i), "wb") as out:
        out.write(os.urandom(rng.randint(40, 130) * 1024))
PY
(cd "$update" && find . -type f ! -name CHECKSUMS.MD5 -printf '%P\n' | sort | xargs -d '\n' md5sum >CHECKSUMS.MD5)
echo "Files: $(wc -l <"$update/CHECKSUMS.MD5"), bytes: $(du -sb "$update" | cut -f1)"

# Warm the cache: both tools then read from memory.
find "$update" -type f -exec cat {} + >/dev/null

seconds() {
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }'
}
check() { "$bench" "$stick"; }
managed_check() { "$bench" "$stick" manager; }
md5sum_check() { (cd "$update" && md5sum -c --quiet CHECKSUMS.MD5); }

ours=()
managed=()
theirs=()
for run in $(seq $runs); do
    ours+=("$(seconds check)")
    managed+=("$(seconds managed_check)")
    theirs+=("$(seconds md5sum_check)")
    echo "run $run: stick check ${ours[-1]} s, through the manager ${managed[-1]} s, md5sum -c ${theirs[-1]} s"
done

median() { printf '%s\n' "$@" | sort -n | sed -n "$(((runs + 1) / 2))p"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
ours_median=$(median "${ours[@]}")
managed_median=$(median "${managed[@]}")
theirs_median=$(median "${theirs[@]}")
echo "median of $runs: stick check $ours_median s, through the manager $managed_median s, md5sum -c $theirs_median s"
echo "ratios: stick check / md5sum -c $(ratio "$ours_median" "$theirs_median")," \
    "through the manager / stick check $(ratio "$managed_median" "$ours_median")"
echo "Stop 0.5 s into a check returned after $("$bench" "$stick" stop | awk '{ print $2 }') s"

# A list of a million lines, every one naming the same small file: the list is read a line at a time, so a stop
# does not wait for the rest of it.
long=$work/LONG/VexmarNDSUpdate
mkdir -p "$long"
printf 'x' >"$long/a"
awk -v line="$(md5sum <"$long/a" | cut -d' ' -f1)  a" 'BEGIN { for (i = 0; i < 1000000; i++) print line }' \
    >"$long/CHECKSUMS.MD5"
echo "A list of a million lines: checked in $("$bench" "$work/LONG" | awk '{ print $2 }') s;" \
    "Stop 0.5 s into it returned after $("$bench" "$work/LONG" stop | awk '{ print $2 }') s"
