# shellcheck shell=bash
# Reports a failing step: sourced by scripts/test and the scripts it runs, after their set -e.
# A command that fails ends the script under set -e; the trap on ERR set here first prints the
# step the script was at, the command, its status and line, and where the step's log is, so that
# no failure ends a script without a word.
#
#   m797_step "what the step does" [where its log is]   # before each step
#   m797_show_log FILE [LINES]                           # the end of a log, never failing
m797_step_name=
m797_step_log=
m797_step() {
  m797_step_name=$1
  m797_step_log=${2:-}
}

m797_step_failed() { # status, command, line
  # Reported once, by the script's own shell: a subshell or command substitution that fails makes
  # the command around it fail as well.
  [ "$BASH_SUBSHELL" -eq 0 ] || return 0
  local script=${0##*/}
  echo "$script: FAILED${m797_step_name:+ at \"$m797_step_name\"}: '$2' (line $3) ended with status $1" >&2
  if [ -n "$m797_step_log" ]; then
    echo "$script: its log: $m797_step_log" >&2
  else
    echo "$script: its output is above" >&2
  fi
}
set -o errtrace
trap 'm797_step_failed $? "$BASH_COMMAND" "$LINENO"' ERR

# The last lines of a log on stderr, or a note that the log is missing or empty; returns 0 either
# way, so that showing the log of a failure cannot itself end the script.
m797_show_log() { # file, lines (default 20)
  if [ -s "$1" ]; then
    echo "-- the last ${2:-20} lines of $1:" >&2
    tail -n "${2:-20}" "$1" >&2 || true
  elif [ -e "$1" ]; then
    echo "-- $1 is empty" >&2
  else
    echo "-- there is no $1" >&2
  fi
  return 0
}
