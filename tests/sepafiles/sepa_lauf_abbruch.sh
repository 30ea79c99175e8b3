#!/usr/bin/env bash
# Kill tests of the SEPA run. sepa-lauf kills itself with SIGKILL at each step of a run (and, where strace is
# installed, strace kills it at its rename system calls); the next opening (sepa-lauf --nur-oeffnen) must
# leave exactly one of two states:
#   A  no order marked, no final file, the reference unchanged;
#   B  every final file present, exactly its orders marked (each in one file), the reference raised;
# and in both no temporary file and no pending record. The database is checked with the standard sqlite3
# shell. Usage: tests/sepafiles/sepa_lauf_abbruch.sh PATH/TO/sepa-lauf
set -euo pipefail
treiber=${1:?Aufruf: sepa_lauf_abbruch.sh PFAD/ZU/sepa-lauf}
command -v sqlite3 >/dev/null || { echo "Das Programm sqlite3 fehlt (Debian-Paket sqlite3)." >&2; exit 1; }
arbeit=$(mktemp -d)
trap 'rm -rf "$arbeit"' EXIT
export TAMOSEPA_EINSTELLUNGEN="$arbeit/einstellungen.ini"
anzahl=24

# Templates: open orders of all four sequences (a split run writes four files) and credit transfers.
"$treiber" --db "$arbeit/lastschriften.db" --erzeugen "$anzahl" --art 1 --referenz R100 --nur-oeffnen >/dev/null
"$treiber" --db "$arbeit/ueberweisungen.db" --erzeugen "$anzahl" --art 0 --referenz U100 --nur-oeffnen >/dev/null

versuche=0; zustand_a=0; zustand_b=0; fehler=0

