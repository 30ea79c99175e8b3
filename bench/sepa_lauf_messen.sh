#!/usr/bin/env bash
# Measures the SEPA run at 100,000 open orders (1-5 lines each) as the window runs it: selection with
# pre-check, then the run (files written and checked against the bank's ISO and DK schemas, orders marked,
# commit, renames), on a database prepared beforehand by another process. Besides, how long checking the files
# against the schemas takes alone (read back after the run, both schemas side by side, as the run checks). Each figure is the median of several runs of a fresh copy, with the process's peak
# memory (maximum resident set size). Kinds: credit transfers; core direct debits split by sequence type;
# business-to-business direct debits with hostile values (faulty orders left out).
# Usage: bench/sepa_lauf_messen.sh [BUILD-FOLDER] [ANZAHL] [WIEDERHOLUNGEN]
# With CALLGRIND=1 each kind also runs once under valgrind --tool=callgrind (instructions of the selection
# and of the run).
set -euo pipefail
build=${1:-build}
anzahl=${2:-100000}
wiederholungen=${3:-5}
treiber="$build/bench/sepa-lauf"
arbeit=$(mktemp -d)
trap 'rm -rf "$arbeit"' EXIT
export TAMOSEPA_EINSTELLUNGEN="$arbeit/einstellungen.ini"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

median() { sort -n | awk '{ w[NR] = $1 } END { if (NR) print (NR % 2 ? w[(NR + 1) / 2] : (w[NR / 2] + w[NR / 2 + 1]) / 2) }'; }
wert() { grep -E "^$1" "$2" | head -1 | sed -E 's/.*: ([0-9]+) ms/\1/'; }

lauf() {  # name, art, further options (--aufteilen, --feindlich)
  local name=$1 art=$2; shift 2
  local aufteilen=() feindlich=()
  for o in "$@"; do case $o in --aufteilen) aufteilen=(--aufteilen);; --feindlich) feindlich=(--feindlich);; esac; done
  "$treiber" --db "$arbeit/$name.vorlage.db" --erzeugen "$anzahl" --art "$art" --referenz "${name}100" --seed 1 \
    "${feindlich[@]}" --nur-oeffnen >/dev/null 2>"$arbeit/$name.erzeugen"
  : >"$arbeit/$name.werte"
  local lastVorher
  lastVorher=$(cut -d' ' -f1 /proc/loadavg)
  for ((i = 1; i <= wiederholungen; i++)); do
    rm -rf "$arbeit/$name" "$arbeit/$name.db"* && mkdir -p "$arbeit/$name"
    cp "$arbeit/$name.vorlage.db" "$arbeit/$name.db"
    /usr/bin/time -v "$treiber" --db "$arbeit/$name.db" --art "$art" "${aufteilen[@]}" --ziel "$arbeit/$name" \
      --referenz "${name}100" --zeiten >"$arbeit/$name.aus" 2>"$arbeit/$name.err"
    local auswahl lauf dateien markiert spitze pruefung
    auswahl=$(wert "Zeit Auswahl und Prüfung" "$arbeit/$name.err")
    lauf=$(wert "Zeit Schreiben und Markieren" "$arbeit/$name.err")
    dateien=$(wert "Zeit bis nach-den-dateien" "$arbeit/$name.err")
    markiert=$(wert "Zeit bis nach-der-markierung" "$arbeit/$name.err")
    spitze=$(awk '/Maximum resident set size/ { print $6 }' "$arbeit/$name.err")
    pruefung=$(wert "Zeit Schemaprüfung allein" "$arbeit/$name.err")
    echo "$((auswahl + lauf)) $auswahl $lauf $dateien $markiert $spitze $pruefung" >>"$arbeit/$name.werte"
  done
  # Wall times on a shared machine depend on its load: the one-minute load average before and after.
  echo "== $name ($anzahl Zahlungen, Median aus $wiederholungen Läufen; Last $lastVorher vorher, $(cut -d' ' -f1 /proc/loadavg) nachher, $(nproc) Kerne)"
  grep -E '^(Zahlungen|Fehlerhaft):' "$arbeit/$name.aus" | tr '\n' ' '
  echo
  spalte() { awk -v s="$1" '{ print $s }' "$arbeit/$name.werte" | median; }
  printf '    Auswahl und Prüfung + Lauf bis zum Commit und Umbenennen: %s ms (Auswahl %s ms, Lauf %s ms)\n' \
    "$(spalte 1)" "$(spalte 2)" "$(spalte 3)"
  printf '    im Lauf: Dateien geschrieben, geprüft und Zahlungen markiert nach %s ms, Commit nach %s ms\n' "$(spalte 4)" "$(spalte 5)"
  printf '    Schemaprüfung allein (ISO und DK nebeneinander, nach dem Lauf gemessen): %s ms\n' "$(spalte 7)"
  printf '    Spitzenspeicher des Prozesses: %.1f MiB\n' "$(spalte 6 | awk '{ print $1 / 1024 }')"
  if [ "${CALLGRIND:-0}" = 1 ] && command -v valgrind >/dev/null; then
    rm -rf "$arbeit/$name" "$arbeit/$name.db"* && mkdir -p "$arbeit/$name"
    cp "$arbeit/$name.vorlage.db" "$arbeit/$name.db"
    valgrind --tool=callgrind --callgrind-out-file="$arbeit/$name.cg" "$treiber" --db "$arbeit/$name.db" --art "$art" \
      "${aufteilen[@]}" --ziel "$arbeit/$name" --referenz "${name}100" >/dev/null 2>&1
    # Inclusive counts per function sum up the threads: the selection's and the run's own thread, and the second
    # threads that work on the orders read (in this fast path only the selection's) and write the files; the
    # schema check's threads (one parse and one check per schema for each file) are counted apart.
    callgrind_annotate --inclusive=yes "$arbeit/$name.cg" 2>/dev/null |
      awk 'function zahl(t) { gsub(",", "", t); return t / 1e6 }
           /PROGRAM TOTALS/ { gesamt = zahl($1) }
           /SepaSelektion::ZahlungenSelektieren\(Datenbank&, SepaAuswahlAnfrage const&\) \[/ && !a { a = zahl($1) }
           /_M_run\(\)/ && /SepaAuftragsleser::Lesen/ && !b { b = zahl($1) }
           /SepaLauf::Ausfuehren\(Datenbank&, SepaLaufAnfrage const&, SepaLaufStoerung const\*\) \[/ && !l { l = zahl($1) }
           /_M_run\(\)/ && /DateienUndMarken/ && !d { d = zahl($1) }
           /SepaSchemastrom::Zerleger::Zerlegen\(\) \[/ && !z { z = zahl($1) }
           /SepaSchemastrom::Pruefer::Pruefen\(\) \[/ && !p { p = zahl($1) }
           END { printf "    Instruktionen (callgrind, Mio.): Auswahl %.0f (davon im zweiten Thread %.0f), Lauf %.0f (davon Dateien im zweiten Thread %.0f); Schemaprüfung %.0f (Zerlegen %.0f, Prüfen %.0f); Prozess gesamt %.0f\n", a + b, b, l + d, d, z + p, z, p, gesamt }'
  fi
}

lauf Ueberweisung 0
lauf Basislastschrift 1 --aufteilen
lauf Firmenlastschrift-feindlich 2 --aufteilen --feindlich
