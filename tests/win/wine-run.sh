#!/bin/bash
# Runs a Windows program under Wine: wine-run.sh PREFIX PROGRAM.exe [ARGS...]
# The prefix is made on first use; Wine's own chatter is silenced.
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=${WINEPREFIX:-$prefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
fi
exec wine "$@"
