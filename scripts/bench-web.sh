#!/usr/bin/env bash
# Load on the booking service with wrk, on the generated large practice
# (bench/README.md): 50 laboratories' links, the clock at 2025-03-05 (the
# generated data's "today"), RATE requests a second on a fixed schedule
# (default 500) over 10 connections for DURATION (default 30s): 90 % month
# pages, 10 % booking POSTs. Prints wrk's latency distribution, the load
# average before and after (the machine may be shared).
#   scripts/bench-web.sh [build folder] [data folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
data=${2:-/tmp/tallvane-bench-web}
port=${PORT:-18090}
export RATE=${RATE:-500} CONNECTIONS=${CONNECTIONS:-10} POSTS=${POSTS:-10} THREADS=2

[ -s "$data/Ferrune.mdb" ] || "$build/bench/tallvane_generate" "$data" >/dev/null
# A fresh copy of the database each run: the bookings of a run stay in it.
work=$(mktemp -d)
trap 'kill -- "-$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$data"/* "$work"/ 2>/dev/null || true
echo "http://127.0.0.1:$port" > "$work/Web.cfg"
links=$work/links.txt
sqlite3 "$work/Ferrune.mdb" "SELECT p.Labo, MIN(p.Medecin) FROM Passage p WHERE p.Passage > 0 \
    GROUP BY p.Labo ORDER BY MIN(p.NumPassage) LIMIT 50" | while IFS='|' read -r labo doctor; do
    link=$("$build/programme/tallvane-web" --lien "$labo" --data "$work")
    echo "${link##*/}|$doctor"
done > "$links"
export LINKS=$links

# In a session of its own, so that the service under faketime stops with it.
# NOFAKETIME=1 runs it on the real date (the generated months then lie in
# the past: the pages cost the same, the bookings are refused at once).
clock=(faketime --exclude-monotonic '2025-03-05 10:00:00')
[ -z "${NOFAKETIME:-}" ] || clock=()
setsid "${clock[@]}" "$build/programme/tallvane-web" --data "$work" \
    --listen "127.0.0.1:$port" --journal "$work/acces.log" 2>/dev/null &
pid=$!
sleep 1
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
wrk -t"$THREADS" -c"$CONNECTIONS" -d"${DURATION:-30s}" --latency -s bench/web/load.lua "http://127.0.0.1:$port"
echo "requests logged: $(wc -l < "$work/acces.log"), statuses: $(awk '{print $5}' "$work/acces.log" | sort | uniq -c | tr '\n' ' ')"
# The service's own time per request (from the access log), without the
# network and wrk.
awk '{sub("ms", "", $7); print $7}' "$work/acces.log" | sort -n |
    awk '{v[NR] = $1} END {printf "service time: p50 %s ms, p90 %s ms, p99 %s ms, max %s ms\n", v[int(NR * .5)], v[int(NR * .9)], v[int(NR * .99)], v[NR]}'
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
