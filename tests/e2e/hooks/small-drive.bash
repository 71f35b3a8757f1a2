#!/usr/bin/env bash
# Drive E: for the copy page's disk-full scenarios: a 4 MiB tmpfs of its own,
# linked into the scenario's prefix. The scenario fills it to the size it
# needs. Run as small-drive.bash pre|post <workdir> (through a scenario's
# hook).
set -u
work=$2
mnt=$work/small-drive
link=$work/prefix/dosdevices/e:
case $1 in
    pre)
        mkdir -p "$mnt"
        if mountpoint -q "$mnt"; then umount "$mnt" || exit 1; fi
        mount -t tmpfs -o size=4m,mode=0777 cratewise-small-drive "$mnt" || exit 1
        ln -sfn "$mnt" "$link"
        ;;
    post)
        # Wine's processes of this scenario may still hold the drive.
        WINEPREFIX=$work/prefix /usr/lib/wine/wineserver -k 2>/dev/null
        WINEPREFIX=$work/prefix /usr/lib/wine/wineserver -w 2>/dev/null
        rm -f "$link"
        if mountpoint -q "$mnt"; then umount "$mnt" || umount -l "$mnt"; fi
        rmdir "$mnt"
        ;;
    *)
        echo "usage: $0 pre|post <workdir>" >&2
        exit 2
        ;;
esac
