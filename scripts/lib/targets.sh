# m797_require_targets <build dir> <target>...: fails, naming what is missing, unless the build
# defines every target named.  The target list is read in full first: grep -q on the pipe would
# stop cmake with SIGPIPE and, under pipefail, read as "no".
m797_require_targets() {
  local build=$1 targets target missing=()
  shift
  targets=$(cmake --build "$build" --target help) || return 1
  for target in "$@"; do
    grep -q "^$target:" <<<"$targets" || missing+=("$target")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "${0##*/}: the build in $build defines no target ${missing[*]}" >&2
    return 1
  fi
}
