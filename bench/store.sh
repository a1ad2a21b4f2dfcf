#!/usr/bin/env bash
# How the store of originals grows: one zsnd replace in a folder whose store
# already holds 10 or 5,000 replaced files, against zsnd import --like doing
# the same import with no store; apply, status and restore per file at 1,000
# and at 5,000 files (linear: the same cost per file); and a pack of 10,000
# files that apply takes back.
# Run through scripts/bench.
set -euo pipefail
source bench/lib/common.bash
dir="$BENCH_DIR"
status=0

# make_folder NAME COUNT: a folder of COUNT stock game files plus TARGET.SND,
# and NAME.zip, a pack replacing every stock file.
make_folder() {
  python3 - "$dir/$1" "$2" <<'EOF'
import hashlib, json, os, struct, sys, zipfile
folder, count = sys.argv[1], int(sys.argv[2])
def game(i, n):
    data = bytes((i * 7 + k) & 0xFF for k in range(n))
    return struct.pack('<7i', 0, i % 9999, len(data), 22050, 16, 1, 0) + data
os.makedirs(folder)
stock = game(1, 4000)
records = []
with zipfile.ZipFile(folder + '.zip', 'w', zipfile.ZIP_DEFLATED) as z:
    for i in range(count):
        name = 'S%05d.SND' % i
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(stock)
        new = game(i + 2, 2000)
        z.writestr(name, new)
        records.append({'name': name, 'stock_sha256': hashlib.sha256(stock).hexdigest(),
                        'sha256': hashlib.sha256(new).hexdigest(), 'size': len(new)})
    z.writestr('manifest.json', json.dumps({'format': 'zephyra-sound-pack', 'version': 1,
                                           'files': records}))
with open(os.path.join(folder, 'TARGET.SND'), 'wb') as f:
    f.write(game(3, 40000))
EOF
}

sox -n -r 22050 -c 1 -b 16 "$dir/src.wav" synth 0.5 sine 440
declare -A apply_t
for n in 10 1000 5000; do
  make_folder "f$n" "$n"
  apply_t[$n]=$(bench_seconds "$ZSND" apply "$dir/f$n.zip" "$dir/f$n")
done

bench_reset() { "$ZSND" restore "$dir/$folder/TARGET.SND" >/dev/null 2>&1 || true; }
folder=f10
t_like=$(bench_median 7 "$ZSND" import --like "$dir/f10/TARGET.SND" "$dir/src.wav" "$dir/OUT.SND")
declare -A replace_t
for n in 10 5000; do
  folder="f$n"
  replace_t[$n]=$(bench_median 7 "$ZSND" replace "$dir/f$n/TARGET.SND" "$dir/src.wav")
  report "replace, $n stored: zsnd / import --like" "$(ratio "${replace_t[$n]}" "$t_like")" \
    "x" "<= 1.3" "${replace_t[$n]} <= 1.3 * $t_like"
done
bench_reset
unset -f bench_reset

per_file() { awk -v t="$1" -v n="$2" 'BEGIN { printf "%.6f", t / n }'; }
growth() { # NAME T1000 T5000: the cost per file at 5,000 against that at 1,000
  local a b
  a=$(per_file "$2" 1000)
  b=$(per_file "$3" 5000)
  report "$1 per file, 5000 / 1000 files" "$(ratio "$b" "$a")" "x" "<= 1.3" "$b <= 1.3 * $a"
}
growth "apply" "${apply_t[1000]}" "${apply_t[5000]}"
s1=$(bench_median 3 "$ZSND" status "$dir/f1000")
s5=$(bench_median 3 "$ZSND" status "$dir/f5000")
growth "status" "$s1" "$s5"
r1=$(bench_seconds "$ZSND" restore "$dir/f1000")
r5=$(bench_seconds "$ZSND" restore "$dir/f5000")
growth "restore" "$r1" "$r5"

# Whatever pack writes, apply takes.
rm -rf "$dir"/f10 "$dir"/f1000 "$dir"/f5000
make_folder big 10000
make_folder fresh 10000
ok=0
if "$ZSND" apply "$dir/big.zip" "$dir/big" >/dev/null && "$ZSND" pack "$dir/big" "$dir/round.zip" \
  >/dev/null && "$ZSND" apply "$dir/round.zip" "$dir/fresh" >/dev/null; then ok=1; fi
report "pack of 10000 files, applied again" "$ok" "" "= 1" "$ok == 1"
exit $status
