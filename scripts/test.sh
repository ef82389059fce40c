#!/bin/bash
# Installs what is missing, builds KalmiDraw with its tests and runs the whole
# suite under a virtual X server with Mesa's software OpenGL driver.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
source "$here/deps.sh"
kalmi_install_packages

build="$root/build/test"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON
cmake --build "$build" --parallel "$(kalmi_jobs)"

export LIBGL_ALWAYS_SOFTWARE=1
export GALLIUM_DRIVER=llvmpipe
export QT_QPA_PLATFORM=xcb
unset DISPLAY WAYLAND_DISPLAY
cd "$build"
# -noreset: the X server must not reset when its last client goes, or a test
# that starts the application again finds no display for a moment.
xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" \
  ctest --output-on-failure --parallel "$(kalmi_jobs)" "$@"
