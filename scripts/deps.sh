# Debian packages the build, the tests and the program need. Sourced by the
# run and test scripts; installs whatever is missing (apt-get update first).
ZELTO_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libfftw3-dev
  qt6-base-dev libusb-1.0-0-dev libfftw3-double3
  poppler-utils fonts-liberation fonts-dejavu-core
  locales
)

zelto_install_deps() {
  local missing=()
  local pkg
  for pkg in "${ZELTO_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}
