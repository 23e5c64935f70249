#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Tessaly needs.
# Does nothing when all of them are present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools libqt5svg5-dev
  libboost-dev libboost-log-dev libboost-filesystem-dev libboost-system-dev
  libboost-thread-dev libboost-date-time-dev libboost-regex-dev
  libgtest-dev libgmock-dev libbenchmark-dev libssl-dev
  python3 openssl curl ca-certificates xauth xvfb xdg-utils clang-format imagemagick
  openbox trayer xdotool x11-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages: ${missing[*]}; run as root to install them" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
