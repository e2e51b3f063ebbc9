# Sourced by the CI scripts: `step TITLE COMMAND...` runs the command between
# two banner lines and says how long it took; a failing command fails the
# script that sourced this (set -e).
step() {
  local title=$1; shift
  echo
  echo "############ $title"
  local start=$SECONDS
  "$@"
  echo "############ $title: done in $((SECONDS - start)) s"
}
