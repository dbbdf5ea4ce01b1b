#!/usr/bin/env bash
# The mutation check: puts each fault of tests/mutants.txt into the code, one
# at a time, rebuilds the tests that cover it in build-mutants/, runs them
# and puts the file back. A fault that makes a test fail is "killed"; one
# that every test lets through has "survived" and needs a test.
#
#   scripts/mutants.sh [--no-baseline] [NAME-REGEX]
#
# NAME-REGEX keeps only the faults whose name matches. First the tests of
# all the faults run once on the code as it is: a test that already fails
# would "kill" every fault (--no-baseline skips that run).
#
# Prints "killed NAME" or "survived NAME" for each, then
# "mutants: K killed, S survived"; exits non-zero when one survived or a
# fault no longer applies ("broken NAME": its text is not found once, or the
# code no longer builds with it). The tree is left as it was found, also
# when interrupted. Logs: build-mutants/mutants/. Not part of CI (slow).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
list=tests/mutants.txt
build=build-mutants
baseline=1
if [ "${1:-}" = --no-baseline ]; then
    baseline=0
    shift
fi
only=${1:-}
export QT_QPA_PLATFORM=offscreen
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$root")} CCACHE_NOHASHDIR=true

scratch=$(mktemp -d /tmp/tallvane-mutants.XXXXXX)
faulted=""     # the file that holds a fault right now
child=""       # the process group of the build or test run under way
pg_dir=""

restore() {
    if [ -n "$faulted" ]; then
        cp "$scratch/original" "$faulted"
        faulted=""
    fi
}

finish() {
    local status=$?
    trap - EXIT INT TERM
    [ -n "$child" ] && kill -TERM -- "-$child" 2>/dev/null || true
    restore
    [ -n "$pg_dir" ] && scripts/pg-cluster.sh stop "$pg_dir"
    rm -rf "$scratch"
    exit "$status"
}
trap finish EXIT
trap 'echo "mutants: interrupted" >&2; exit 130' INT TERM

# Runs a command in a process group of its own, so that an interrupt ends
# it with everything it started; its output goes to the given log.
run() {
    local log=$1
    shift
    setsid "$@" >>"$log" 2>&1 &
    child=$!
    local status=0
    wait "$child" || status=$?
    child=""
    return "$status"
}

# Puts the fault in: the text must be there exactly once.
apply() {
    python3 - "$1" "$2" "$3" <<'EOF'
import sys
path, find, replace = sys.argv[1:4]
with open(path, encoding="utf-8", newline="") as f:
    text = f.read()
if text.count(find) != 1:
    sys.exit(1)
with open(path, "w", encoding="utf-8", newline="") as f:
    f.write(text.replace(find, replace))
EOF
}

if [ -z "${TALLVANE_PG_SERVER:-}" ]; then
    pg_dir=$(mktemp -d /tmp/tallvane-pg.XXXXXX)
    TALLVANE_PG_SERVER=$(scripts/pg-cluster.sh start "$pg_dir")
    export TALLVANE_PG_SERVER
fi

mkdir -p "$build/mutants"
echo "mutants: building $build"
run "$build/mutants/build.log" cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTALLVANE_BENCH=OFF
run "$build/mutants/build.log" cmake --build "$build" -j "$(nproc)" \
    || { echo "mutants: the code does not build without faults (see $build/mutants/build.log)" >&2; exit 2; }

killed=0
survived=0
broken=0

# The list's paragraphs, one call of the given function each, with the
# fields in name, file, find, replace and tests.
each_fault() {
    local line
    name="" file="" find="" replace="" tests=""
    while IFS= read -r -u 3 line || [ -n "$line" ]; do
        line=${line%$'\r'}
        case "$line" in
        '#'*) continue ;;
        '')
            [ -z "$name" ] || "$1"
            name="" file="" find="" replace="" tests=""
            ;;
        'name: '*) name=${line#name: } ;;
        'file: '*) file=${line#file: } ;;
        'find: '*) find=${line#find: } ;;
        'replace: '*) replace=${line#replace: } ;;
        'tests: '*) tests=${line#tests: } ;;
        *) echo "mutants: unreadable line in $list: $line" >&2; exit 2 ;;
        esac
    done 3<"$list"
    [ -z "$name" ] || "$1"
}

selected() {
    [ -z "$only" ] || [[ $name =~ $only ]]
}

all_tests=""
collect_tests() {
    if selected; then all_tests="${all_tests:+$all_tests|}$tests"; fi
}

if [ "$baseline" -eq 1 ]; then
    each_fault collect_tests
    echo "mutants: the faults' tests on the code as it is"
    run "$build/mutants/baseline.log" ctest --test-dir "$build" -R "$all_tests" -j "$(nproc)" \
        --output-on-failure --timeout 300 \
        || { echo "mutants: tests fail without any fault (see $build/mutants/baseline.log)" >&2; exit 2; }
fi

# One fault: its paragraph's fields are in name, file, find, replace, tests.
try_fault() {
    selected || return 0
    local log="$build/mutants/${name//[^A-Za-z0-9_-]/_}.log"
    : >"$log"
    local targets
    targets=$(ctest --test-dir "$build" -N -R "$tests" | sed -n 's/^ *Test *#[0-9]*: \(.*\)$/\1/p' \
        | sed 's/_pg$//' | sort -u | tr '\n' ' ')
    if [ -z "$targets" ] || [ ! -f "$file" ]; then
        echo "broken $name (no test matches \"$tests\" or no file $file)"
        broken=$((broken + 1))
        return 0
    fi
    cp -p "$file" "$scratch/original"
    faulted=$file
    if ! apply "$file" "$find" "$replace"; then
        restore
        echo "broken $name (the text to replace is not found once in $file)"
        broken=$((broken + 1))
        return 0
    fi
    # shellcheck disable=SC2086 # one target per word
    if ! run "$log" cmake --build "$build" -j "$(nproc)" --target $targets; then
        restore
        echo "broken $name (does not build with the fault, see $log)"
        broken=$((broken + 1))
        return 0
    fi
    if run "$log" ctest --test-dir "$build" -R "$tests" --output-on-failure --timeout 300; then
        echo "survived $name"
        survived=$((survived + 1))
    else
        echo "killed $name"
        killed=$((killed + 1))
    fi
    restore
}

each_fault try_fault

[ "$broken" -eq 0 ] || echo "mutants: $broken broken" >&2
echo "mutants: $killed killed, $survived survived"
[ "$survived" -eq 0 ] && [ "$broken" -eq 0 ]
