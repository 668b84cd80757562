# Sourced by run-tests.sh: Wine for the windows-i686 tests. One private
# prefix in a temporary folder, prepared once per run (about 15 s), and a
# private virtual X display for the programs that open a Direct3D 9 device.
#   enable_i386_packages WHO   lets apt-get install the 32-bit Wine packages
#   start_wine WHO             prefix and display up; exports WINEPREFIX, DISPLAY
#   stop_wine                  ends the prefix's processes and the display
# Wine's 32-bit Direct3D needs the i386 OpenGL packages, which
# --no-install-recommends does not pull in: without them Direct3DCreate9
# returns null.
readonly WINE_PACKAGES=(wine wine32:i386 xvfb libgl1-mesa-dri:i386 libgl1:i386 libglx-mesa0:i386)

enable_i386_packages() { # who
  command -v dpkg >/dev/null || return 0
  dpkg --print-foreign-architectures | grep -qx i386 && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "$1: the i386 architecture is not enabled; run as root or dpkg --add-architecture i386" >&2
    return 1
  fi
  echo "$1: enabling the i386 architecture for Wine's 32-bit packages"
  dpkg --add-architecture i386
}

wine_folder=""
wine_display_pid=""

start_wine() { # who
  local who=$1
  wine_folder=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-wine.XXXXXX") || return 1
  trap stop_wine EXIT

  # A display of its own: Xvfb picks a free number and writes it to fd 3.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$wine_folder/display" \
    >"$wine_folder/xvfb.log" 2>&1 &
  wine_display_pid=$!
  local waited=0
  while [ ! -s "$wine_folder/display" ] && [ $waited -lt 100 ]; do
    kill -0 "$wine_display_pid" 2>/dev/null || break
    sleep 0.1
    waited=$((waited + 1))
  done
  if [ ! -s "$wine_folder/display" ]; then
    echo "$who: Xvfb did not start: $(cat "$wine_folder/xvfb.log")" >&2
    return 1
  fi
  export DISPLAY=":$(tr -d '[:space:]' <"$wine_folder/display")"
  export WINEPREFIX="$wine_folder/prefix" WINEDEBUG=-all

  # No Mono or Gecko installer dialogs while the prefix is made; Managed=N
  # spares the wait for a window manager after each message box closes.
  if ! WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >"$wine_folder/wineboot.log" 2>&1 ||
     ! wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
       >>"$wine_folder/wineboot.log" 2>&1 ||
     ! wineserver -w; then
    echo "$who: the Wine prefix could not be made:" >&2
    cat "$wine_folder/wineboot.log" >&2
    return 1
  fi
  # One server for the whole run: without it each program that starts after a
  # pause of 3 s starts the server and the prefix's services again (about
  # 3 s each time), and a program started while the last server shuts down
  # can hang for a minute. stop_wine ends it.
  if ! wineserver -p || ! wine cmd.exe /c exit >>"$wine_folder/wineboot.log" 2>&1; then
    echo "$who: the Wine server could not be started:" >&2
    cat "$wine_folder/wineboot.log" >&2
    return 1
  fi
  echo "$who: Wine prefix $WINEPREFIX on display $DISPLAY"
}

stop_wine() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
  fi
  if [ -n "$wine_display_pid" ]; then
    kill "$wine_display_pid" 2>/dev/null
    wait "$wine_display_pid" 2>/dev/null
    wine_display_pid=""
  fi
  if [ -n "$wine_folder" ]; then
    rm -rf "$wine_folder"
    wine_folder=""
  fi
}
