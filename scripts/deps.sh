#!/usr/bin/env bash
# Installs the Debian packages the build needs; does nothing when they are present.
set -euo pipefail
pkgs=(build-essential cmake ninja-build ccache pkg-config
      qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-translations-l10n libqt6sql6-sqlite libgl1-mesa-dev
      libsqlite3-dev sqlite3 postgresql libpq-dev libsodium-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
      libxlsxwriter-dev poppler-utils python3-openpyxl
      xvfb xauth fonts-noto-cjk xdotool imagemagick)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""; [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
