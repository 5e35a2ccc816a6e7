#!/usr/bin/env bash
# Runs a command with a network share of the Wine prefix that never
# answers, as one whose server has gone: \\vantrel-hung-PID\share, named to
# the command in VANTREL_HUNG_SHARE. Wine takes \\server\share\... from
# $WINEPREFIX/dosdevices/unc/server/share, made here a link to a FUSE file
# system whose lookups never answer. Where none can be mounted, the command
# runs all the same with the reason in VANTREL_NO_HUNG_SHARE.
# Usage: with_hung_share.sh HUNG_FILE_SYSTEM_SCRIPT TIME_LIMIT COMMAND [ARGS...]
set -uo pipefail
file_system=$1
time_limit=$2
shift 2

if [ "$(id -u)" -ne 0 ] || [ ! -e /dev/fuse ]; then
  export VANTREL_NO_HUNG_SHARE="mounting a FUSE file system needs root and /dev/fuse"
  exec "$@"
fi

server=vantrel-hung-$$
unc=${WINEPREFIX:-$HOME/.wine}/dosdevices/unc
mount_point=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-hung-share.XXXXXX")
daemon=

mounted() { grep -q " $mount_point " /proc/self/mountinfo; }

# Whatever is stuck in the file system fails once its daemon is gone; the
# mount itself goes with it, then the link and the folder.
end_share() {
  if [ -n "$daemon" ]; then
    kill -KILL "$daemon" 2>/dev/null
    wait "$daemon" 2>/dev/null
  fi
  mounted && umount -l "$mount_point"
  rm -f "$unc/$server/share"
  rmdir "$unc/$server" "$mount_point" 2>/dev/null
  rmdir "$unc" 2>/dev/null
  true
}
trap end_share EXIT
trap 'exit 143' TERM INT HUP

/usr/bin/python3 "$file_system" "$mount_point" 2>"$mount_point.log" &
daemon=$!
for _ in $(seq 200); do
  mounted && break
  kill -0 "$daemon" 2>/dev/null || break
  sleep 0.05
done
if mounted; then
  mkdir -p "$unc/$server"
  ln -s "$mount_point" "$unc/$server/share"
  export VANTREL_HUNG_SHARE="\\\\$server\\share"
else
  export VANTREL_NO_HUNG_SHARE="no FUSE file system could be mounted (python3-fusepy): $(head -c 300 "$mount_point.log")"
fi
rm -f "$mount_point.log"
# Ended before ctest's own limit would kill this script and leave the mount.
timeout "$time_limit" "$@"
