#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test Quellbid.
# A fast no-op when everything is present.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang clang-format libclang-rt-14-dev make
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools qt6-svg-dev qt6-charts-dev
  libqt6opengl6-dev libgl-dev qt6-qpa-plugins libqt6webenginecore6-bin
  libqt6sql6-sqlite libbenchmark-dev libxml2-dev
  xvfb xauth xdotool x11-utils imagemagick openbox at-spi2-core dbus-x11 python3-pyatspi
  fonts-dejavu-core fonts-liberation
)

# make package also needs the Debian packaging and checking tools.
if [[ "${1:-}" == "--package" ]]; then
  packages+=(dpkg-dev fakeroot lintian appstream desktop-file-utils man-db)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
