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
"$@"
rc=$?
rm -rf "$root"
exit $rc
