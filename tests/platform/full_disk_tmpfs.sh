#!/bin/sh
# Runs the file-writing tests in a user and mount namespace of their own,
# where they mount a small tmpfs and fill it, so every save meets a really
# full file system. The host's mounts stay as they are. Exit 77 = skipped.
if ! unshare --user --map-root-user --mount true 2>/dev/null; then
  echo "skipped: no user and mount namespace can be made here"
  exit 77
fi
SW_FULL_DISK_TMPFS=1 exec unshare --user --map-root-user --mount "$@"
