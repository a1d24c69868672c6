#!/usr/bin/env bash
# The program's command line: --help and --version answer on standard output
# with status 0, anything else gives the usage on standard error and status 2.
# None of them needs a display or writes anything.
#   tests/e2e/cli.sh PROGRAM VERSION
set -uo pipefail
prog=$(realpath "${1:?usage: cli.sh PROGRAM VERSION}")
version=${2:?usage: cli.sh PROGRAM VERSION}
work=$(mktemp -d /tmp/vexaloid-cli-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir "$work/run" "$work/home"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# ARGS... -> status, out, err
run() {
  (cd "$work/run" && env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_DATA_HOME -u XDG_CONFIG_HOME \
    HOME="$work/home" timeout 10 "$prog" "$@") >"$work/out" 2>"$work/err"
  status=$?
  out=$(cat "$work/out")
  err=$(cat "$work/err")
}

run --help
[ "$status" = 0 ] && [ -z "$err" ] && [[ "$out" == "usage: vexaloid "* ]] ||
  fail "--help: status $status, stdout '${out:0:40}', stderr '$err'"
run -h
[ "$status" = 0 ] && [[ "$out" == "usage: vexaloid "* ]] || fail "-h: status $status"
run --version
[ "$status" = 0 ] && [ "$out" = "vexaloid $version" ] && [ -z "$err" ] ||
  fail "--version: status $status, stdout '$out', stderr '$err'"

for args in "--bogus" "level2" "--windowed --nope" "--help extra"; do
  # shellcheck disable=SC2086
  run $args
  first=$(head -1 "$work/err")
  [ "$status" = 2 ] && [ -z "$out" ] && [[ "$first" == "vexaloid: "* ]] &&
    grep -q "^usage: vexaloid " "$work/err" ||
    fail "'$args': status $status, stdout '$out', stderr '$err'"
done

[ -z "$(ls -A "$work/run" "$work/home" | grep -v ':$')" ] || fail "something was written: $(ls -AR "$work")"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "command line: all checks passed"
