#!/usr/bin/env bash
# A campaign of damaged Access files through the reader child, run by hand
# (not in CI). Each good fixture is mutated the ways a disk or a copy left
# half-done damages a file, its header page kept: a few bytes changed, a run
# of bytes overwritten, a page zeroed, a page copied over another, the last
# pages cut. Every mutant is read as the import reads it (reader child,
# limits, checks) by build/fuzz/tallvane_access_campaign, which must never
# fail itself. Prints a summary; every line is in <folder>/results.tsv.
#
#   scripts/fuzz-access.sh [mutants per small fixture, default 200] [seed, default 1]
#
# The large fixture gets a tenth as many. Fixtures: TALLVANE_JET_FIXTURES,
# else shared/fixtures/jet beside the checkout (or one folder up).
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-200}
seed=${2:-1}
fixtures=${TALLVANE_JET_FIXTURES:-}
for candidate in ../shared/fixtures/jet ../../shared/fixtures/jet; do
    [ -n "$fixtures" ] || [ ! -d "$candidate" ] || fixtures=$(cd "$candidate" && pwd)
done
[ -f "$fixtures/ferrune-v2000.mdb" ] || { echo "no Access fixtures in $fixtures" >&2; exit 2; }

[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target LecteurAccess tallvane_access_campaign >/dev/null
out=$(mktemp -d /tmp/tallvane-fuzz-access-XXXXXX)

/usr/bin/python3 - "$fixtures" "$out" "$count" "$seed" <<'PY'
import os, random, sys
fixtures, out, count, seed = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
rng = random.Random(seed)
page = 4096
bases = {"ferrune-v2000.mdb": count, "ferrune-v2003.mdb": count,
         "ferrune-v2000-missing-produit.mdb": count, "ferrune-v2000-large.mdb": max(1, count // 10)}
for base, n in bases.items():
    data = open(os.path.join(fixtures, base), "rb").read()
    pages = len(data) // page
    for i in range(n):
        kind = rng.choice(["bytes", "run", "page", "copy", "cut"])
        b = bytearray(data)
        if kind == "bytes":
            for _ in range(rng.randint(1, 8)):
                b[rng.randrange(page, len(b))] = rng.randrange(256)
        elif kind == "run":
            at, size = rng.randrange(page, len(b) - 64), rng.randint(4, 64)
            b[at:at + size] = bytes(rng.randrange(256) for _ in range(size))
        elif kind == "page":
            p = rng.randrange(1, pages)
            b[p * page:(p + 1) * page] = bytes(page)
        elif kind == "copy":
            src, dst = rng.randrange(1, pages), rng.randrange(1, pages)
            b[dst * page:(dst + 1) * page] = data[src * page:(src + 1) * page]
        else:
            del b[rng.randrange(2, pages) * page:]
        name = "%s-%04d-%s.mdb" % (base[:-4], i, kind)
        open(os.path.join(out, name), "wb").write(b)
PY

results="$out/results.tsv"
: >"$results"
total=$(ls "$out"/*.mdb | wc -l)
done_=0
for mutant in "$out"/*.mdb; do
    base=$(basename "$mutant" | sed -E 's/-[0-9]{4}-[a-z]+\.mdb$//')
    rc=0
    timeout 120 build/fuzz/tallvane_access_campaign build/programme/LecteurAccess \
        "$fixtures/$base.mdb" "$mutant" >>"$results" 2>/dev/null || rc=$?
    [ "$rc" -eq 0 ] || printf '%s\tFAILED(%s)\t0\t0\t0\t-\t\t\n' "$mutant" "$rc" >>"$results"
    done_=$((done_ + 1))
    [ $((done_ % 50)) -ne 0 ] || echo "$done_/$total"
done

awk -F'\t' '
{ kind = $1; sub(/\.mdb$/, "", kind); sub(/.*-/, "", kind)
  n[$2]++; nk[kind" "$2]++; if ($3 > t) { t = $3; tf = $1 } if ($4 > c) c = $4; if ($5 > s) s = $5
  if ($3 > 10000) slow++; if ($6 == "different") diff++; if ($6 == "values") vals++; total++
  m = split($8, how, / \| /); for (i = 1; i <= m; i++) stop[how[i]]++ }
END {
  printf "mutants: %d\n", total
  for (v in n) printf "  %-12s %d\n", v, n[v]
  printf "by damage:\n"; for (k in nk) printf "  %-22s %d\n", k, nk[k]
  printf "longest: %d ms (%s)\nreader child peak: %d MB; program peak: %d MB\n", t, tf, c, s
  printf "over 10 s: %d; whole but rows gone or added: %d; whole, same rows, values changed: %d\n", slow + 0, diff + 0, vals + 0
  printf "files with a table not read to its end, by how it stopped:\n"
  for (h in stop) if (h != "") printf "  %5d  %s\n", stop[h], h
}' "$results" | tee "$out/summary.txt"
echo "results: $results"
if grep -q $'\tFAILED' "$results"; then
    echo "the program failed on some mutants (FAILED lines above)" >&2
    exit 1
fi
