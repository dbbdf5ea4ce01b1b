#!/usr/bin/env bash
# Checks the include layers and the formatting, then builds and runs every
# test twice: a plain build, then one under AddressSanitizer and UBSan; then
# a short run of each fuzz target when clang is installed (scripts/fuzz.sh
# runs them longer).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

# Seconds each: before the long build.
scripts/check-layers.sh
scripts/check-format.sh

export QT_QPA_PLATFORM=offscreen

# The tests that reach the database also run on a throwaway PostgreSQL 15.
pg_dir=$(mktemp -d /tmp/tallvane-pg.XXXXXX)
trap 'scripts/pg-cluster.sh stop "$pg_dir"' EXIT
TALLVANE_PG_SERVER=$(scripts/pg-cluster.sh start "$pg_dir")
export TALLVANE_PG_SERVER
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
# Runs a build's tests, then names those skipped (outside CI a test whose
# fixture folder is missing, as in a clone with nothing beside it, is
# skipped and says which folder it wants; in CI it fails).
run_tests() {
    local dir=$1
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
    grep -h -E '^SKIP +:' "$dir/Testing/Temporary/LastTest.log" | sort -u || true
}

run_tests build
scripts/check-package.sh build

# A short run of every fuzz target (the long runs: scripts/fuzz.sh 600).
if command -v clang++ >/dev/null 2>&1; then
    scripts/fuzz.sh 10
fi

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTALLVANE_SANITIZE=ON -DTALLVANE_BENCH=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS=suppressions="$PWD/scripts/lsan.supp":print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_tests build-asan
