#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Horalis need.
# Only missing packages are installed: one `apt-get update`, one install, no prompts.
#
# To add a package, append it to PACKAGES (one or more per line, a comment for why).
set -euo pipefail

PACKAGES=(
  # native build, unit tests, benchmarks, sanitizer builds
  cmake make g++ libgtest-dev googletest libgmock-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
  # Windows cross build (posix thread model)
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  # running the Windows build on a virtual display, screenshots, fixed clock
  wine64 xvfb xauth xdotool imagemagick fonts-wine fonts-dejavu-core faketime
  # X extensions that Wine's display driver loads at run time (only recommended by libwine)
  libxrender1 libxcursor1 libxi6 libxrandr2 libxcomposite1 libxfixes3 libxinerama1
  # help file (chmcmd), installer, release archive and its check
  fp-utils nsis zip unzip
  # regenerating the icons in resources/art (make-art.sh; the build uses the committed files)
  icoutils
  # looking at the HTML reports
  chromium
)

missing=()
for package in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
  echo "install-deps: all ${#PACKAGES[@]} packages present"
  exit 0
fi

sudo=()
if ((EUID != 0)); then
  command -v sudo >/dev/null || { echo "install-deps: need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends \
  -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold \
  "${missing[@]}"
