#!/bin/sh
# Installs the build into a temporary prefix and checks that the installed Aurivo is complete
# and finds its data, plug-ins and guide from where it was put, under a prefix it was not
# configured for.  Usage: check-install.sh BUILD_DIR
set -eu
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix=$root/usr
fail() { echo "check-install: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/aurivo bin/aurivo-cli lib/aurivo/plugins/splmeter.so \
         share/aurivo/calibration.process share/aurivo/examples/thd-1khz.process \
         share/aurivo/examples/spl-1khz.process share/applications/aurivo.desktop \
         share/icons/hicolor/scalable/apps/aurivo.svg share/mime/packages/aurivo.xml \
         share/man/man1/aurivo.1 share/man/man1/aurivo-cli.1 share/doc/aurivo/copyright \
         share/doc/aurivo/guide.html; do
    [ -s "$prefix/$f" ] || fail "missing $f"
done
for example in "$prefix"/share/aurivo/examples/*.process; do
    [ -s "${example%.process}.description" ] || fail "no description for $example"
done

desktop-file-validate "$prefix/share/applications/aurivo.desktop" || fail "desktop entry refused"
update-mime-database "$prefix/share/mime" 2>/dev/null || fail "MIME type refused"
[ -f "$prefix/share/mime/application/x-aurivo-process.xml" ] || fail "no MIME type for processes"

# The manual pages render without warnings, name the prefix and describe every command.
for page in aurivo aurivo-cli; do
    warnings=$(groff -man -ww -z "$prefix/share/man/man1/$page.1" 2>&1)
    [ -z "$warnings" ] || fail "$page.1: $warnings"
    grep -q "$prefix/share/aurivo/examples" "$prefix/share/man/man1/$page.1" || fail "$page.1 prefix"
done
commands=$("$prefix/bin/aurivo-cli" --help | sed -n '/^Subcommands:/,$p' | awk 'NR > 1 { print $1 }')
[ -n "$commands" ] || fail "aurivo-cli --help lists no commands"
for command in $commands; do
    grep -q "^\.BR* $command\b\|^\.BI $command\b" "$prefix/share/man/man1/aurivo-cli.1" ||
        fail "aurivo-cli.1 does not describe \"$command\""
done

# The installed programs, away from the build tree and the user's own files.
mkdir "$root/home"
cd "$root/home"
run() { env -i HOME="$root/home" PATH=/usr/bin:/bin "$prefix/bin/aurivo-cli" "$@"; }
run modules | grep -q "^SPL Meter (plug-in)$" || fail "the installed plug-in is not found"
run run "$prefix/share/aurivo/examples/spl-1khz.process" --passes 400 | grep -q "94.0" ||
    fail "the SPL example does not read 94.0 dB"
cp "$prefix/share/aurivo/examples/loopback-latency.process" .
run calibrate loopback-latency.process --step 2 --type latency >/dev/null ||
    fail "calibration without the installed calibration.process"
grep -q "<title>Aurivo Help</title>" "$prefix/share/doc/aurivo/guide.html" || fail "guide title"
