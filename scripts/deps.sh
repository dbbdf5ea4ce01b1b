#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, when missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config ccache clang-format
    qt6-base-dev qt6-svg-dev libqt6svg6 qt6-translations-l10n
    libsqlite3-dev sqlite3 libbenchmark-dev fonts-dejavu-core
    clang libclang-rt-14-dev
    mdbtools-dev mdbtools libical-dev qt6-charts-dev libqt6charts6 libqt6opengl6-dev libxkbcommon-dev
    postgresql-15 libpq-dev openssl
    poppler-utils python3-icalendar lintian dpkg-dev file xauth xvfb xdotool
    libcpp-httplib-dev chromium chromium-driver python3-selenium faketime wrk
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
