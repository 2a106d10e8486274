#!/usr/bin/env bash
# The kernel check's judge on made-up consoles: each case must get the verdict and reason listed
# below, and a guest that did not finish must fail the whole check.
set -euo pipefail
judge="$(dirname "$0")/../../scripts/kernel-check.d/judge"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

cat >"$dir/cases" <<'CASES'
case ok 9 found:Transponders, rev. 2.3:10750,10800:1000-45000 | both | GO
case missed 9 found:Transponders, rev. 2.3:10750,10800:1000-45000 | one missing | GO
case extra 9 found:Transponders, rev. 2.3:10750:1000-45000 | one too many, twice | GO
case rate 9 found:Transponders, rev. 2.3:10750:20000-30000 | rate out of range | GO
case first 9 found:Transponders:10750:1000-45000 | other list | "1 - FIND"
case hung 9 found:Transponders, rev. 2.3:10750:1000-45000 | timed out | GO
case status 9 rate:20000-30000 | status 1 | "Find_S/R"
case finder 9 notfound | a rate where none is | "Find_S/R"
case list 9 lines | listing | --list-devices
expect list state             free
case never 9 lines | not run | --list-devices
CASES

cat >"$dir/console" <<'CONSOLE'
@@BEGIN ok both
Transponders (0)
Transponders, rev. 2.3 (2)
  1=10750,V,27500,0
  2=10800,V,27500,0
@@END ok 0
@@BEGIN missed one missing
Transponders, rev. 2.3 (1)
  1=10800,V,27500,0
@@END missed 0
@@BEGIN extra one too many, twice
Transponders, rev. 2.3 (3)
  1=10750,V,27500,0
  2=10750,V,27500,0
  3=10855,V,27500,0
@@END extra 0
@@BEGIN rate rate out of range
Transponders, rev. 2.3 (1)
  1=10750,V,2000,0
@@END rate 0
@@BEGIN first other list
Transponders (0)
Transponders, rev. 2.3 (1)
  1=10750,V,27500,0
@@END first 0
@@BEGIN hung timed out
@@END hung 143
@@BEGIN status status 1
Symbol rate of 10800 MHz VERTICAL: 27500
@@END status 1
@@BEGIN finder a rate where none is
Symbol rate of 10801 MHz VERTICAL: 20000
@@END finder 0
@@BEGIN list listing
  state             busy: another program has it open
@@END list 0
CONSOLE

expected='PASS ok found 10750 MHz (27500 kS/s), 10800 MHz (27500 kS/s)
FAIL missed missed 10750 MHz
FAIL extra 10750 MHz listed 2 times; found 10855 MHz, where vidtv has no carrier in the range
FAIL rate 10750 MHz at 2000 kS/s, outside 20000-30000 kS/s
FAIL first missed 10750 MHz
FAIL hung hung: still running after its 9 s
FAIL status quillox-scan ended with status 1
FAIL finder the finder reported "20000", not "Not Found"
FAIL list no line "state             free"
FAIL never not run: the guest never started it
FAIL  the guest did not finish within 60 s; the console ends:
kernel-check: 1 passed, 10 failed'

status=0
got=$("$judge" "$dir/cases" "$dir/console" 124 60) || status=$?
# Verdict, id and reason of each line, without the runner's output and the console's end.
summary=$(grep -v '^        |' <<<"$got" |
  sed -E 's/^(PASS|FAIL)  ([a-z]+) +[^:]*: (.*)$/\1 \2 \3/')
if [ "$summary" != "$expected" ] || [ "$status" -eq 0 ]; then
  echo "judge gave (status $status):"
  echo "$summary"
  echo "expected (non-zero status):"
  echo "$expected"
  exit 1
fi

# Everything right and the guest done: status 0.
printf '%s\n' "$(head -n5 "$dir/console")" '@@END ok 0' '@@DONE' >"$dir/good"
head -n1 "$dir/cases" >"$dir/one"
"$judge" "$dir/one" "$dir/good" 0 60 >/dev/null || {
  echo "judge failed a passing run"
  exit 1
}
echo "judge: all verdicts as expected"
