#!/usr/bin/env bash
# Wall time and peak memory of tarvelo-fit as a whole process on one section.
# Targets: under 5 ms wall and 10 MB peak resident memory.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ensure-packages.sh
ensure_packages "${TARVELO_PACKAGES[@]}" libbenchmark-dev time
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)" >/dev/null
fit=build/bench/cli/tarvelo-fit
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
args=(-o "$out/out.FOI" examples/naca4412-40pt.dat)
"$fit" "${args[@]}" >/dev/null
runs=200
start=$(date +%s%N)
for _ in $(seq $runs); do "$fit" "${args[@]}" >/dev/null; done
end=$(date +%s%N)
echo "tarvelo-fit wall time: $(( (end - start) / runs / 1000 )) us per run (mean of $runs)"
/usr/bin/time -f "tarvelo-fit peak memory: %M KB" "$fit" "${args[@]}" >/dev/null
