#!/bin/sh
# Runs a command while the local site serves on free ports, with an update file
# of known bytes: with-update-site.sh <build tree> <command...> (see with-site.sh).
build=$1
shift
exec sh "$(dirname "$0")/../wine/with-site.sh" "$build" --update "$@"
