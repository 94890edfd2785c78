#!/bin/sh
# A small file system that fills up quickly, for the save tests' full disk:
# "mount DIR" mounts a 64 KiB tmpfs on DIR and leaves a marker in it, so that
# the test can tell a real mount from the plain folder left where mounting
# is not allowed; "unmount DIR" takes it away again.
dir=$2
case $1 in
mount)
    umount "$dir" 2>/dev/null
    rm -rf "$dir"
    mkdir -p "$dir" || exit 0
    if mount -t tmpfs -o size=64k tmpfs "$dir" 2>/dev/null; then
        : > "$dir/.mounted"
    else
        echo "NOTE: cannot mount a tmpfs on $dir here; the full-disk save test will be skipped"
    fi
    ;;
unmount)
    umount "$dir" 2>/dev/null
    rm -rf "$dir"
    ;;
esac
exit 0
