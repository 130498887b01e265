# Shared by the kvtool test scripts that compare whole JSON outputs; sourced after
# `kvtool=("$@")`. Makes a scratch folder, which becomes the working folder, and counts failures.
# Output goes through files: under Wine, reading a program's stderr through a pipe waits seconds
# for helper processes that hold the pipe. The files sit in the scratch folder, so the same
# relative names work natively and under Wine.
failures=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1

run() { "${kvtool[@]}" "$@" >out 2>err; }

expect() {  # expect 'JSON' ARGS...
  local want=$1 got rc; shift
  run "$@"; rc=$?
  got=$(tr -d '\r' <out)
  if [ $rc -ne 0 ] || [ "$got" != "$want" ]; then
    echo "FAIL: kvtool $*"; echo "  want: $want"; echo "  got:  $got (exit $rc)"; tr -d '\r' <err; failures=$((failures + 1))
  fi
}

expect_part() {  # expect_part 'PART' ARGS...: exit 0 and the output holds PART
  local part=$1 rc; shift
  run "$@"; rc=$?
  if [ $rc -ne 0 ] || ! tr -d '\r' <out | grep -qF -- "$part"; then
    echo "FAIL: kvtool $*: want exit 0 with \"$part\""; tr -d '\r' <out; tr -d '\r' <err; failures=$((failures + 1))
  fi
}

expect_exit() {  # expect_exit CODE 'STDERR PART' ARGS...
  local code=$1 part=$2 rc; shift 2
  run "$@"; rc=$?
  if [ $rc -ne "$code" ]; then
    echo "FAIL: kvtool $* exited $rc, want $code"; tr -d '\r' <err; failures=$((failures + 1))
  elif ! grep -qF -- "$part" err; then
    echo "FAIL: kvtool $*: stderr lacks \"$part\":"; cat err; failures=$((failures + 1))
  fi
}

# Ends the script: the count of failures, or the line that says all passed.
finish() {  # finish NAME
  if [ $failures -ne 0 ]; then echo "$failures failure(s)"; exit 1; fi
  echo "$1: all passed"
}
