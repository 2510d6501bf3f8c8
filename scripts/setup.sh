#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12. Safe to run again: it does nothing
# when everything is already there. One line per step, with the time it took; apt's own output
# goes to build/setup/*.log and is shown only when a step fails.
#
# Debian's mirrors lag now and then while a security update is half published: one index fails
# to download ("Mirror sync in progress?"), and then the 64-bit half of a multi-arch pair may be
# newer than any i386 version apt can see. So a failed index update is retried and then only
# warned about, and a failed install is tried once more preferring the release's own suite, whose
# versions exist for both architectures. 32-bit Wine is the one package the tests can do without
# (the i686 tier then says it was skipped, and why); any other package missing is a failure.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"

# ghostscript: the printing tests read their PostScript output back as text. fonts-dejavu-extra:
# the preview's end-to-end tests need faces with and without bold and italic fonts. xdotool: `make
# run` clicks the information tab for its screenshot. libjpeg-dev: the native JPEG decoder;
# dpkg-dev unpacks the libjpeg-turbo source that scripts/build-libjpeg cross-builds for the Windows
# programs. tinyproxy: the HTTP tests go through a proxy that scripts/test-wine starts for each run.
# curl: scripts/bench-http measures the program's HTTP download against it. librsvg2-bin:
# scripts/render-art draws the Windows programs' icon and bitmaps from their SVG sources with
# rsvg-convert (ImageMagick turns the drawings into BMP and ICO), their lettering in the DejaVu faces
# of fonts-dejavu-core. nsis: makensis builds the installer of `make dist`; zip: the portable
# archive beside it. libsodium-dev: the update's signature check in the native and fuzz builds;
# autoconf, automake and libtool regenerate the build system of the libsodium source that
# scripts/build-libsodium cross-builds (Debian's own build does the same); python3-nacl:
# scripts/sign-update signs the installer in `make dist`.
need=(wine wine64 g++-mingw-w64-i686 g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 cmake ninja-build libgtest-dev libbenchmark-dev
      xvfb xauth x11-apps x11-utils imagemagick make g++ locales clang libclang-rt-14-dev
      ghostscript fonts-dejavu-extra xdotool libjpeg-dev dpkg-dev tinyproxy curl
      librsvg2-bin fonts-dejavu-core nsis zip libsodium-dev autoconf automake libtool python3-nacl)
# The 32-bit Wine runs the i686 tier and the installer tier.
optional=(wine32:i386)
# Wine takes the ANSI code page from the locale: the program is also tested in Polish (1250).
locales=(pl_PL.UTF-8 en_US.UTF-8)
# Left while 32-bit Wine could not be installed: scripts/can-run-i686 then reports the i686 tiers
# as skipped for that reason instead of failed.
logs="$top/build/setup"
wine32_marker="$logs/wine32-unavailable"

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing=()
for p in "${need[@]}"; do installed "$p" || missing+=("$p"); done
missing_optional=()
for p in "${optional[@]}"; do installed "$p" || missing_optional+=("$p"); done
missing_locales=()
for l in "${locales[@]}"; do
  locale -a 2>/dev/null | grep -qix "$(echo "$l" | sed 's/UTF-8/utf8/')" || missing_locales+=("$l")
