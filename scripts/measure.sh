#!/usr/bin/env bash
# The performance budget, measured on this machine: each figure beside the reference measured in
# the same run, and their ratio. Needs a release build (scripts/run.sh sample builds one), the
# benchmarks (cmake --preset bench && cmake --build --preset bench) and
# rsvg-convert (librsvg2-bin). Prints a Markdown table.
#   scripts/measure.sh [REPETITIONS]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
reps=${1:-5}
bin=build/default/src/korvel-widgets
benches=build/bench/bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sample=examples/week.json
now=$(( $(grep -o '"generatedMs": *[0-9]*' "$sample" | grep -o '[0-9]*$') / 1000 + 3600 ))

# Median CPU time in ms of one benchmark (Google Benchmark's own repetitions).
bench_ms() {  # binary filter
  "$benches/$1" --benchmark_filter="^$2\$" --benchmark_repetitions="$reps" \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
    awk -F, -v name="$2_median" '$1 ~ name { unit=$5; t=$4; gsub(/"/, "", unit);
      if (unit == "ns") t /= 1e6; else if (unit == "us") t /= 1e3; else if (unit == "s") t *= 1e3;
      printf "%.3f", t }'
}
bench_counter() {  # binary filter counter
  "$benches/$1" --benchmark_filter="^$2\$" --benchmark_repetitions=1 --benchmark_format=json 2>/dev/null |
    grep -o "\"$3\": [0-9.e+]*" | head -1 | awk '{printf "%.0f", $2}'
}

# Median wall seconds (to the millisecond) and the largest peak RSS (KB) of a command over the
# repetitions.
process() {  # command...
  local walls=() rss=0 start end
  for _ in $(seq "$reps"); do
    start=$(date +%s%N)
    /usr/bin/time -f "%M" -o "$work/time" "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    read -r kb <"$work/time"
    walls+=("$(awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e9 }')"); ((kb > rss)) && rss=$kb
  done
  printf '%s %s\n' "$(printf '%s\n' "${walls[@]}" | sort -n | awk '{a[NR]=$1} END{print a[int((NR+1)/2)]}')" "$rss"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "Machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the start"
echo
echo "| figure | value | reference | reference value | ratio | budget |"
echo "|---|---|---|---|---|---|"

t=$(bench_ms snapshot_bench TimelineRequest); r=$(bench_ms snapshot_bench ReadAndSimdjsonParse)
echo "| timeline request (read, decode, accept the sample), CPU | $t ms | read + simdjson parse | $r ms | $(ratio "$t" "$r") | ≤ 2 |"

for warm in 0 1; do
  label=$([ $warm = 1 ] && echo "texts measured before" || echo "texts new")
  t=$(bench_ms render_bench "BM_MediumPipeline/cairo:0/warm:$warm"); r=$(bench_ms render_bench "BM_MediumPipeline/cairo:1/warm:$warm")
  echo "| medium widget at 2x: layout, draw, libpng ($label), CPU | $t ms | same with Cairo's PNG writer | $r ms | $(ratio "$t" "$r") | ≤ 0.4 |"
done
b=$(bench_counter render_bench "BM_MediumPipeline/cairo:0/warm:1" bytes); c=$(bench_counter render_bench "BM_MediumPipeline/cairo:1/warm:1" bytes)
echo "| medium widget PNG size | $b B | Cairo's PNG writer | $c B | $(ratio "$b" "$c") | ≤ 1.3 |"

"$bin" render --kind limits --family systemMedium --appearance light --snapshot "$sample" --now "$now" \
  --format svg -o "$work/w.svg"
read -r tw tr < <(process "$bin" render --kind limits --family systemMedium --appearance light \
  --snapshot "$sample" --now "$now" --format png -o "$work/w.png")
read -r rw rr < <(process rsvg-convert -z 2 "$work/w.svg" -o "$work/r.png")
echo "| render process, one medium widget to PNG (cold), wall | $tw s | rsvg-convert of its SVG | $rw s | $(ratio "$tw" "$rw") | ≤ 0.6 |"
echo "| render process, peak RSS | $((tr / 1024)) MB | rsvg-convert | $((rr / 1024)) MB | $(ratio "$tr" "$rr") | < 20 MB |"
read -r gw gr < <(process "$bin" gallery --snapshot "$sample" --now "$now" -o "$work/gallery")
echo "| gallery process (19 widgets x 2 appearances + page), wall | $gw s | rsvg-convert of one SVG | $rw s | $(ratio "$gw" "$rw") | |"
echo "| gallery process, peak RSS | $((gr / 1024)) MB | rsvg-convert | $((rr / 1024)) MB | $(ratio "$gr" "$rr") | |"
read -r pw pr < <(process "$bin" play --once --snapshot "$sample" -o "$work/play")
echo "| player, one cycle of every widget (play --once), peak RSS | $((pr / 1024)) MB | rsvg-convert | $((rr / 1024)) MB | $(ratio "$pr" "$rr") | < 20 MB |"
echo
echo "Load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"
