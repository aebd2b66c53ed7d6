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
  # the device tests: the virtual machine, its initramfs and kernel, the wake-up report
  qemu-system-x86 busybox-static xz-utils python3
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
