#!/usr/bin/env bash
# Installs what building, running and testing Hushline need on Debian 12. Idempotent.
# Both MinGW-w64 toolchains and Wine's 64-bit loader everywhere; Wine's 32-bit loader only
# where the host runs 32-bit x86 code.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/host.sh"
host_check_32bit
if [ "$HOST_RUNS_32BIT" = 1 ]; then
  echo "host: runs 32-bit x86 code ($HOST_32BIT_REASON); the i686 and x86-64 builds both run here"
else
  echo "host: runs no 32-bit x86 code ($HOST_32BIT_REASON); only the x86-64 build runs here"
fi

packages=(
  cmake ninja-build python3
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine64
  xvfb xauth x11-utils xdotool imagemagick
  googletest
  fonts-liberation fonts-dejavu-core
  nsis
)
[ "$HOST_RUNS_32BIT" = 0 ] || packages+=(wine32:i386)

# Runs a privileged step: directly as root, otherwise through sudo.
privileged() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    echo "setup needs root for '$*': run it as root or install sudo" >&2
    exit 1
  fi
}

need_update=
if [ "$HOST_RUNS_32BIT" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  privileged dpkg --add-architecture i386
  need_update=1
fi
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ] || [ -n "$need_update" ]; then
  privileged apt-get update
  [ ${#missing[@]} -eq 0 ] ||
    privileged env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
