# Debian packages the build, the tests and the demo need; sourced by scripts/test, scripts/demo
# and the picture and package scripts.
M797_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libjpeg62-turbo-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation fonts-dejavu-core
  g++-mingw-w64-x86-64-posix googletest wine64
  desktop-file-utils appstream
  strace
  # the accessibility test: a private X display, session bus and AT-SPI bus, read from Python
  xvfb dbus-daemon dbus-bin dbus-session-bus-common at-spi2-core python3-gi gir1.2-atspi-2.0 procps
  # the wake-up's real-time class granted by RealtimeKit: its daemon and polkit on a private bus
  rtkit polkitd
  # the device tests: the virtual machine, its initramfs and kernel, the wake-up report
  qemu-system-x86 busybox-static xz-utils python3
  # the fuzz targets: clang's libFuzzer and sanitizer runtimes
  clang libclang-rt-14-dev
)

# What scripts/package and scripts/check-deb build and try the Debian package with.
M797_DEB_PACKAGES=(dpkg-dev file debootstrap)

# What scripts/make-pictures and scripts/make-icons draw with.
M797_PICTURE_PACKAGES=(imagemagick librsvg2-bin fonts-dejavu-core)

# Installs whatever of the packages named (M797_PACKAGES when none are named) is missing.  Runs
# apt-get only when something is missing, so a second run on a prepared machine costs nothing.
m797_install_packages() {
  local missing=()
  local p
  local wanted=("$@")
  if [ ${#wanted[@]} -eq 0 ]; then wanted=("${M797_PACKAGES[@]}"); fi
  for p in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

# What scripts/build-windows builds Qt, libjpeg and the tester for Windows with (Qt's host tools
# must be those of the same Qt version), what scripts/package-windows packs the release with, and
# what scripts/test-windows-gui runs the installed tester under Wine with.
M797_WINDOWS_BUILD_PACKAGES=(
  build-essential cmake ninja-build g++-mingw-w64-x86-64-posix
  qt6-base-dev qt6-base-dev-tools libjpeg62-turbo-dev dpkg-dev xz-utils
)
M797_WINDOWS_PACKAGE_PACKAGES=(nsis zip binutils-mingw-w64-x86-64)
M797_WINDOWS_GUI_PACKAGES=(wine64 fonts-wine xvfb xdotool imagemagick x11-utils)

# Makes Debian's source packages reachable to apt-get source: a deb-src entry, in a file of its
# own, copied from the machine's own deb entries.  Does nothing when one is there already.
m797_enable_deb_src() {
  if grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return 0
  fi
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      "${sudo[@]}" tee /etc/apt/sources.list.d/m797-deb-src.sources >/dev/null
  else
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
      "${sudo[@]}" tee /etc/apt/sources.list.d/m797-deb-src.list >/dev/null
  fi
  "${sudo[@]}" apt-get update
}
