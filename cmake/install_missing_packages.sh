# Sourced by the top-level scripts: installs the Debian packages named that
# are not installed yet, with apt-get, non-interactively (as root, or through
# sudo without a password). Machines without apt-get are assumed ready.
#   install_missing_packages WHO PACKAGE...
install_missing_packages() {
  local who=$1
  shift
  if ! command -v dpkg-query >/dev/null || ! command -v apt-get >/dev/null; then
    echo "$who: no apt-get here; assuming the build tools are installed"
    return 0
  fi
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  local as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
      as_root=(sudo -n)
    else
      echo "$who: missing packages: ${missing[*]}; run as root or install them" >&2
      return 1
    fi
  fi
  echo "$who: installing ${missing[*]}"
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q &&
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q \
      --no-install-recommends "${missing[@]}" </dev/null
}
