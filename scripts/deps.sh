#!/bin/bash
# Installs the Debian packages KalmiDraw needs to build, run and test.
# Sourced by run.sh and test.sh; installs only what is missing.
set -euo pipefail

KALMI_PACKAGES=(
  build-essential cmake pkg-config
  qtbase5-dev qtbase5-dev-tools qttools5-dev-tools libqt5opengl5-dev libqt5svg5-dev
  qt5-image-formats-plugins
  libgl1-mesa-dri libgl-dev libegl-mesa0
  xvfb xauth fonts-dejavu-core
  glslang-tools ccache
  # peers of the benchmarks only
  libmypaint-dev libpixman-1-dev
)

# Only the fuzz build (scripts/fuzz.sh) needs these.
KALMI_FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)

# Installs KALMI_PACKAGES, or the packages named as arguments.
kalmi_install_packages() {
  local wanted=("$@")
  [ ${#wanted[@]} -eq 0 ] && wanted=("${KALMI_PACKAGES[@]}")
  local missing=()
  local pkg
  for pkg in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

kalmi_jobs() {
  nproc 2>/dev/null || echo 2
}
