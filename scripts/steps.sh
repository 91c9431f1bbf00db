# Sourced by the release scripts: `say` prefixes a message with the script's
# step_name, and `quietly` runs a step with its output appended to $log,
# shown (its tail) only when the step fails, which ends the script.
say() { echo "$step_name: $*" >&2; }

quietly() {
    if ! "$@" >>"$log" 2>&1; then
        tail -n 40 "$log" >&2
        say "failed: $* (whole log in $log)"
        exit 1
    fi
}
