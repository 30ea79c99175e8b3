#!/usr/bin/env bash
# The command-line conversion in its file and piped forms: one output line per input line and no more,
# NUL bytes and other characters in bank code or account refused on their line, long accounts refused.
# Usage: tests/iban/iban_konvertieren_eingabe.sh PATH/TO/iban-konvertieren
set -euo pipefail
werkzeug=${1:?Aufruf: iban_konvertieren_eingabe.sh PFAD/ZU/iban-konvertieren}
arbeit=$(mktemp -d)
trap 'rm -rf "$arbeit"' EXIT
# One bank of the Bundesbank's extended file (174 characters), rule 0005 version 03.
printf '%s%s%-98s%-27s%-5s%-11s%s%-6s%s%s%s%s\n' 37040044 1 "Commerzbank" "Commerzbank Koeln" "" COBADEFFXXX 13 "" U " " \
  00000000 000503 >"$arbeit/blz.txt"
fehler=0
pruefen() {  # name, expected output lines (one per argument) -- the output file is $arbeit/aus
  local name=$1; shift
  local erwartet; erwartet=$(printf '%s\n' "$@")
  if [ "$(cat "$arbeit/aus")" != "$erwartet" ] || [ "$(wc -l <"$arbeit/aus")" -ne "$#" ]; then
    fehler=$((fehler + 1)); echo "FEHLER $name:"; cat -A "$arbeit/aus"
  elif tr -d '\000' <"$arbeit/aus" | cmp -s - "$arbeit/aus"; then
    echo "ok    $name"
  else
    fehler=$((fehler + 1)); echo "FEHLER $name: NUL in der Ausgabe"
  fi
}
ok='37040044;532013000;DE89370400440532013000;COBADEFFXXX;101-Umwandlung ohne Neuberechnung der Kontenprüfziffer. Evtl. prüfen beim Kontoinhaber'
konto9='9-Kontonummer fehlt oder ist ungültig'

printf '37040044;532013000\n' | "$werkzeug" "$arbeit/blz.txt" >"$arbeit/aus";  pruefen "Pipe mit Zeilenende" "$ok"
printf '37040044;532013000' | "$werkzeug" "$arbeit/blz.txt" >"$arbeit/aus";    pruefen "Pipe ohne Zeilenende" "$ok"
printf '37040044;532013000\n' >"$arbeit/ein.txt"
"$werkzeug" "$arbeit/blz.txt" "$arbeit/ein.txt" >"$arbeit/aus";                pruefen "Datei" "$ok"
printf '' | "$werkzeug" "$arbeit/blz.txt" >"$arbeit/aus";                      pruefen "Leere Eingabe"
printf '37040044;5320\0000013000\n37040044;532013000\n' | "$werkzeug" "$arbeit/blz.txt" >"$arbeit/aus"
pruefen "NUL in der Kontonummer (Pipe)" "37040044;5320�0013000;;;$konto9" "$ok"
printf '37040044;5320\0000013000\n' >"$arbeit/ein.txt"
"$werkzeug" "$arbeit/blz.txt" "$arbeit/ein.txt" >"$arbeit/aus"
pruefen "NUL in der Kontonummer (Datei)" "37040044;5320�0013000;;;$konto9"
printf '3704\0000044;532013000\n3704004X;1\n' | "$werkzeug" "$arbeit/blz.txt" >"$arbeit/aus"
pruefen "Andere Zeichen in der BLZ" "3704�0044;532013000;;;5-BLZ ist nicht 8-stellig" "3704004X;1;;;5-BLZ ist nicht 8-stellig"
printf '37040044;123456789012345678901234567890\r\n' | "$werkzeug" "$arbeit/blz.txt" >"$arbeit/aus"
pruefen "Zu lange Kontonummer" "37040044;123456789012345678901234567890;;;$konto9"
# A bank record with a BIC that is no BIC: named on stderr with its line, the other banks still serve.
cp "$arbeit/blz.txt" "$arbeit/blz2.txt"
printf '%s%s%-98s%-27s%-5s%-11s%s%-6s%s%s%s%s\n' 30000000 1 "Kaputt" "Kaputt" "" 'A1B2' 13 "" U " " 00000000 000000 \
  >>"$arbeit/blz2.txt"
printf '37040044;532013000\n' | "$werkzeug" "$arbeit/blz2.txt" >"$arbeit/aus" 2>"$arbeit/err"
pruefen "Abgewiesener Bankdatensatz" "$ok"
if grep -q 'Zeile 2, BLZ 30000000, BIC "A1B2": Die BIC muss 8 oder 11 Zeichen lang sein.' "$arbeit/err"; then
  echo "ok    Abgewiesener Bankdatensatz wird genannt"
else
  fehler=$((fehler + 1)); echo "FEHLER Abgewiesener Bankdatensatz nicht genannt:"; cat "$arbeit/err"
fi
[ "$fehler" -eq 0 ]
