#!/usr/bin/env bash
# Measures the address window's "Import" at 100,000 addresses with nothing new to take over: the IBAN
# conversion over all of the window's addresses and the reload of its grid, each run a process of its own
# over a fresh copy of the addresses (generated beforehand by another process), with its peak memory.
# Usage: bench/iban_lauf_messen.sh [BUILD-FOLDER] [ANZAHL] [LAEUFE]
set -euo pipefail
build=${1:-build}
anzahl=${2:-100000}
laeufe=${3:-3}
treiber="$build/bench/iban-lauf"
arbeit=$(mktemp -d)
trap 'rm -rf "$arbeit"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

if ! "$treiber" --db "$arbeit/adressen.db" --erzeugen "$anzahl" 2>"$arbeit/err"; then
  cat "$arbeit/err"
  exit 1
fi
echo "== IBAN-Konvertierung im Adressfenster ($anzahl Adressen)"
for lauf in $(seq "$laeufe"); do
  if ! /usr/bin/time -v "$treiber" --db "$arbeit/adressen.db" --zeiten >"$arbeit/aus" 2>"$arbeit/err"; then
    cat "$arbeit/aus" "$arbeit/err"
    exit 1
  fi
  [ "$lauf" = 1 ] && grep -E '^(Adressen|Mit IBAN):' "$arbeit/aus"
  grep -E 'Zeit |Maximum resident|Elapsed' "$arbeit/err"
done
