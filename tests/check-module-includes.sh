#!/bin/sh
# Fails when a module includes another module: each folder of src/modules and src/soundio may
# include its own headers and the layers below, never a header of another module folder (nor
# the built-in registry that sees them all). Usage: check-module-includes.sh <src folder>
src=${1:?usage: check-module-includes.sh <src folder>}
status=0
for folder in "$src"/modules/*/ "$src"/soundio/; do
    own=${folder#"$src"/}
    own=${own%/}
    found=$(grep -rnE '#[[:space:]]*include[[:space:]]*"(modules|soundio)/' "$folder" |
        grep -vE "\"$own/")
    if [ -n "$found" ]; then
        echo "$own includes another module:"
        echo "$found"
        status=1
    fi
done
exit $status
