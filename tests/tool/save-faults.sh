#!/bin/bash
# A save of the tool failed, and killed, at each file system call in turn must leave exactly the
# old or the new bytes, exit 0 only with the new, and no file behind unless killed. With in-place,
# the same in a folder that takes no new file. Usage: save-faults.sh TOOL FUZZ_FOLDER [in-place]
set -euo pipefail
fuzz="$(realpath "$2")" in_place="${3:-}" work="$(mktemp -d)"
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
chmod 755 "$work" && cd "$work"
# Another user may not enter the checkout: the tool runs from here, where anyone may.
cp "$1" tessmere-model && tool="$work/tessmere-model"
export ASAN_OPTIONS=detect_leaks=0 # LeakSanitizer cannot run under ptrace
calls=openat,read,write,lseek,ftruncate,fchmod,fsync,close,rename,unlink,newfstatat,readlink
declare -A error_of=([openat]=EACCES [write]=ENOSPC [newfstatat]=ENOENT)
cp "$fuzz/corpus/fresh-70" old.dat
"$tool" export "$fuzz/corpus/sculpted-70" --png map.png
"$tool" import map.png --out new.dat
install -m 666 /dev/null trace # written by another user too
save=("$tool" import "$work/map.png" --out model.dat --force) tried=0
fail() { echo "$1 ($2 in $PWD)" >&2 && exit 1; }

# Every call of a save in the folder $1 failed, and killed when $2 is "kill", run under a prefix.
check_every_call() {
    local folder="$1" kill="$2" as=("${@:3}") point before status what
    cd "$folder" && cat "$work/old.dat" >model.dat
    "${as[@]}" strace -y -o "$work/trace" -e trace="$calls" "${save[@]}" >/dev/null
    # From the first look at the model file on, each call as its name and its count so far.
    for point in $(awk -F'(' '{ n[$1]++ } /model\.dat/ { on = 1 } on { print $1 ":" n[$1] }' \
        "$work/trace"); do
        local call="${point%:*}" when="${point#*:}"
        for action in "error=${error_of[$call]:-EIO}" ${kill:+signal=KILL}; do
            cat "$work/old.dat" >model.dat && before="$(ls -A)" status=0
            { "${as[@]}" strace -o /dev/null -e inject="$call:$action:when=$when" "${save[@]}" \
                >/dev/null 2>&1 || status=$?; } 2>/dev/null
            what="$action at $call #$when, exit $status" tried=$((tried + 1))
            cmp -s model.dat "$work/new.dat" ||
                { cmp -s model.dat "$work/old.dat" && [ "$status" -ne 0 ]; } ||
                fail "neither the new bytes nor the old with a failure" "$what"
            [ "$action" = signal=KILL ] || [ "$(ls -A)" = "$before" ] || fail "a file left" "$what"
        done
    done
    "${as[@]}" "${save[@]}" && cmp -s model.dat "$work/new.dat" || fail "a later save failed" "$folder"
    cd "$work"
}

# A save in the folder $1, under a prefix, onto a disk that fills after 100 KB of its 270 KB.
save_past_the_disk() {
    ! (cd "$1" && ulimit -f 100 && "${@:2}" "${save[@]}" 2>&1) ||
        fail "a save past the disk's end reported success" "$1"
}

# A folder that takes no new file: rewritten in place, the old bytes go back on a failure (not a
# kill, which is not tried).
if [ -n "$in_place" ]; then
    mkdir locked && cp old.dat locked/model.dat
    # Root passes by a folder's mode: it runs the saves as nobody, who owns the file only.
    as=()
    if [ "$(id -u)" -eq 0 ] && id nobody >/dev/null 2>&1; then
        as=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
        chown -R nobody locked
    fi
    chmod 555 locked
    if "${as[@]}" touch locked/probe 2>/dev/null; then
        echo "skipped: neither $(id -un) nor a user it may become is bound by a folder's mode"
        exit 77 # shown as skipped
    fi
    check_every_call locked "" "${as[@]}"
    printf old >locked/model.dat
    save_past_the_disk locked "${as[@]}" >/dev/null
    [ "$(cat locked/model.dat)" = old ] || fail "the old bytes were not put back" locked
    # Old bytes beyond the disk's end cannot go back either, and the tool says so.
    cat old.dat >locked/model.dat
    save_past_the_disk locked "${as[@]}" | grep -q "may be damaged" ||
        fail "a file that may be damaged reported as left as it was" locked
else
    mkdir atomic full
    check_every_call atomic kill
    # The new file reaches the disk before it takes the old one's name, and the folder after.
    grep -oE '^(fsync\([0-9]+<[^>]*>|rename)' trace | tr '\n' ' ' |
        grep -qE '^fsync\([0-9]+<[^>]*/\.tessmere-[0-9a-f]+\.tmp> rename fsync\([0-9]+<'"$work"'/atomic> $' ||
        fail "not flushed before and after the rename" "$(grep -E '^(fsync|rename)' trace)"

    # A disk that fills part way through the write.
    cp old.dat full/model.dat && save_past_the_disk full >/dev/null
    cmp -s full/model.dat old.dat && [ "$(ls -A full)" = model.dat ] || fail "the old bytes lost or a file left" full
fi
echo "$tried faults tried, each leaving the old or the new bytes"
