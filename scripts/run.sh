#!/bin/bash
# Installs what is missing, builds KalmiDraw (Release) and starts it.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
source "$here/deps.sh"
kalmi_install_packages

build="$root/build/release"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build "$build" --parallel "$(kalmi_jobs)"

app="$build/bin/kalmidraw"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$app" "$@"
else
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$app" "$@"
fi
