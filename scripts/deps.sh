#!/usr/bin/env bash
# The one list of Debian packages the project needs. Installs only what is missing: with apt-get as root, or
# through sudo; otherwise says what to install.
set -euo pipefail

PACKAGES=(
  build-essential   # g++ and make
  cmake
  ninja-build
  libgtest-dev
  libgmock-dev
  libcli11-dev      # command line of corvatin-batch
  libbenchmark-dev  # make bench
  clang             # make fuzz (libFuzzer)
  libclang-rt-14-dev
  qt6-base-dev      # the workbench (src/shell, corvatin)
  qt6-svg-dev       # SVG export of pictures
  fonts-dejavu-core # one font for pictures compared in tests
  ccache            # faster rebuilds
  help2man          # the manual page of corvatin-batch, from its --help
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "deps: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  SUDO=(sudo -n)
else
  echo "deps: these Debian packages are missing: ${missing[*]}" >&2
  echo "deps: install them as root: apt-get install -y ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${SUDO[@]}" apt-get update -qq
"${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
