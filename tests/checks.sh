# Sourced by the shell tests: a fresh working folder to run in, removed at the end;
# check DESCRIPTION COMMAND... counts a pass or a failure; finish prints the closing line and
# fails when any check did.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
passes=0
check() {  # check DESCRIPTION CONDITION...
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; passes=$((passes + 1)); else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
finish() {
  echo "$passes passed, $failures failed"
  test $failures -eq 0
}
