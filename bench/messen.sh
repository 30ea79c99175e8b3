#!/usr/bin/env bash
# Runs the benchmarks of a build, each figure in a process of its own, and prints it with that process's
# peak memory (maximum resident set size, /usr/bin/time -v). Timed drivers with their own main (no
# Google Benchmark) run once as a whole.
# Usage: bench/messen.sh [BUILD-FOLDER]
set -euo pipefail
build=${1:-build}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
arbeit=$(mktemp -d)
trap 'rm -rf "$arbeit"' EXIT

spitze() { awk '/Maximum resident set size/ { printf "%.1f MiB", $6 / 1024 }' "$1"; }

messen() {  # what, program and arguments; prints the output (the figure lines given by $1) and the peak
  local zeilen=$1; shift
  if ! /usr/bin/time -v "$@" >"$arbeit/aus" 2>"$arbeit/err"; then
    cat "$arbeit/aus" "$arbeit/err"
    return 1
  fi
  if [ -n "$zeilen" ]; then grep -E "$zeilen" "$arbeit/aus" || true; else cat "$arbeit/aus"; fi
  echo "    Spitzenspeicher: $(spitze "$arbeit/err")"
}

for b in "$build"/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  if ! readelf -d "$b" 2>/dev/null | grep -q 'libbenchmark'; then
    messen "" "$b"
    continue
  fi
  "$b" --benchmark_list_tests >"$arbeit/namen" 2>/dev/null
  kopf="^-*\$|^Benchmark +Time"   # the table's head, once
  while read -r name; do
    messen "${kopf:+$kopf|}^${name}[ /]" "$b" --benchmark_filter="^${name}\$" </dev/null
    kopf=""
  done <"$arbeit/namen"
done
