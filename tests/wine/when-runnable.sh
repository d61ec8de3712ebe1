#!/bin/sh
# Runs a command that starts the tree's Windows programs, or reports it skipped
# where they cannot run: when-runnable.sh <build tree> <command...>
. "$(dirname "$0")/wine-env.sh" "$1"
shift
lyrimark_skip_unless_runnable
exec "$@"
