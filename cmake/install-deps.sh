#!/usr/bin/env bash
# Installs, on Debian 12 or 13, whatever building, running and testing need and is not there yet,
# and generates the locales the clock-text tests run under.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest libgtest-dev  # native build and unit tests
  g++-mingw-w64-x86-64                           # the Windows cross compiler and binutils
  clang lld llvm                                 # the second Windows build (llvm-windres)
  wine wine64 xvfb                               # running and testing the program on Linux
  fonts-wine                                     # Wine's own Windows fonts (a recommends only)
  locales                                        # the clock-text tests' locales (below)
  x11-utils imagemagick                          # finding and capturing the window for a screenshot
)

sudo_if_needed=()
[ "$(id -u)" -eq 0 ] || sudo_if_needed=(sudo)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_if_needed[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_if_needed[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

for locale_name in de_DE en_US ar_SA ko_KR; do
  if ! locale -a 2>/dev/null | grep -qix "$locale_name.utf8"; then
    "${sudo_if_needed[@]}" localedef -i "$locale_name" -f UTF-8 "$locale_name.UTF-8"
  fi
done
