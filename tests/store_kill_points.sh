#!/bin/bash
# Kills movra-cli with SIGKILL at every write, rename, removal and cut of each command that
# writes a store (import, copy --overwrite, delete, save into another store, swap, edit), one run per
# point, and checks that the store then opens (movra-cli info) holding exactly its games from
# before the command or exactly those after it.
#
# usage: store_kill_points.sh MOVRA_CLI
# Prints, per command, the kill points tried and the points where the store was safe; exits 1
# when any point left a store that was neither, 77 (skipped) without strace.
set -u
cli=$(realpath "$1")
if ! command -v strace >/dev/null 2>&1; then
    echo "strace is not installed: skipped"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

# A Kakinoki file (CP932) of kings walking to and fro for N moves, with comments and times, and
# a start date of its own (a file without one takes the clock's, which would differ between runs).
game_file() {  # file sente-name moves
    python3 - "$1" "$2" "$3" <<'EOF'
import sys
path, sente, n = sys.argv[1], sys.argv[2], int(sys.argv[3])
walk = ["５八玉(59)", "５二玉(51)", "５九玉(58)", "５一玉(52)"]
lines = ["開始日時：2024/04/10 10:00", "手合割：平手", "先手：" + sente, "後手：乙", "手数----指手---------消費時間--",
         "*開始の解説 " + sente]
for i in range(1, n + 1):
    lines.append("%4d %s   ( 0:01/00:00:%02d)" % (i, walk[(i - 1) % 4], i % 60))
    if i % 7 == 1:
        lines.append("*%d手目のコメント %s" % (i, sente))
lines.append("%4d 投了" % (n + 1))
open(path, "wb").write(("\r\n".join(lines) + "\r\n").encode("cp932"))
EOF
}
game_file a.kif 甲 20
game_file b.kif 丙 300   # longer than 256 moves: an overflow number
game_file c.kif 丁 9
game_file d.kif 戊 41

# What a reader finds in a store: its kind and count, and every game as exported.
fingerprint() {  # store
    local info count k
    info=$("$cli" info "$1" 2>/dev/null) || { echo "unusable"; return; }
    grep -E '^(validation|games):' <<<"$info"
    count=$(sed -n 's/^games: //p' <<<"$info")
    for ((k = 1; k <= count; k++)); do "$cli" export "$1" "$k" 2>&1; done
}

# The stores each command starts from, made afresh in ./run.
setup() {  # command name
    rm -rf run && mkdir run
    case $1 in
        import) "$cli" import run/s.ipx a.kif >/dev/null 2>&1 ;;
        copy | save)
            "$cli" import run/s.ipx a.kif b.kif c.kif >/dev/null 2>&1
            "$cli" import run/t.ipx d.kif b.kif >/dev/null 2>&1 ;;
        delete | swap | edit) "$cli" import run/s.ipx a.kif b.kif c.kif d.kif >/dev/null 2>&1 ;;
    esac
}
run_command() {  # command name, then the strace options that come before the program
    local name=$1
    shift
    case $name in
        import) "$@" "$cli" import run/s.ipx b.kif c.kif d.kif ;;
        copy) "$@" "$cli" copy run/s.ipx run/t.ipx --overwrite ;;
        save) "$@" "$cli" copy run/s.ipx run/t.ipx --games 3,2 ;;
        delete) "$@" "$cli" delete run/s.ipx 2 4 ;;
        swap) "$@" "$cli" swap run/s.ipx 1 2 ;;
        # Game 2 cut from 300 moves to 202 (its overflow number goes), comments added and removed.
        edit) "$@" "$cli" edit run/s.ipx 2 --moves-from 201 --moves "5948 5142" --comment 1 new \
                  --clear-comment 8 --comment 0 start --date 2025/01/02 ;;
    esac
}
target_of() { case $1 in copy | save) echo run/t.ipx ;; *) echo run/s.ipx ;; esac; }

failures=0
summary=""
for name in import copy delete save swap edit; do
    target=$(target_of "$name")
    setup "$name"
    before=$(fingerprint "$target")
    run_command "$name" strace -f -qq -o counts.txt -c -e trace=pwrite64,rename,renameat,renameat2,unlink,unlinkat,ftruncate >/dev/null 2>&1
    after=$(fingerprint "$target")
    if [[ $before == "$after" ]]; then
        echo "$name: the command changed nothing"
        failures=$((failures + 1))
        continue
    fi
    tried=0
    safe=0
    for call in pwrite64 rename renameat renameat2 unlink unlinkat ftruncate; do
        calls=$(awk -v c="$call" '$NF == c { print $(NF - 1) }' counts.txt)
        [[ -z $calls ]] && calls=0
        # The error column is there only when a call failed; the count is then two back.
        if awk -v c="$call" '$NF == c && NF == 6 { found = 1 } END { exit !found }' counts.txt; then
            calls=$(awk -v c="$call" '$NF == c { print $(NF - 2) }' counts.txt)
        fi
        for ((k = 1; k <= calls; k++)); do
            setup "$name"
            run_command "$name" strace -f -qq -o /dev/null -e trace="$call" \
                -e inject="$call":signal=KILL:when="$k" >/dev/null 2>&1
            found=$(fingerprint "$target")
            tried=$((tried + 1))
            if [[ $found == "$before" || $found == "$after" ]]; then
                safe=$((safe + 1))
            else
                echo "$name: killed at $call $k: the store is neither as before nor as after"
                head -3 <<<"$found"
                failures=$((failures + 1))
            fi
        done
    done
    summary+="$name: $tried kill points tried, $safe safe"$'\n'
done
printf '%s' "$summary"
[[ $failures -eq 0 ]]
