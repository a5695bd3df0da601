#!/usr/bin/env bash
# Stop a stand made by start.sh and remove its directory.  Silent on success;
# fine to run twice or on a stand that was only half built.
set -euo pipefail

TW_LOG_TAG='stand-stop'
# shellcheck source-path=SCRIPTDIR source=stand-lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/stand-lib.sh"

(( $# == 1 )) || tw_die "usage: $0 <stand-dir>"
stand=${1%/}

# Only ever delete something that looks like one of our stands.
case $(basename -- "$stand") in
    tablewright-stand.*) ;;
    *) tw_die "not a stand directory: $stand" ;;
esac

tw_stand_remove "$stand"
[[ ! -e $stand ]] || tw_die "could not remove $stand"
