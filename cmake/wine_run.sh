#!/bin/sh
# Runs a Windows program under Wine for ctest: the emulator of the
# windows-i686 build. ./run-tests.sh prepares a private WINEPREFIX (and an X
# display for the programs that draw) once per run and exports it; a run of
# ctest by hand needs the same (see run-tests.sh, prepare_wine).
if [ -z "${WINEPREFIX:-}" ]; then
  echo "wine_run.sh: WINEPREFIX is not set; run ./run-tests.sh, or prepare a prefix as it does" >&2
  exit 125
fi
WINEDEBUG=${WINEDEBUG:--all}
export WINEDEBUG
exec wine "$@"
