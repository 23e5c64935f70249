#!/usr/bin/env bash
# Line coverage of the program's own code (Sources/, devicediscovery/, src/) by the whole suite,
# desktop and end-to-end tests included. Builds in its own folder so the normal build is untouched.
# Usage: scripts/coverage.sh [build-folder]   (default: build-coverage); prints lcov's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
dir=${1:-build-coverage}
jobs=${JOBS:-6}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$root")}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER_LAUNCHER="$(command -v ccache || true)" \
  -DCMAKE_CXX_FLAGS=--coverage -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage >/dev/null
cmake --build "$dir" -j"$jobs" >/dev/null
lcov --quiet --zerocounters --directory "$dir"
(cd "$dir" && ctest -j"$jobs" --timeout 300 --output-on-failure) || echo "coverage: some tests failed" >&2
lcov --quiet --capture --directory "$dir" --output-file "$dir/all.info"
lcov --quiet --extract "$dir/all.info" "$root/Sources/*" "$root/devicediscovery/*" "$root/src/*" \
  --output-file "$dir/program.info"
lcov --summary "$dir/program.info"
