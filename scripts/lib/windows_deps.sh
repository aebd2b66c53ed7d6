# Qt and libjpeg for mingw-w64 from Debian's own sources; sourced by scripts/build-windows, which
# builds them, and scripts/check-windows-ui, which only configures them for their headers.
#
# The versions are those of the host's qt6-base-dev and libjpeg62-turbo-dev: the cross build runs
# the host's Qt tools (moc, rcc, uic), which must be of the same version as the Qt they build for.

# The version of the host's binary package, which is that of its source package.
m797_host_version() { dpkg-query -W -f='${Version}' "$1"; }

# Fetches and unpacks a Debian source package (with Debian's patches applied) into a folder once,
# and prints the folder of the unpacked source.
m797_fetch_source() { # package, version, folder
  local package=$1 version=$2 dir=$3
  local upstream=${version#*:}
  upstream=${upstream%-*}
  if [ ! -d "$dir/$package-$upstream" ]; then
    mkdir -p "$dir"
    (cd "$dir" && apt-get source --only-source "$package=$version" >&2)
  fi
  echo "$dir/$package-$upstream"
}

# Configures Qt's source for mingw-w64: Core, Gui, Widgets and the windows platform plugin, as DLLs,
# without what the tester does not use.  Configuring alone also writes Qt's headers for Windows
# (the configuration headers and the include folders) and a Qt6 CMake package for the build folder.
m797_configure_qt() { # source, build folder, install prefix, toolchain file
  local source=$1 build=$2 prefix=$3 toolchain=$4
  # Without Direct2D Gui does not build its DirectWrite font database, but the platform plugin
  # still uses it whenever DirectWrite 3 is there, and then fails to link.  Use it only with both.
  local integration=$source/src/plugins/platforms/windows/qwindowsintegration.cpp
  if grep -q '^#if QT_CONFIG(directwrite3)$' "$integration"; then
    sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
      "$integration"
  fi
  local features=(
    # What the tester does not use.
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF -DFEATURE_testlib=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF
    -DFEATURE_tabletevent=OFF # Debian's source leaves out the wintab header
    -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_glib=OFF -DFEATURE_openssl=OFF
    -DINPUT_openssl=no -DFEATURE_pkg_config=OFF
    -DFEATURE_gif=OFF -DFEATURE_ico=OFF -DFEATURE_jpeg=OFF
    # The copies inside Qt's source instead of libraries Debian's mingw-w64 does not have.
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_doubleconversion=OFF
  )
  cmake -S "$source" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF "${features[@]}"
}

# Configures libjpeg-turbo's source for mingw-w64 as a static library (so that the tester needs no
# further DLL), without the SIMD code, which wants nasm, and without TurboJPEG.
m797_configure_libjpeg() { # source, build folder, install prefix, toolchain file
  cmake -S "$1" -B "$2" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$4" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$3" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF \
    -DWITH_TURBOJPEG=OFF >/dev/null
}
