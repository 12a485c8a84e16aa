#!/usr/bin/env bash
# Runs a test command with XDG folders of its own, removed when it ends, so no
# test writes into the user's home.
# usage: isolated.sh COMMAND [ARGUMENT...]
set -u
root=$(mktemp -d "${TMPDIR:-/tmp}/qb-test.XXXXXX") || exit 1
trap 'rm -rf "$root"' EXIT
export XDG_DATA_HOME=$root/data XDG_CONFIG_HOME=$root/config XDG_CACHE_HOME=$root/cache \
  XDG_STATE_HOME=$root/state XDG_RUNTIME_DIR=$root/runtime
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
"$@"
