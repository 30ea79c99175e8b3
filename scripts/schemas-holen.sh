#!/usr/bin/env bash
# Unpacks the ISO 20022 schemas that Debian ships with tryton-modules-account-payment-sepa
# into the build tree (ZIEL/pain.001.001.03.xsd, ZIEL/pain.008.001.02.xsd). Never committed.
set -euo pipefail
ziel=${1:?Zielordner fehlt}
mkdir -p "$ziel"
if [ -f "$ziel/pain.001.001.03.xsd" ] && [ -f "$ziel/pain.008.001.02.xsd" ]; then
  exit 0
fi
arbeit=$(mktemp -d)
trap 'rm -rf "$arbeit"' EXIT
(
  cd "$arbeit"
  if ! apt-get download tryton-modules-account-payment-sepa >/dev/null 2>&1; then
    apt-get update -qq >/dev/null 2>&1 || true
    apt-get download tryton-modules-account-payment-sepa >/dev/null
  fi
  dpkg-deb -x ./*.deb auszug
)
for f in pain.001.001.03.xsd pain.008.001.02.xsd; do
  quelle=$(find "$arbeit/auszug" -path '*account_payment_sepa/tests/*' -name "$f" | head -n 1)
  if [ -z "$quelle" ]; then
    echo "Schema $f nicht im Paket gefunden" >&2
    exit 1
  fi
  cp "$quelle" "$ziel/$f"
done
