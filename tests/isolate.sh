#!/bin/sh
# Runs one test program with a fresh home, fresh XDG folders and a private
# temporary folder (local sockets live there), then removes them.
root=$(mktemp -d "${TMPDIR:-/tmp}/kalmitest.XXXXXX") || exit 1
mkdir -p "$root/home" "$root/config" "$root/data" "$root/cache" "$root/tmp" "$root/runtime"
chmod 700 "$root/runtime"
HOME="$root/home"
XDG_CONFIG_HOME="$root/config"
XDG_DATA_HOME="$root/data"
XDG_CACHE_HOME="$root/cache"
XDG_RUNTIME_DIR="$root/runtime"
TMPDIR="$root/tmp"
LANG=C.UTF-8
LC_ALL=C.UTF-8
export HOME XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_RUNTIME_DIR TMPDIR LANG LC_ALL
unset XDG_DATA_DIRS XDG_CONFIG_DIRS

# An X server of its own, so that windows, pointer grabs and the clipboard of
# programs running beside it cannot reach it; without Xvfb the display given
# is used. -noreset: tests that restart the application must find it still.
server=
if [ -n "$DISPLAY" ] && command -v Xvfb >/dev/null 2>&1; then
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$root/display" >"$root/xvfb.log" 2>&1 &
  server=$!
  tries=0
  while [ ! -s "$root/display" ] && [ $tries -lt 100 ] && kill -0 $server 2>/dev/null; do
    sleep 0.1
    tries=$((tries + 1))
  done
  if [ -s "$root/display" ]; then
    DISPLAY=":$(head -n 1 "$root/display")"
    export DISPLAY
  else
    kill $server 2>/dev/null
    server=
  fi
fi

"$@"
rc=$?
if [ -n "$server" ]; then
  kill $server 2>/dev/null
  wait $server 2>/dev/null
fi
rm -rf "$root"
exit $rc
