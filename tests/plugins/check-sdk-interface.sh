#!/bin/sh
# Fails when the plug-in SDK headers changed but the plug-in interface version did not.
#
# The SDK headers are every file under plugins/include and the headers of src/ that those
# include directly (the classes a plug-in derives from and the entry point's types). Their
# content without comments and with spacing collapsed is hashed, so rewording a comment or
# reformatting changes nothing. plugins/sdk-interface.txt records the version and the hash.
#
# Usage: check-sdk-interface.sh <source folder> [--update]
#   --update  records the present version and hash (after the version was raised, or for a
#             change that keeps every built plug-in working).
set -eu
root=${1:?usage: check-sdk-interface.sh <source folder> [--update]}
record="$root/plugins/sdk-interface.txt"
update=${2:-}

headers() {
    (cd "$root" && find plugins/include -type f | LC_ALL=C sort)
    (cd "$root" && find plugins/include -type f -exec sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/src\/\1/p' {} + |
        LC_ALL=C sort -u)
}

# The text of a C++ file without comments, every run of spacing one blank; strings kept.
normalize() {
    awk '
    BEGIN { state = "code"; pending = 0 }
    function put(c) {
        if (c ~ /[ \t\r\n\f\v]/) { pending = 1; return }
        if (pending && out != "") out = out " "
        pending = 0
        out = out c
    }
    {
        line = $0 "\n"
        for (i = 1; i <= length(line); ++i) {
            c = substr(line, i, 1); d = substr(line, i + 1, 1)
            if (state == "code") {
                if (c == "/" && d == "/") { state = "line"; ++i }
                else if (c == "/" && d == "*") { state = "block"; ++i; pending = 1 }
                else { if (c == "\"") state = "string"; else if (c == "\x27") state = "char"; put(c) }
            } else if (state == "line") {
                if (c == "\n") { state = "code"; pending = 1 }
            } else if (state == "block") {
                if (c == "*" && d == "/") { state = "code"; ++i }
            } else {
                out = out c
                if (c == "\\") { out = out d; ++i }
                else if ((state == "string" && c == "\"") || (state == "char" && c == "\x27")) state = "code"
            }
        }
    }
    END { print out }' "$1"
}

files=$(headers)
digest=$(for f in $files; do
    [ -f "$root/$f" ] || { echo "check-sdk-interface: $f is missing" >&2; exit 1; }
    echo "== $f"
    normalize "$root/$f"
done | sha256sum | cut -d' ' -f1)
version=$(sed -n 's/.*kPlugInInterfaceVersion = \([0-9][0-9]*\);.*/\1/p' "$root/src/process/ModuleClass.h")
[ -n "$version" ] || { echo "check-sdk-interface: no kPlugInInterfaceVersion in src/process/ModuleClass.h" >&2; exit 1; }

if [ "$update" = "--update" ]; then
    {
        echo "# The plug-in interface version and the SHA-256 of the plug-in SDK headers it was set for,"
        echo "# written by tests/plugins/check-sdk-interface.sh <source folder> --update."
        echo "version $version"
        echo "sha256 $digest"
    } >"$record"
    echo "recorded interface version $version, headers $digest"
    exit 0
fi

[ -f "$record" ] || { echo "No $record: record the headers with --update." >&2; exit 1; }
recordedVersion=$(sed -n 's/^version //p' "$record")
recordedDigest=$(sed -n 's/^sha256 //p' "$record")
if [ "$digest" = "$recordedDigest" ] && [ "$version" = "$recordedVersion" ]; then
    echo "plug-in interface version $version matches its headers"
    exit 0
fi
echo "The plug-in SDK headers are not the ones plugins/sdk-interface.txt records:"
echo "  headers: $(echo $files)"
if [ "$version" = "$recordedVersion" ]; then
    echo "They changed, but kPlugInInterfaceVersion is still $version. A plug-in built with the old"
    echo "headers may crash with the new program: raise kPlugInInterfaceVersion in"
    echo "src/process/ModuleClass.h and say what changed in plugins/README.md."
else
    echo "kPlugInInterfaceVersion is $version, the record says $recordedVersion."
fi
echo "Then record the headers: sh tests/plugins/check-sdk-interface.sh . --update"
exit 1
