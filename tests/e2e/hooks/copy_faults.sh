#!/usr/bin/env bash
exec "$(dirname "$0")/small-drive.bash" "$@"
