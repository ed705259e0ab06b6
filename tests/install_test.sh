#!/bin/sh
# Installs the built program the two ways users do and runs what was
# installed: with cmake --install into a prefix, where a separate project
# also builds against the installed library, or as the .deb, unpacked into
# a scratch root.
# usage: install_test.sh prefix|deb BUILD_DIR SOURCE_DIR VERSION CXX CXXFLAGS
set -eu
how=$1 build=$2 source=$3 project_version=$4 cxx=$5 cxxflags=$6
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
case_in=$source/tests/transcripts/disp_from_accel_one_case.in
case_out=$source/tests/transcripts/disp_from_accel_one_case.out

fail() {
	echo "$*"
	exit 1
}

run_one_case() {
	status=0
	"$1" <"$case_in" >"$scratch/out" || status=$?
	[ "$status" -eq 1 ] || fail "$1 exited with $status, expected 1"
	cmp "$case_out" "$scratch/out" || fail "$1 wrote other output than $case_out"
}

case $how in
prefix)
	cmake --install "$build" --prefix "$scratch/usr" >/dev/null
	for f in bin/tarnvelk share/man/man1/tarnvelk.1 share/doc/tarnvelk/README.md \
		include/tarnvelk/oscillator_relations.h; do
		[ -f "$scratch/usr/$f" ] || fail "cmake --install did not install $f"
	done
	run_one_case "$scratch/usr/bin/tarnvelk"
	cmake -S "$source/tests/consumer" -B "$scratch/consumer" \
		-DCMAKE_PREFIX_PATH="$scratch/usr" -DCMAKE_CXX_COMPILER="$cxx" \
		-DCMAKE_CXX_FLAGS="$cxxflags" >/dev/null
	cmake --build "$scratch/consumer" >/dev/null
	got=$("$scratch/consumer/consumer")
	[ "$got" = "0.0977749" ] || fail "the consumer printed $got, expected 0.0977749"
	;;
deb)
	(cd "$build" && cpack -G DEB -B "$scratch/package" >/dev/null)
	deb=$(ls "$scratch"/package/tarnvelk_*_*.deb)
	version=$(dpkg-deb -f "$deb" Version)
	[ "$version" = "$project_version" ] ||
		fail "package version $version is not the project's $project_version"
	dpkg -x "$deb" "$scratch/root"
	[ -f "$scratch/root/usr/share/man/man1/tarnvelk.1" ] || fail "no man page in $deb"
	run_one_case "$scratch/root/usr/bin/tarnvelk"
	;;
*)
	fail "usage: install_test.sh prefix|deb BUILD_DIR SOURCE_DIR VERSION CXX CXXFLAGS"
	;;
esac
