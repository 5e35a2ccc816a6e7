#!/usr/bin/env bash
# The real program's command line and start-up lines, under the Xvfb that
# ctest starts for it: tests/program/run_program_test.sh VANTREL MAJOR MINOR
set -euo pipefail
vantrel=$1
expected_version=$(printf 'Vantrel %d.%02d' "$2" "$3")
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill $pid 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Runs the program with the given environment settings and arguments;
# its status, output and error output go to $status, $work/out, $work/err.
run() {
  status=0
  env "$@" >"$work/out" 2>"$work/err" </dev/null || status=$?
}

# --help and --version work without a display, and Qt never sees an argument.
run -u DISPLAY "$vantrel" --version
[ "$status" -eq 0 ] && [ "$(cat "$work/out")" = "$expected_version" ] && [ ! -s "$work/err" ] \
  || fail "--version: status $status, \"$(cat "$work/out")\""
run -u DISPLAY "$vantrel" --help
[ "$status" -eq 0 ] && grep -q 'registry.reg' "$work/out" || fail "--help: status $status"
# Rejects the arguments after the first, naming the first one that is wrong.
rejects() {
  local named=$1; shift
  run "$vantrel" "$@"
  [ "$status" -eq 2 ] && [ ! -s "$work/out" ] && [ "$(wc -l <"$work/err")" -eq 1 ] \
    && grep -qF "vantrel: unexpected argument \"$named\"" "$work/err" \
    || fail "$*: status $status, $(cat "$work/err")"
}
rejects -platform -platform offscreen
rejects -style -style fusion
rejects --display --display :0
rejects --help --version --help
rejects notes.txt notes.txt

# scripts/run without any display says where to start it, and fails, before
# it installs or builds anything.
run -u DISPLAY -u WAYLAND_DISPLAY "$(dirname "$0")/../../scripts/run"
[ "$status" -eq 1 ] && [ "$(wc -l <"$work/err")" -eq 1 ] \
  && grep -q 'start it from an X11 or a Wayland desktop session\.$' "$work/err" \
  || fail "scripts/run without a display: status $status, $(cat "$work/err")"

# A platform plugin that isn't there: one line, status 1, no core dump.
run QT_QPA_PLATFORM=no-such-platform "$vantrel"
[ "$status" -eq 1 ] && [ "$(wc -l <"$work/err")" -eq 1 ] \
  && grep -q '^vantrel: cannot start: Qt.s platform plugin "no-such-platform" is missing' "$work/err" \
  || fail "missing platform plugin: status $status, $(cat "$work/err")"

# Starts the program and lets it run until its start-up is over, which the
# line saying how the keys are watched tells (a sanitizer build on a loaded
# machine takes seconds to get there); its error output goes to $work/err.
start_for_a_while() {
  env XDG_CONFIG_HOME="$work/config" "$@" "$vantrel" >"$work/out" 2>"$work/err" </dev/null &
  pid=$!
  for _ in $(seq 600); do
    grep -q '^vantrel: \(not \)\?watching F6 to F12' "$work/err" && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null || fail "vantrel ended at start-up: $(cat "$work/err")"
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
  pid=
}

# Everything there: the line that says how the keys are watched, nothing else.
start_for_a_while
[ "$(grep -c '^vantrel:' "$work/err")" -eq 1 ] \
  && grep -q '^vantrel: watching F6 to F12 through XInput2 on the X display$' "$work/err" \
  || fail "warnings on a complete system: $(cat "$work/err")"

# No fonts, no MIME database: a line for each, and it keeps running.
mkdir -p "$work/no-fonts" "$work/no-data"
cat >"$work/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig><dir>$work/no-fonts</dir><cachedir>$work/no-fonts</cachedir></fontconfig>
CONF
start_for_a_while FONTCONFIG_FILE="$work/fonts.conf" XDG_DATA_HOME="$work/no-data" XDG_DATA_DIRS="$work/no-data"
for expected in 'the font "Comic Neue" is missing.*install fonts-comic-neue' \
                'the font "Liberation Sans" is missing.*install fonts-liberation2' \
                'the shared MIME database is missing.*install shared-mime-info'; do
  [ "$(grep -c "^vantrel: $expected" "$work/err")" -eq 1 ] || fail "no single line for: $expected"
done

[ "$failures" -eq 0 ] || exit 1
echo "all passed"