# pruefen NAME VORLAGE ZIEL ERWARTET(A|B) DATEIEN REFERENZ-A REFERENZ-B
pruefen() {
  local name=$1 db=$2 ziel=$3 erwartet=$4 dateien=$5 ref_a=$6 ref_b=$7
  local markiert vermerke finals temps ref namen_db namen_dateien doppelt zustand=X
  markiert=$(sqlite3 "$db" "SELECT count(*) FROM Zahlungen WHERE Erledigt = 1")
  vermerke=$(sqlite3 "$db" "SELECT count(*) FROM SepaLaufDateien")
  ref=$(sqlite3 "$db" "SELECT ReferenzNr FROM Absender WHERE AbsenderNr = 1")
  finals=$(find "$ziel" -maxdepth 1 -name '*.XML' | wc -l)
  temps=$(find "$ziel" -maxdepth 1 -name '*.sepatmp' | wc -l)
  namen_db=$(sqlite3 "$db" "SELECT Name FROM Zahlungen WHERE Erledigt = 1" | sort)
  namen_dateien=$(cat "$ziel"/*.XML 2>/dev/null | grep -o '<Nm>Kunde [0-9]*</Nm>' | sed 's/<[^>]*>//g' | sort || true)
  doppelt=$(printf '%s\n' "$namen_dateien" | uniq -d)
  if [ "$markiert" -eq 0 ] && [ "$finals" -eq 0 ] && [ "$ref" = "$ref_a" ]; then
    zustand=A
  elif [ "$markiert" -eq "$anzahl" ] && [ "$finals" -eq "$dateien" ] && [ "$namen_db" = "$namen_dateien" ] &&
       [ -z "$doppelt" ] && [ "$ref" = "$ref_b" ]; then
    zustand=B
  fi
  [ "$vermerke" -eq 0 ] && [ "$temps" -eq 0 ] || zustand=X
  versuche=$((versuche + 1))
  case $zustand in A) zustand_a=$((zustand_a + 1));; B) zustand_b=$((zustand_b + 1));; esac
  if [ "$zustand" = "$erwartet" ] || { [ "$erwartet" = AB ] && [ "$zustand" != X ]; }; then
    printf 'ok    %-40s Zustand %s\n' "$name" "$zustand"
  else
    fehler=$((fehler + 1))
    printf 'FEHLER %-39s Zustand %s statt %s (markiert %s, Dateien %s, temporär %s, Vermerke %s, Referenz %s)\n' \
      "$name" "$zustand" "$erwartet" "$markiert" "$finals" "$temps" "$vermerke" "$ref"
  fi
}

# abbrechen NAME VORLAGE ART ERWARTET(A|B|AB) DATEIEN REFERENZ-A REFERENZ-B [ALTE-DATEI] -- KOMMANDO-VORSATZ...
abbrechen() {
  local name=$1 vorlage=$2 art=$3 erwartet=$4 dateien=$5 ref_a=$6 ref_b=$7 alt=$8; shift 9
  local fall="$arbeit/$name" rc=0
  mkdir -p "$fall/ziel"
  cp "$arbeit/$vorlage.db" "$fall/TamoSEPA.db"
  [ -z "$alt" ] || printf 'alte Datei' >"$fall/ziel/$alt"
  local aufteilen=(); [ "$art" = 0 ] || aufteilen=(--aufteilen)
  # In the background and waited for: the shell's own "Killed" notice goes nowhere.
  "$@" --db "$fall/TamoSEPA.db" --art "$art" "${aufteilen[@]}" --ziel "$fall/ziel" --referenz "$ref_a" \
    >"$fall/lauf.aus" 2>"$fall/lauf.err" &
  wait $! 2>/dev/null || rc=$?
  if [ "$rc" -eq 0 ]; then
    fehler=$((fehler + 1)); echo "FEHLER $name: der Lauf wurde nicht abgebrochen"; return
  fi
  "$treiber" --db "$fall/TamoSEPA.db" --nur-oeffnen --ziel "$fall/ziel" >"$fall/oeffnen.aus" 2>"$fall/oeffnen.err" || true
  # An older file of a name the run replaced counts as a file of state A only when it is still the old one.
  if [ -n "$alt" ] && [ "$erwartet" = A ] && [ "$(cat "$fall/ziel/$alt" 2>/dev/null)" = 'alte Datei' ]; then
    rm "$fall/ziel/$alt"
  fi
  pruefen "$name" "$fall/TamoSEPA.db" "$fall/ziel" "$erwartet" "$dateien" "$ref_a" "$ref_b"
}

for punkt in vor-den-dateien:A nach-den-dateien:A nach-der-markierung:B nach-dem-umbenennen:0:B \
             nach-dem-umbenennen:2:B nach-dem-umbenennen:3:B nach-dem-aufraeumen:B; do
  erwartet=${punkt##*:}; schritt=${punkt%:*}
  abbrechen "lastschrift-${schritt/:/-}" lastschriften 1 "$erwartet" 4 R100 R104 "" -- \
    "$treiber" --abbrechen-bei "$schritt"
done
for punkt in vor-den-dateien:A nach-der-markierung:B nach-dem-umbenennen:0:B; do
  erwartet=${punkt##*:}; schritt=${punkt%:*}
  abbrechen "ueberweisung-${schritt/:/-}" ueberweisungen 0 "$erwartet" 1 U100 U101 "" -- \
    "$treiber" --abbrechen-bei "$schritt"
done
# An older file of the first name: the run moves it aside before the new one goes in.
abbrechen "lastschrift-alte-datei-nach-der-markierung" lastschriften 1 B 4 R100 R104 SEPALKBasisEinmal.XML -- \
  "$treiber" --abbrechen-bei nach-der-markierung

# Recovery against reactivation: a run killed after its commit, before its renames. The program on another
# workstation (opened before, so it did not finish the run) refuses to reactivate the orders; an older program
# reopens three of them anyway. The next opening drops the file that holds them and reopens the rest of it,
# finishes the other files; a new run writes the reopened orders. No order is in two files, and exactly the
# orders in files are marked done.
reaktivierung() {
  local fall="$arbeit/reaktivierung" rc=0 problem="" markiert namen_db namen_dateien doppelt rest
  mkdir -p "$fall/ziel" "$fall/neu"
  cp "$arbeit/lastschriften.db" "$fall/TamoSEPA.db"
  "$treiber" --abbrechen-bei nach-der-markierung --db "$fall/TamoSEPA.db" --art 1 --aufteilen --ziel "$fall/ziel" \
    --referenz R100 >"$fall/lauf.aus" 2>"$fall/lauf.err" &
  wait $! 2>/dev/null || rc=$?
  [ "$rc" -ne 0 ] || problem="der Lauf wurde nicht abgebrochen"
  if "$treiber" --db "$fall/TamoSEPA.db" --reaktivieren >"$fall/reaktivieren.aus" 2>"$fall/reaktivieren.err"; then
    problem="die Reaktivierung wurde nicht verweigert"
  elif ! grep -q 'Ein SEPA-Lauf wurde unterbrochen' "$fall/reaktivieren.err"; then
    problem="die Reaktivierung nennt den unterbrochenen Lauf nicht: $(cat "$fall/reaktivieren.err")"
  fi
  markiert=$(sqlite3 "$fall/TamoSEPA.db" "SELECT count(*) FROM Zahlungen WHERE Erledigt = 1")
  [ "$markiert" -eq "$anzahl" ] || problem="${problem:-nach der verweigerten Reaktivierung $markiert statt $anzahl erledigt}"
  sqlite3 "$fall/TamoSEPA.db" "UPDATE Zahlungen SET Erledigt = 0, ErledigtDatum = NULL, Buchungsdatum = NULL WHERE \
    ZahlungNr IN (SELECT ZahlungNr FROM Zahlungen WHERE MandatSequenz = 1 ORDER BY ZahlungNr LIMIT 3)"
  "$treiber" --db "$fall/TamoSEPA.db" --nur-oeffnen >"$fall/oeffnen.aus" 2>"$fall/oeffnen.err" || true
  grep -q 'verworfen' "$fall/oeffnen.err" || problem="${problem:-das Öffnen nennt keine verworfene Datei}"
  "$treiber" --db "$fall/TamoSEPA.db" --art 1 --aufteilen --ziel "$fall/neu" --referenz R200 \
    >"$fall/neu.aus" 2>"$fall/neu.err" || problem="${problem:-der neue Lauf scheiterte: $(cat "$fall/neu.err")}"
  markiert=$(sqlite3 "$fall/TamoSEPA.db" "SELECT count(*) FROM Zahlungen WHERE Erledigt = 1")
  namen_db=$(sqlite3 "$fall/TamoSEPA.db" "SELECT Name FROM Zahlungen WHERE Erledigt = 1" | sort)
  namen_dateien=$(cat "$fall"/ziel/*.XML "$fall"/neu/*.XML 2>/dev/null | grep -o '<Nm>Kunde [0-9]*</Nm>' |
                  sed 's/<[^>]*>//g' | sort || true)
  doppelt=$(printf '%s\n' "$namen_dateien" | uniq -d)
  rest=$(( $(find "$fall/ziel" "$fall/neu" -name '*.sepatmp' | wc -l) +
           $(sqlite3 "$fall/TamoSEPA.db" "SELECT count(*) FROM SepaLaufDateien") ))
  [ -z "$doppelt" ] || problem="${problem:-in zwei Dateien: $doppelt}"
  [ "$markiert" -eq "$anzahl" ] && [ "$namen_db" = "$namen_dateien" ] ||
    problem="${problem:-erledigt $markiert, aber die Dateien halten andere Zahlungen}"
  [ "$rest" -eq 0 ] || problem="${problem:-$rest temporäre Dateien oder Vermerke übrig}"
  versuche=$((versuche + 1))
  if [ -z "$problem" ]; then
    printf 'ok    %-40s kein Auftrag in zwei Dateien\n' "reaktivierung-nach-der-markierung"
  else
    fehler=$((fehler + 1))
    echo "FEHLER reaktivierung-nach-der-markierung: $problem"
  fi
}
reaktivierung

# Killed at the system call itself: each rename and each fsync of a whole run in turn.
if command -v strace >/dev/null && strace -o /dev/null true 2>/dev/null; then
  zaehlen() {   # how often a run calls the system calls $1
    mkdir -p "$arbeit/zaehlen-$1/ziel"
    cp "$arbeit/lastschriften.db" "$arbeit/zaehlen-$1/TamoSEPA.db"
    strace -f -o "$arbeit/zaehlen-$1/strace" -e trace="$1" "$treiber" --db "$arbeit/zaehlen-$1/TamoSEPA.db" --art 1 \
      --aufteilen --ziel "$arbeit/zaehlen-$1/ziel" --referenz R100 >/dev/null 2>&1
    grep -cE "^[0-9]+ +(${1//,/|})\(" "$arbeit/zaehlen-$1/strace"
  }
  # (strace counts the calls of each system call on its own)
  renames=$(zaehlen rename)
  for n in $(seq 1 "$renames"); do
    abbrechen "lastschrift-strace-rename-$n" lastschriften 1 B 4 R100 R104 "" -- \
      strace -f -o /dev/null -e trace=rename -e inject=rename:signal=SIGKILL:when=$n "$treiber"
  done
  abbrechen "lastschrift-alte-datei-strace-rename-2" lastschriften 1 B 4 R100 R104 SEPALKBasisEinmal.XML -- \
    strace -f -o /dev/null -e trace=rename -e inject=rename:signal=SIGKILL:when=2 "$treiber"
  # Every fsync of the run in turn (files, database, folder): which state results depends on where SQLite
  # syncs, but it is always one of the two.
  for aufruf in fsync fdatasync; do
    for n in $(seq 1 "$(zaehlen $aufruf)"); do
      abbrechen "lastschrift-strace-$aufruf-$n" lastschriften 1 AB 4 R100 R104 "" -- \
        strace -f -o /dev/null -e trace=$aufruf -e inject=$aufruf:signal=SIGKILL:when=$n "$treiber"
    done
  done
else
  echo "strace fehlt oder darf nicht laufen: die Abbrüche an den Systemaufrufen entfallen"
fi

echo "Abbruchstellen: $versuche, Zustand A: $zustand_a, Zustand B: $zustand_b, andere: $fehler"
[ "$fehler" -eq 0 ]
