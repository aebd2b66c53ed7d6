# m797_has_target <build dir> <target>: whether the build defines the target (the tester's own
# program joins the build only once src/ui defines it).  The target list is read in full first:
# grep -q on the pipe would stop cmake with SIGPIPE and, under pipefail, read as "no".
m797_has_target() {
  local targets
  targets=$(cmake --build "$1" --target help)
  grep -q "^$2:" <<<"$targets"
}
