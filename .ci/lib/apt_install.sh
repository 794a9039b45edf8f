# Sourced by the CI steps: apt_install PACKAGE... installs Debian packages
# without questions, as root or through sudo, waiting for a package lock
# that another install may hold.
apt_install() {
  export DEBIAN_FRONTEND=noninteractive
  local sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  local apt=("${sudo_cmd[@]}" apt-get -q -o DPkg::Lock::Timeout=600)
  "${apt[@]}" update
  "${apt[@]}" install -y --no-install-recommends "$@" < /dev/null
}
