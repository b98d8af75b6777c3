#!/bin/sh
# The gauges' performance figures: builds the native preset, runs the benchmarks (time and
# allocations per update pass, click and install) and counts the instructions of each act under
# callgrind, in all and in the gauge module's own code.
#   sh tools/measure.sh            MIN_TIME=seconds per benchmark (0.5), ACTS=acts under callgrind (200)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
min_time=${MIN_TIME:-0.5}
acts=${ACTS:-200}

sh tools/ensure-packages.sh measure
cmake --preset native >/dev/null
cmake --build --preset native

out=build/native/out
work=build/native/measure
rm -rf "$work"
mkdir -p "$work"

echo
echo "== machine"
echo "cpu:      $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1) ($(nproc) cores)"
echo "memory:   $(awk '/^MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)"
echo "system:   $(. /etc/os-release && echo "$PRETTY_NAME"), kernel $(uname -r)"
echo "compiler: $(g++ --version | head -n 1)"
echo "build:    $(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' build/native/CMakeCache.txt)"

echo
echo "== time and allocations per act (gauge_allocs: by the gauge's own code; total_allocs: the whole process)"
"$out/gauge_benchmarks" --benchmark_min_time="$min_time"

echo
echo "== instructions per act under callgrind ($acts acts each)"
valgrind --tool=callgrind --instr-atstart=no --collect-atstart=no \
    --callgrind-out-file="$work/callgrind.out" "$out/gauge_callgrind" "$acts" >"$work/acts.txt" 2>"$work/valgrind.log" || {
    cat "$work/valgrind.log" >&2
    exit 1
}

# Each profile, callgrind.out.1 on, is named for its scenario. An object's own instructions are the cost lines under
# its "ob=" (a cost line after "calls=" is a call's inclusive cost, counted at the callee).
printf '%-32s %14s %14s\n' "scenario" "instructions" "in the gauge"
part=1
while [ -f "$work/callgrind.out.$part" ]; do
    profile="$work/callgrind.out.$part"
    part=$((part + 1))
    awk -v acts="$acts" '
        /^desc: Trigger: Client Request: / { name = substr($0, 32) }
        /^summary: / { total = $2 }
        /^(ob|cob|cfob)=/ {
            # a name is given in full the first time its number appears, in any of the three
            id = $1; sub(/^[a-z]*=/, "", id)
            if (NF > 1) { names[id] = $2 }
            if ($0 ~ /^ob=/) { object = names[id] }
            next
        }
        /^calls=/ { skip = 1; next }
        /^[0-9+*-]/ {
            if (skip) { skip = 0; next }
            own[object] += $2
        }
        END {
            gauge = 0
            for (o in own) if (o ~ /\/(radio|autohelm)\.so$/) gauge += own[o]
            printf "%-32s %14.0f %14.0f\n", name, total / acts, gauge / acts
        }' "$profile"
done
