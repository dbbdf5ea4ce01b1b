#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each for
# the given number of seconds (default 60). A crash stops the script with
# the failing input left in build-fuzz/fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTALLVANE_FUZZ=ON -DTALLVANE_BENCH=OFF -DCMAKE_CXX_COMPILER=clang++
cmake --build build-fuzz --target fuzz_textfile fuzz_fieldreader fuzz_settingsfiles \
    fuzz_medocfile fuzz_agendafiles fuzz_numbertext fuzz_webrequest \
    fuzz_accessstream

mkdir -p build-fuzz/fuzz/corpus
cd build-fuzz/fuzz
for target in fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    corpus="corpus/$target"
    mkdir -p "$corpus"
    echo "== $target ($seconds s)"
    rc=0
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "./$target" -max_total_time="$seconds" -max_len=4096 "$corpus" >"$target.log" 2>&1 || rc=$?
    tail -n 4 "$target.log"
    if [ "$rc" -ne 0 ]; then
        cat "$target.log"
        echo "$target failed (see build-fuzz/fuzz/$target.log and crash-* there)"
        exit 1
    fi
done
