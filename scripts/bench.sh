#!/usr/bin/env bash
# Runs the benchmarks; results are printed and written to <build>/bench.json.
set -euo pipefail
build="${1:-build}"
"$build/bench/bench_engine" --benchmark_out="$build/bench.json" --benchmark_out_format=json \
  --benchmark_min_time=0.2
