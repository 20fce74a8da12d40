#!/usr/bin/env bash
# Runs the benchmarks: the problem engine's, and the program's start-up,
# memory, answer round trip and waiting against their references. Prints a
# table; every result goes to <build>/bench.json.
set -euo pipefail
build="${1:-build}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
exec python3 "$here/bench/run_benchmarks.py" "$build" "${@:2}"
