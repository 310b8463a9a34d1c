#!/usr/bin/env bash
# The link checker beside a concurrent peer on a site whose every answer takes DELAY seconds: the shared
# benchmark's run, except that it waits until the server answers (a loaded machine may take more than a
# second to start it) and that it can leave the peer out or give the checker more flags.
#   aracnide/bench/latency-peers.sh [PAGES] [ARACNIDE]   (defaults: 300, build-release/bin/aracnide)
# DELAY (0.02), RUNS (3), WORK (/tmp/latency-peers), PORT (18770) as in the shared script; PEER=0 skips
# the peer; EXTRA="--per-host 32" adds flags to the default run; JOBS1_RUNS (RUNS) counts the runs of
# --jobs 1, the slow one; DIALOG=1 also runs the dialog against the command line on the same site
# (build-release/bench/aracnide_dialog_bench, beside the checker).
set -euo pipefail
shared=$(cd "$(dirname "$0")/../.." && pwd)/../shared/bench
[ -d "$shared" ] || shared=/work/shared/bench
PAGES=${1:-300}; AR=$(realpath "${2:-build-release/bin/aracnide}")
DELAY=${DELAY:-0.02}; RUNS=${RUNS:-3}; WORK=${WORK:-/tmp/latency-peers}; PORT=${PORT:-18770}
PEER=${PEER:-1}; EXTRA=${EXTRA:-}
rm -rf "$WORK/site" "$WORK/run" && mkdir -p "$WORK/run"
python3 "$shared/sitegen.py" --pages "$PAGES" --port "$PORT" "$WORK/site" >/dev/null
cp "$WORK/site/index.htm" "$WORK/site/index.html"   # the peer starts from the folder
peer=$WORK/npm/node_modules/.bin/linkinator
if [ "$PEER" = 1 ] && [ ! -x "$peer" ]; then
  mkdir -p "$WORK/npm" && (cd "$WORK/npm" && npm install -s --no-audit --no-fund linkinator@6 >/dev/null)
fi
python3 "$shared/slowserve_async.py" "$PORT" "$WORK/site" "$DELAY" "$WORK/requests.log" & server=$!
trap 'kill $server 2>/dev/null' EXIT
url=http://127.0.0.1:$PORT
for _ in $(seq 100); do
  curl -s -o /dev/null "$url/robots.txt" && break
  sleep 0.1
done
declare -A times
run() {  # name runs command...
  local name=$1 runs=$2; shift 2
  for i in $(seq "$runs"); do
    : > "$WORK/requests.log"
    local s=$(date +%s.%N); (cd "$WORK/run" && "$@" >/dev/null 2>&1) || true; local e=$(date +%s.%N)
    local t=$(echo "$e - $s" | bc); times[$name]+="$t "
    printf '%-22s run %d: %6.3f s, %d requests\n' "$name" "$i" "$t" "$(wc -l < "$WORK/requests.log")"
  done
}
median() { tr ' ' '\n' <<<"$1" | grep . | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# shellcheck disable=SC2086
run aracnide "$RUNS" "$AR" --check "$url/index.htm" --whole-site --report r.log $EXTRA
run aracnide-jobs1 "${JOBS1_RUNS:-$RUNS}" "$AR" --check "$url/index.htm" --whole-site --jobs 1 --report r1.log
a=$(median "${times[aracnide]}"); j=$(median "${times[aracnide-jobs1]}")
if [ "$PEER" = 1 ]; then
  run peer "$RUNS" "$peer" "$url/" --recurse --skip '^mailto'
  l=$(median "${times[peer]}")
  echo "medians: aracnide $a s, aracnide --jobs 1 $j s, peer $l s; aracnide / peer = $(echo "scale=2; $a / $l" | bc)"
else
  echo "medians: aracnide $a s, aracnide --jobs 1 $j s"
fi
if [ "${DIALOG:-0}" = 1 ]; then
  ARACNIDE_BENCH_URL=$url/index.htm "$(dirname "$AR")/../bench/aracnide_dialog_bench" \
    --benchmark_filter=DialogOnSlowSite 2>&1 | grep -E 'median|mean'
fi
cmp -s <(sed 1,2d "$WORK/run/r.log") <(sed 1,2d "$WORK/run/r1.log") && echo "reports identical (after the header lines)" || echo "REPORTS DIFFER"
