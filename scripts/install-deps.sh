#!/usr/bin/env bash
# Installs what building and testing Quilbrook needs on Debian 12, as root.
# Quick when everything is already there: it only checks.
set -euo pipefail

packages=(cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools libz-mingw-w64-dev googletest
          dpkg-dev wine wine32:i386 wine64 fonts-wine xvfb xauth imagemagick xdotool)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo_cmd=()
[ "$(id -u)" = 0 ] || sudo_cmd=(sudo)

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# libpng has no mingw package: its source comes from Debian's own source package.
# The deb-src entry names the release only (the security suite's sources are not served).
src_list=/etc/apt/sources.list.d/quilbrook-src.sources
if [ ! -f "$src_list" ]; then
  uri=$(apt-get indextargets --format '$(REPO_URI)' 'Created-By: Packages' 2>/dev/null \
        | grep -v security | head -n 1)
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  [ -n "$uri" ] || { echo "No Debian package source is configured; cannot fetch libpng's source." >&2; exit 1; }
  printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$uri" "$codename" | "${sudo_cmd[@]}" tee "$src_list" >/dev/null
  "${sudo_cmd[@]}" apt-get update -qq
fi
