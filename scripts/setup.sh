#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12. Safe to run again: it does nothing
# when everything is already there.
set -euo pipefail

# ghostscript: the printing tests read their PostScript output back as text. fonts-dejavu-extra:
# the preview's end-to-end tests need faces with and without bold and italic fonts. xdotool: `make
# run` clicks the information tab for its screenshot. libjpeg-dev: the native JPEG decoder;
# dpkg-dev unpacks the libjpeg-turbo source that scripts/build-libjpeg cross-builds for the Windows
# programs. tinyproxy: the HTTP tests go through a proxy that scripts/test-wine starts for each run.
# curl: scripts/bench-http measures the program's HTTP download against it. librsvg2-bin:
# scripts/render-art draws the Windows programs' icon and bitmaps from their SVG sources with
# rsvg-convert (ImageMagick turns the drawings into BMP and ICO), their lettering in the DejaVu faces
# of fonts-dejavu-core. nsis: makensis builds the installer of `make dist`; zip: the portable
# archive beside it.
need=(wine wine64 wine32:i386 g++-mingw-w64-i686 g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 cmake ninja-build libgtest-dev libbenchmark-dev
      xvfb xauth x11-apps x11-utils imagemagick make g++ locales clang libclang-rt-14-dev
      ghostscript fonts-dejavu-extra xdotool libjpeg-dev dpkg-dev tinyproxy curl
      librsvg2-bin fonts-dejavu-core nsis zip)
# Wine takes the ANSI code page from the locale: the program is also tested in Polish (1250).
locales=(pl_PL.UTF-8 en_US.UTF-8)

missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
missing_locales=()
for l in "${locales[@]}"; do
  locale -a 2>/dev/null | grep -qix "$(echo "$l" | sed 's/UTF-8/utf8/')" || missing_locales+=("$l")
done
# `apt-get source libjpeg-turbo` needs source entries for this release; the stock sources have none.
need_src=0
apt-cache showsrc libjpeg-turbo >/dev/null 2>&1 || need_src=1
[ ${#missing[@]} -eq 0 ] && [ ${#missing_locales[@]} -eq 0 ] && [ $need_src -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages (${missing[*]}) or deb-src entries; run 'make setup' as root" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
if [ $need_src -eq 1 ]; then
  codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
  cat > /etc/apt/sources.list.d/sorel-src.sources <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: $codename-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
fi
if [ ${#missing[@]} -gt 0 ] || [ $need_src -eq 1 ]; then
  apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
for l in "${missing_locales[@]}"; do
  sed -i "s/^# *\($l .*\)/\1/" /etc/locale.gen
  grep -q "^$l " /etc/locale.gen || echo "$l UTF-8" >> /etc/locale.gen
done
[ ${#missing_locales[@]} -eq 0 ] || locale-gen >/dev/null
