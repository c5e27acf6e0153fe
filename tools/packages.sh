# Debian packages the project builds, tests and runs with; sourced by the
# set-up scripts. Installs the missing ones (as root, or through sudo).

MATCALC_BUILD_PACKAGES="g++ cmake ninja-build pkg-config ccache libgtest-dev libbenchmark-dev
  clang clang-format libclang-rt-14-dev libeigen3-dev libopenblas-dev libboost-dev"
# Cross builds for ARM64 (run under qemu) and WebAssembly (run under node).
MATCALC_CROSS_PACKAGES="g++-aarch64-linux-gnu qemu-user emscripten nodejs googletest"
MATCALC_GUI_PACKAGES="qt6-base-dev qt6-tools-dev qt6-translations-l10n libgl-dev
  qt6-charts-dev libqt6opengl6-dev qt6-svg-dev poppler-utils fonts-wqy-zenhei
  libfluidsynth-dev timgm6mb-soundfont fonts-noto-cjk xvfb xauth"
# Releases: the man pages, the Debian package and its checks, the site archive.
MATCALC_PACKAGE_PACKAGES="scdoc dpkg-dev lintian desktop-file-utils appstream man-db
  bash-completion zip unzip"

matcalc_install_missing() {
  local missing=() pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
