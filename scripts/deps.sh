# Installs the Debian packages the build and the tests need, when any is missing.
# Sourced by scripts/test and scripts/run.

KORVANE_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libcurl4-openssl-dev libssl-dev ca-certificates curl
  libjsoncpp-dev libminizip-dev zlib1g-dev libpugixml-dev libcpp-httplib-dev libtomlplusplus-dev libre2-dev libqrencode-dev
  qt6-base-dev qt6-translations-l10n libxcb1-dev libgif-dev fonts-wqy-microhei xvfb xauth
  libgtest-dev libgmock-dev libbenchmark-dev
  default-jdk-headless
)

korvane_install_dependencies() {
  local missing=()
  local package
  for package in "${KORVANE_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}" >&2
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# Configures (once) and builds the tree into build/: everything, or only the targets named
# after the root.
korvane_build() {
  local root="$1"
  shift
  local build="$root/build"
  if [ ! -f "$build/CMakeCache.txt" ]; then
    # ccache, when the machine has it, makes rebuilds of unchanged sources (another checkout,
    # a fresh build folder) nearly free; the build does not need it.
    local launcher=()
    command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >&2 || return 1
  fi
  cmake --build "$build" -j "$(nproc)" ${1:+--target "$@"} >&2
}
