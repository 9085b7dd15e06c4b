# Sourced by the console scripts, which set cmd (DigestorCmd.exe), wine_run and work.
fail() { echo "$(basename "$0" .sh): $*" >&2; exit 1; }
win() { local p; p=$(realpath -m "$1"); echo "Z:${p//\//\\}"; }
# run CODE WHAT ARGS...: DigestorCmd ARGS must exit with CODE; output raw in $work/out, text in $out.
finish() { out=$(tr -d '\r' <"$work/out") err=$(<"$work/err")
    [[ $code == "$1" ]] || fail "$2: exit $code, not $1; out: $out; err: $err"; }
run() { code=0; "$wine_run" "$cmd" "${@:3}" >"$work/out" 2>"$work/err" || code=$?; finish "$1" "$2"; }
has() { for line; do grep -qxF -- "$line" <<<"$out" || fail "no line '$line' in: $out"; done; }
# tally LINE: the summary, the last line on standard error.
tally() { [[ $(tail -n 1 <<<"$err" | tr -d '\r') == "$1" ]] || fail "no tally '$1' in: $err"; }
