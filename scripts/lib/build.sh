# Sourced by the scripts in scripts/ after lib/bounded.sh, by scripts that
# define fail MESSAGE (print it and exit), source_dir and BuildTimeout.
#
# build PRESET LOG TARGET...: configures the preset and builds only TARGETs,
# their output in LOG; on failure shows the log's end and fails.
build() {
    local preset=$1 log=$2
    shift 2
    local started=$SECONDS
    echo "    cmake --preset $preset; cmake --build --preset $preset --target $*  (log: ${log#"$source_dir"/})"
    : >"$log"
    if ! { bounded --log "$log" "$BuildTimeout" cmake --preset "$preset" &&
           bounded --log "$log" "$BuildTimeout" cmake --build --preset "$preset" --target "$@"; }; then
        tail -n 30 "$log" | sed 's/^/    | /' >&2
        fail "the $preset build failed (whole log: ${log#"$source_dir"/})"
    fi
    echo "    done ($((SECONDS - started)) s)"
}
