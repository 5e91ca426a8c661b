#!/bin/sh
# Records what voltrix-sim sends and prints it in hex, one frame a line.
#
#   tools/record-sim.sh [-o FILE] [voltrix-sim options...]
#
# Without --count it records 24 frames; without --time-factor it runs 1000 times faster
# than real time. The simulator is $VOLTRIX_SIM, else voltrix-sim from a build folder
# beside this script, else from PATH. Example:
#   tools/record-sim.sh --demo --stray-bytes --overload-every 4 --count 12
set -eu

usage() {
    sed -n '2,10s/^# \{0,1\}//p' "$0"
    exit "${1:-0}"
}

output=""
if [ "${1:-}" = "-h" ] || [ "${1:-}" = "--help" ]; then
    usage 0
fi
if [ "${1:-}" = "-o" ]; then
    [ $# -ge 2 ] || usage 2
    output=$2
    shift 2
fi

sim=${VOLTRIX_SIM:-}
if [ -z "$sim" ]; then
    here=$(cd "$(dirname "$0")/.." && pwd)
    for candidate in "$here"/build*/src/voltrix-sim; do
        if [ -x "$candidate" ]; then
            sim=$candidate
            break
        fi
    done
fi
if [ -z "$sim" ]; then
    sim=$(command -v voltrix-sim || true)
fi
if [ -z "$sim" ] || [ ! -x "$sim" ]; then
    echo "record-sim: voltrix-sim not found; build it or set VOLTRIX_SIM" >&2
    exit 1
fi

temporary=""
if [ -z "$output" ]; then
    temporary=$(mktemp "${TMPDIR:-/tmp}/voltrix-sim.XXXXXX")
    output=$temporary
    trap 'rm -f "$temporary"' EXIT
fi

extra=""
case " $* " in *" --count "*) ;; *) extra="--count 24" ;; esac
case " $* " in *" --time-factor "*) ;; *) extra="$extra --time-factor 1000" ;; esac

# shellcheck disable=SC2086 # $extra holds separate words on purpose
"$sim" --quiet --device "$output" $extra "$@" > /dev/null

# One frame a line; bytes between frames (which start no frame) on lines of their own.
od -A n -t x1 -v "$output" | tr ' ' '\n' | awk '
    function put() { if (line != "") print line (stray ? "   (stray)" : ""); line = ""; n = 0 }
    $0 == "" { next }
    {
        if ($0 == "ff" || $0 == "fe") { put(); stray = 0 }
        else if (n == 0) stray = 1
        line = (n ? line " " : "") $0; n++
        if (!stray && n == 6) put()
    }
    END { put() }'
