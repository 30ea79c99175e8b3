#!/usr/bin/env bash
# Measures the SEPA run at 100,000 open credit transfers and 100,000 direct debits (1-5 lines each):
# selection with pre-check, writing with marking (timed by the driver), and the process's peak memory
# (generation of the data included).
# Usage: bench/sepa_lauf_messen.sh [BUILD-FOLDER] [ANZAHL]
set -euo pipefail
build=${1:-build}
anzahl=${2:-100000}
treiber="$build/bench/sepa-lauf"
arbeit=$(mktemp -d)
trap 'rm -rf "$arbeit"' EXIT
export TAMOSEPA_EINSTELLUNGEN="$arbeit/einstellungen.ini"

lauf() {  # name, art, further options: a second database, the run measured with /usr/bin/time
  local name=$1 art=$2; shift 2
  mkdir -p "$arbeit/$name"
  /usr/bin/time -v "$treiber" --db "$arbeit/$name.db" --erzeugen "$anzahl" --art "$art" --ziel "$arbeit/$name" \
    --referenz "${name}100" --seed 1 "$@" --zeiten >"$arbeit/$name.aus" 2>"$arbeit/$name.err"
  echo "== $name ($anzahl Zahlungen)"
  grep -E '^(Zahlungen|Fehlerhaft):' "$arbeit/$name.aus"
  grep -E 'Zeit |Maximum resident|Elapsed' "$arbeit/$name.err"
}

lauf Ueberweisung 0
lauf Basislastschrift 1 --aufteilen
lauf Firmenlastschrift-feindlich 2 --feindlich
