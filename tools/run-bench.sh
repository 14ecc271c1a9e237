#!/usr/bin/env bash
# Runs the benchmarks of a build folder under Wine, each in a fresh copy of the test prefix.
# Usage: run-bench.sh BUILD_DIR (each gets a display of its own: some open menus)
set -euo pipefail
build=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
status=0
for program in "$build"/bench/*.exe; do
  [ -e "$program" ] || { echo "run-bench: no benchmark in $build/bench (build the bench target)" >&2; exit 1; }
  TOLVERN_GUI=1 TOLVERN_RUN_TIMEOUT=${TOLVERN_RUN_TIMEOUT:-900} "$here/wine-run.sh" "$build" "$program" || status=$?
done
exit $status
