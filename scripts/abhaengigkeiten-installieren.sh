#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need; only what is missing.
# Works as root without a terminal (CI) and with sudo for a normal user.
set -euo pipefail

pakete=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
  libsqlite3-dev libxml2-dev libxml2-utils
  libgtest-dev libgmock-dev libbenchmark-dev
  poppler-utils fonts-dejavu-core
  xvfb xauth time
  sqlite3 strace
)

fehlend=()
for p in "${pakete[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    fehlend+=("$p")
  fi
done

if [ ${#fehlend[@]} -eq 0 ]; then
  exit 0
fi

echo "Installiere: ${fehlend[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${fehlend[@]}"
# The downloaded packages are not needed any more; the builds want the room.
"${sudo_cmd[@]}" apt-get clean
