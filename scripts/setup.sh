#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12. Safe to run again: it does nothing
# when everything is already there.
set -euo pipefail

need=(wine wine64 wine32:i386 g++-mingw-w64-i686 cmake ninja-build libgtest-dev libbenchmark-dev
      xvfb xauth x11-apps x11-utils imagemagick make g++)

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages (${missing[*]}); run 'make setup' as root" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
