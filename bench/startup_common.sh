# Shared by the start-up scripts; source it after setting `runs`.

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Prints "<median milliseconds> <median peak KiB>" of `runs` starts of a program.
measure() {
    local times=() peaks=() start end peak_file
    peak_file=$(mktemp)
    "$@" >/dev/null 2>&1  # warm the file cache
    for ((i = 0; i < runs; i++)); do
        start=$(date +%s%N)
        /usr/bin/time -f '%M' -o "${peak_file}" "$@" >/dev/null 2>&1
        end=$(date +%s%N)
        times+=("$(((end - start) / 1000))")
        peaks+=("$(tail -n 1 "${peak_file}")")
    done
    rm -f "${peak_file}"
    echo "$(printf '%s\n' "${times[@]}" | median | awk '{ printf "%.1f", $1 / 1000 }')" \
         "$(printf '%s\n' "${peaks[@]}" | median)"
}
