#!/bin/sh
# 32-bit support libraries export their stdcall functions undecorated
# (--kill-at), as the installation's other programs expect. The import
# library that the linker writes then lacks the decorated names that callers
# compiled with the headers refer to, so it is made again from the export
# list: decorated symbol names that import the undecorated exports.
# Usage: implib32.sh DLLTOOL DLL EXPORTS_DEF IMPORT_LIB
set -e
dlltool=$1 dll=$2 exports=$3 implib=$4
decorated=$exports.decorated
{
    echo "LIBRARY $(basename "$dll")"
    echo "EXPORTS"
    sed -n -E 's/^[[:space:]]+[^[:space:]]+ = ([^[:space:]]+@[0-9]+) @.*/    \1/p' "$exports"
} > "$decorated"
"$dlltool" -k -d "$decorated" -D "$(basename "$dll")" -l "$implib"
