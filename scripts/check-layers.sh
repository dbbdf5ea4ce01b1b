#!/usr/bin/env bash
# Fails on an include in src/ that points up a layer or across between
# subsystems. The layers, top to bottom:
#   app, web         the programs: each composes the subsystems below
#   outputs          prints and exports what the agenda subsystem holds
#   agenda labs products about backups server maintenance online
#                    the subsystems: never one another (outputs excepted)
#   common           what every subsystem uses (core: rules, ui: widgets)
#   store            tables > files > engine; nothing of the program above
# Inside any folder, core/ never includes a ui/ header, and only app may
# include a subsystem's ui/.
set -euo pipefail
cd "$(dirname "$0")/../src"

subsystems="agenda labs products about backups server maintenance online"
allowed() { # the top-level folders a folder may include besides itself
    case $1 in
        app) echo "outputs $subsystems common store" ;;
        web) echo "$subsystems common store" ;;
        outputs) echo "agenda common store" ;;
        common) echo "store" ;;
        store) echo "" ;;
        *) echo "common store" ;;
    esac
}
store_allowed() { # within store
    case $1 in
        tables) echo "tables files engine" ;;
        files) echo "files engine" ;;
        engine) echo "engine" ;;
    esac
}

status=0
fail() { echo "$1: $2" >&2; status=1; }

while IFS= read -r file; do
    from=${file%%/*}
    from_part=$(cut -d/ -f2 <<<"$file")
    while IFS= read -r target; do
        to=${target%%/*}
        to_part=$(cut -d/ -f2 <<<"$target")
        [ -d "$to" ] || continue # a Qt or system header written with quotes
        if [[ "$file" == */core/* || "$from" == store ]] && [[ "$target" == */ui/* ]]; then
            fail "$file" "core includes a widget header: $target"
        fi
        if [ "$from" = "$to" ]; then
            if [ "$from" = store ] && ! grep -qw "$to_part" <<<"$(store_allowed "$from_part")"; then
                fail "$file" "store/$from_part includes store/$to_part, a layer above it"
            fi
            continue
        fi
        if ! grep -qw "$to" <<<"$(allowed "$from")"; then
            fail "$file" "includes $target, above or beside $from"
        elif [[ "$target" == */ui/* && "$to" != common && "$from" != app ]]; then
            fail "$file" "includes $target, the widgets of another subsystem"
        fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
done < <(find . -name '*.cpp' -o -name '*.h' | sed 's#^\./##' | sort)

if [ $status -eq 0 ]; then
    echo "check-layers: every include of src/ points down"
fi
exit $status
