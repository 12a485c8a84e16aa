#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it: lintian (no errors) and
# appstreamcli (the metainfo validates). usage: package.sh <build folder>
set -euo pipefail
build=${1:-build}
bash scripts/setup.sh --package
rm -rf "$build/package"
(cd "$build" && cpack -G DEB --config CPackConfig.cmake)
deb=$(ls "$build"/package/quellbid_*.deb)
echo "== $deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
echo "== lintian"
lintian --tag-display-limit 0 "$deb" || { echo "lintian reports errors" >&2; exit 1; }
echo "== appstreamcli validate"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp"
appstreamcli validate --no-net "$tmp"/usr/share/metainfo/*.metainfo.xml
desktop-file-validate "$tmp"/usr/share/applications/*.desktop
echo "package: $deb"
