# Debian packages Kintra needs to build, test and run. Sourced by run.sh and test.sh.
KINTRA_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins libgl-dev
  xvfb xauth fonts-liberation fonts-dejavu-core
  clang clang-format libclang-rt-14-dev
  poppler-utils
  libhdf5-dev zlib1g-dev hdf5-tools parallel python3-h5py
)

kintra_install_deps() {
  local missing=()
  local p
  for p in "${KINTRA_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing missing packages: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
  fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
