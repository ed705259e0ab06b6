#!/bin/sh
# Feeds a transcript's input to the program and compares its whole output,
# byte for byte, and its exit status (1) with the transcript's.
# usage: run_transcript.sh PROGRAM NAME.in NAME.out
# TARNVELK_TEST_WRAPPER, if set, is a command to run the program under,
# such as "valgrind -q --error-exitcode=99".
program=$1 input=$2 expected=$3
actual=$(mktemp) || exit 2
trap 'rm -f "$actual"' EXIT
$TARNVELK_TEST_WRAPPER "$program" <"$input" >"$actual"
status=$?
if cmp -s "$expected" "$actual" && [ "$status" -eq 1 ]; then
	exit 0
fi
[ "$status" -eq 1 ] || echo "exit status $status, expected 1"
diff -u --label expected --label actual "$expected" "$actual" | cat -A
echo "reproduce: $TARNVELK_TEST_WRAPPER $program < $input"
exit 1