done
# `apt-get source` of the libraries cross-built for Windows needs source entries for this
# release; the stock sources have none.
sources=(libjpeg-turbo libsodium)
need_src=0
for pkg in "${sources[@]}"; do apt-cache showsrc "$pkg" >/dev/null 2>&1 || need_src=1; done
required_there=0
[ ${#missing[@]} -eq 0 ] && [ ${#missing_locales[@]} -eq 0 ] && [ $need_src -eq 0 ] && required_there=1
if [ $required_there -eq 1 ] && [ ${#missing_optional[@]} -eq 0 ]; then
  rm -f "$wine32_marker"
  exit 0
fi

# 32-bit Wine failed to install a short while ago: say so again rather than wait on the mirror at
# every command; a later run (or `make clean`) tries again.
if [ $required_there -eq 1 ] && [ -n "$(find "$wine32_marker" -mmin -360 2>/dev/null)" ]; then
  echo "setup: warning: 32-bit Wine (${missing_optional[*]}) could not be installed in the last 6 hours; the i686 and installer tiers will be skipped (delete $wine32_marker to try again now)." >&2
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages (${missing[*]} ${missing_optional[*]}) or deb-src entries; run 'make setup' as root" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
mkdir -p "$logs"

step_start=0
begin() { printf 'setup: %s ... ' "$1"; step_start=$SECONDS; }
done_step() { echo "done in $((SECONDS - step_start)) s$*"; }  # done_step [SUFFIX]
packages() { [ "$1" -eq 1 ] && echo "1 package" || echo "$1 packages"; }
warn() { echo "setup: warning: $*" >&2; }
give_up() {  # give_up LOG WHAT: apt's last lines and what to try
  echo "failed"
  echo "--- the last lines of $1:" >&2
  tail -n 15 "$1" >&2
  echo "setup: $2 Debian's mirror may be in the middle of a sync: wait a few minutes and run 'make setup' again, or name another mirror in /etc/apt/sources.list.d/." >&2
  exit 1
}

# Retried with a pause; when an index still fails, apt goes on with the lists it has, and so do we.
update_indexes() {
  local log="$logs/apt-update.log" try
  begin "updating the package indexes"
  for try in 1 2 3; do
    if apt-get update -q >"$log" 2>&1 && ! grep -q '^E:' "$log"; then done_step; return 0; fi
    [ $try -lt 3 ] && sleep $((try * 10))
  done
  done_step ", with errors"
  # apt's "Err:N URI SUITE INDEX" lines name each index that failed, the line after says why.
  local failing
  failing="$(awk '/^Err:/ { sub(/^Err:[0-9]+ /, ""); index_name = $0; next }
                  index_name != "" { sub(/^ +/, ""); print index_name " (" $0 ")"; index_name = "" }' "$log")"
  if [ -n "$failing" ]; then
    warn "after 3 tries these package indexes still fail to download (see $log); going on without them:"
    sed 's/^/  /' <<<"$failing" >&2
  else
    warn "apt-get update reported errors after 3 tries (see $log); going on with the lists apt has:"
    grep '^E:' "$log" | sed 's/^/  /' >&2 || true
  fi
}

# install LOG PACKAGES...: apt's choice first, then the release's own suite. Never removes a
# package: on a skewed mirror apt would otherwise "solve" a multi-arch pair by removing the
# compilers and every -dev package that needs the newer 64-bit half.
install() {
  local log="$1"; shift
  apt-get install -y -q --no-install-recommends --no-remove "$@" >"$log" 2>&1 && return 0
  printf 'failed; trying again preferring %s'"'"'s own versions (apt-get install -t %s) ... ' "$codename" "$codename"
  apt-get install -y -q --no-install-recommends --no-remove -t "$codename" "$@" >>"$log" 2>&1
}

dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
if [ $need_src -eq 1 ]; then
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
if [ ${#missing[@]} -gt 0 ] || [ ${#missing_optional[@]} -gt 0 ] || [ $need_src -eq 1 ]; then
  update_indexes
fi

all=("${missing[@]}" "${missing_optional[@]}")
if [ ${#all[@]} -gt 0 ]; then
  log="$logs/apt-install.log"
  begin "installing $(packages ${#all[@]})"
  if install "$log" "${all[@]}"; then
    done_step
    rm -f "$wine32_marker"
  elif [ ${#missing_optional[@]} -eq 0 ]; then
    give_up "$log" "The packages could not be installed."
  else
    echo "failed"
    if [ ${#missing[@]} -gt 0 ]; then
      begin "installing $(packages ${#missing[@]}) without 32-bit Wine"
      install "$log" "${missing[@]}" || give_up "$log" "The packages could not be installed, even without 32-bit Wine."
      done_step
    fi
    warn "32-bit Wine (${missing_optional[*]}) could not be installed (see $log); the i686 and installer tiers will be skipped."
    touch "$wine32_marker"
  fi
fi

if [ ${#missing_locales[@]} -gt 0 ]; then
  begin "generating the locales ${missing_locales[*]}"
  for l in "${missing_locales[@]}"; do
    sed -i "s/^# *\($l .*\)/\1/" /etc/locale.gen
    grep -q "^$l " /etc/locale.gen || echo "$l UTF-8" >> /etc/locale.gen
  done
  locale-gen >"$logs/locale-gen.log" 2>&1 || give_up "$logs/locale-gen.log" "The locales could not be generated."
  done_step
fi
