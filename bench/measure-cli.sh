#!/usr/bin/env bash
# tarvelo-fit as a whole process:
#   - wall time on the 40-point example against an empty C++ program that
#     loads the same standard library (target: within 1.25x);
#   - peak resident memory on a generated section of 100000 points with 20
#     control points (target: under 16 MB);
#   - time per point at 1000 and 100000 points, less the empty program's
#     start-up (target: at 100000 within 1.1x of that at 1000).
# Others may be using the machine: the programs take turns, run after run,
# and the figures come from each one's fastest run. The files go to a tmpfs where there is
# one: the output is synced to disk before it replaces an earlier one, which
# on a disk takes longer than the whole program.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ensure-packages.sh
ensure_packages "${TARVELO_PACKAGES[@]}" libbenchmark-dev time
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)" --target tarvelo-fit >/dev/null
fit=build/bench/cli/tarvelo-fit
work=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work"' EXIT

# --no-as-needed keeps libstdc++ loaded although the program uses none of it.
echo 'int main() {}' | c++ -O2 -x c++ - -o "$work/empty" -Wl,--no-as-needed -lstdc++ -lm

# NACA 4412 at n cosine-spaced stations, in percent of chord like the examples.
section() {
  LC_ALL=C awk -v n="$1" 'BEGIN {
    pi = atan2(0, -1)
    printf "NACA 4412, %d cosine-spaced stations\r\n%d\r\n", n, n
    for (i = 0; i < n; i++) {
      x = 0.5 * (1 - cos(pi * i / (n - 1)))
      h = 0.6 * (0.2969 * sqrt(x) - 0.1260 * x - 0.3516 * x^2 + 0.2843 * x^3 - 0.1015 * x^4)
      c = x < 0.4 ? 0.04 / 0.16 * (0.8 * x - x * x) : 0.04 / 0.36 * (0.2 + 0.8 * x - x * x)
      printf "%.8f, %.8f, %.8f, %.8f\r\n", 100 * x, 100 * h, 100 * h, 100 * c
    }
  }' >"$work/naca4412-$1.dat"
}
section 1000
section 100000

# One run of "$@" and its wall time in microseconds, recorded under NAME.
sample() {
  local name=$1 t0 t1
  shift
  t0=$EPOCHREALTIME
  "$@" >/dev/null
  t1=$EPOCHREALTIME
  echo "$name $((${t1/./} - ${t0/./}))" >>"$work/times"
}
for round in $(seq 300); do
  sample empty "$work/empty"
  sample fit40 "$fit" -o "$work/out.FOI" examples/naca4412-40pt.dat
  if [ $((round % 5)) -eq 0 ]; then sample fit1k "$fit" -n 20 -o "$work/out.FOI" "$work/naca4412-1000.dat"; fi
  if [ $((round % 30)) -eq 0 ]; then sample fit100k "$fit" -n 20 -o "$work/out.FOI" "$work/naca4412-100000.dat"; fi
done

# Fastest and median run of each, the figures derived from the fastest.
sort -k1,1 -k2,2n "$work/times" | awk '
  { t[$1, ++n[$1]] = $2 }
  END {
    for (k in n) { min[k] = t[k, 1]; med[k] = t[k, int((n[k] + 1) / 2)] }
    printf "%-34s %7d us fastest, %7d us median\n", "empty C++ program:", min["empty"], med["empty"]
    printf "%-34s %7d us fastest, %7d us median, %.2f x the empty program\n",
           "tarvelo-fit, 40 points, 8:", min["fit40"], med["fit40"], min["fit40"] / min["empty"]
    p1k = (min["fit1k"] - min["empty"]) * 1000 / 1000
    p100k = (min["fit100k"] - min["empty"]) * 1000 / 100000
    printf "%-34s %7d us fastest, %.0f ns per point after start-up\n",
           "tarvelo-fit -n 20, 1000 points:", min["fit1k"], p1k
    printf "%-34s %7d us fastest, %.0f ns per point after start-up, %.2f x that at 1000\n",
           "tarvelo-fit -n 20, 100000 points:", min["fit100k"], p100k, p100k / p1k
  }'
/usr/bin/time -f "tarvelo-fit peak memory, 40 points: %M KB" "$fit" -o "$work/out.FOI" \
  examples/naca4412-40pt.dat 2>&1 >/dev/null
/usr/bin/time -f "tarvelo-fit -n 20 peak memory, 100000 points: %M KB" "$fit" -n 20 -o "$work/out.FOI" \
  "$work/naca4412-100000.dat" 2>&1 >/dev/null
