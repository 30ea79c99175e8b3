#!/usr/bin/env bash
# Each program named loads no widget library: the dynamic loader's list (ldd) names neither libQt6Widgets nor
# libQt6PrintSupport (which brings the widgets along). It must name libQt6Core, or ldd did not read the program.
# Exit 0 when all are free of widgets.
set -u
fehler=0
for programm in "$@"; do
  name=$(basename "$programm")
  if ! liste=$(ldd "$programm" 2>&1); then
    echo "ldd cannot read $programm: $liste"
    fehler=1
    continue
  fi
  if ! grep -q 'libQt6Core' <<<"$liste"; then
    echo "$name: ldd names no libQt6Core"
    fehler=1
  fi
  if treffer=$(grep -iE 'libQt6(Widgets|PrintSupport)' <<<"$liste"); then
    echo "$name loads a widget library:"
    echo "$treffer"
    fehler=1
  else
    echo "$name: no widget library"
  fi
done
exit $fehler
