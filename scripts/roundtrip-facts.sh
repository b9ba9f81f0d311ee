#!/usr/bin/env bash
# What a GEDCOM round trip keeps, fact by fact:
#
#   scripts/roundtrip-facts.sh [--build DIR] [--verbose] [--require PERCENT] [FILE...]
#
# Each file is imported into a new tree of a fresh data folder (VelkinTree --data DIR
# --import-gedcom FILE), exported again (--export-gedcom; 7.0 for a 7.0 file, else 5.5.1), and
# the export is compared with the file by gedcom_facts: persons matched by name and birth year,
# every fact of the file kept or lost, per category, and the parent and partner links the export
# has and the file lacks ("wrong"). Prints one line per file, then the figures of all files per
# category and the lost facts per tag.
#
# Without FILE arguments the files are the public samples (royal92.ged, pres2020.ged,
# utf8-bom.ged, utf16le.ged and every .ged of gedcom70/, from VT_GEDCOM_SAMPLES or
# ../shared/gedcom beside the checkout) and the generated file holding every tag, in 5.5.1 and 7.0
# (gedcom_alltags). --verbose prints each file's full report with every lost fact.
# --require PERCENT: exit 1 when a file keeps less than PERCENT of its facts or has a wrong link.
# The build (default: build/) must hold VelkinTree, gedcom_facts and gedcom_alltags.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
verbose=0
require=""
files=()
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build="$(realpath -m "$2")"; shift 2 ;;
        --verbose|-v) verbose=1; shift ;;
        --require) require="$2"; shift 2 ;;
        -h|--help) sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) files+=("$(realpath -m "$1")"); shift ;;
    esac
done

program="$build/bin/VelkinTree"
facts="$build/bin/gedcom_facts"
alltags="$build/bin/gedcom_alltags"
for tool in "$program" "$facts" "$alltags"; do
    if [ ! -x "$tool" ]; then
        echo "roundtrip-facts: $tool is missing: build it first (cmake --build $build)" >&2
        exit 2
    fi
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

if [ ${#files[@]} -eq 0 ]; then
    samples="${VT_GEDCOM_SAMPLES:-}"
    for candidate in "$root/../shared/gedcom" "$root/../../shared/gedcom"; do
        [ -z "$samples" ] && [ -f "$candidate/royal92.ged" ] && samples="$(realpath "$candidate")"
    done
    if [ -z "$samples" ]; then
        echo "roundtrip-facts: the public samples are not there (set VT_GEDCOM_SAMPLES)" >&2
    fi
    for name in royal92.ged pres2020.ged utf8-bom.ged utf16le.ged; do
        [ -f "$samples/$name" ] && files+=("$samples/$name")
    done
    for file in "$samples"/gedcom70/*.ged; do
        [ -f "$file" ] && files+=("$file")
    done
    "$alltags" "$work/alltags-551.ged"
    "$alltags" --7 "$work/alltags-70.ged"
    files+=("$work/alltags-551.ged" "$work/alltags-70.ged")
fi

# Whether a file is GEDCOM 7.0: its HEAD.GEDC.VERS (a UTF-16 file cannot be 7.0 and reads as
# not). The whole file is read: a reader that stopped early would end the pipe's writers with
# SIGPIPE, which pipefail takes for a failure.
is_version7() {
    tr -d '\r' < "$1" | sed '1s/^\xEF\xBB\xBF//' | awk '
        past { next }
        { sub(/^[[:space:]]+/, "") }
        /^0 / { if (head) { past = 1; next }; head = ($2 == "HEAD"); next }
        /^1 / { gedc = ($2 == "GEDC"); next }
        /^2 VERS 7/ { if (head && gedc) found = 1 }
        END { exit !found }'
}

printf '%-28s %8s %8s %9s %9s %14s %8s\n' file persons facts "core %" "all %" \
    "wrong parent" "partner"
failed=0
index=0
for file in "${files[@]}"; do
    index=$((index + 1))
    name="$(basename "$file")"
    data="$work/data-$index"
    out="$work/out-$index.ged"
    version=5.5.1
    is_version7 "$file" && version=7.0
    status=""
    if ! "$program" --data "$data" --import-gedcom "$file" --tree Roundtrip \
            > "$work/import-$index.log" 2>&1; then
        status="import failed: $(tail -n 1 "$work/import-$index.log")"
    elif ! "$program" --data "$data" --export-gedcom Roundtrip "$out" --gedcom-version "$version" \
            > "$work/export-$index.log" 2>&1; then
        status="export failed: $(tail -n 1 "$work/export-$index.log")"
    fi
    if [ -n "$status" ]; then
        # Nothing came back: every fact counts as lost.
        printf '0 HEAD\n1 GEDC\n2 VERS %s\n0 TRLR\n' "$version" > "$out"
    fi
    "$facts" --tsv "$file" "$out" > "$work/facts-$index.tsv" || [ $? -eq 1 ]
    awk -F'\t' -v name="$name" -v status="$status" -v require="$require" '
        $1 == "category" { all_k += $3; all_t += $4; if ($6 == "core") { core_k += $3; core_t += $4 } }
        $1 == "wrong-parent-links" { wp = $2; wc = $3 }
        $1 == "wrong-partner-links" { ws = $2 }
        $1 == "persons" { persons = $2 }
        END {
            core = core_t ? 100 * core_k / core_t : 100; all = all_t ? 100 * all_k / all_t : 100
            printf "%-28s %8d %8d %8.1f%% %8.1f%% %14s %8d%s\n", name, persons, all_t, core, all,
                   wp " (" wc " ch.)", ws, status == "" ? "" : "   " status
            if (require != "" && (all < require || wp > 0 || ws > 0)) exit 1
        }' "$work/facts-$index.tsv" || failed=1
    if [ "$verbose" = 1 ]; then
        echo "---- $file ($version)"
        "$facts" --verbose "$file" "$out" | sed 's/^/    /' || true
    fi
done

echo
echo "all files, per category:"
cat "$work"/facts-*.tsv | awk -F'\t' '
    $1 == "category" {
        if (!($2 in total)) order[n++] = $2
        kept[$2] += $3; total[$2] += $4; notes[$2] += $5; core[$2] = ($6 == "core")
    }
    $1 == "wrong-parent-links" { wp += $2; wc += $3 }
    $1 == "wrong-partner-links" { ws += $2 }
    $1 == "lost-tag" { lost[$3 " (" $2 ")"] += $4 }
    END {
        printf "  %-20s %9s %9s %8s %12s\n", "category", "kept", "total", "%", "with notes %"
        for (i = 0; i < n; i++) {
            c = order[i]
            if (!total[c]) continue
            printf "  %-20s %9d %9d %7.1f%% %11.1f%%\n", c, kept[c], total[c],
                   100 * kept[c] / total[c], 100 * (kept[c] + notes[c]) / total[c]
            all_k += kept[c]; all_t += total[c]; all_n += notes[c]
            if (core[c]) { core_k += kept[c]; core_t += total[c]; core_n += notes[c] }
        }
        if (core_t) printf "  %-20s %9d %9d %7.1f%% %11.1f%%\n", "core facts", core_k, core_t,
                   100 * core_k / core_t, 100 * (core_k + core_n) / core_t
        if (all_t) printf "  %-20s %9d %9d %7.1f%% %11.1f%%\n", "all facts", all_k, all_t,
                   100 * all_k / all_t, 100 * (all_k + all_n) / all_t
        printf "  wrong parent links: %d (of %d children), wrong partner links: %d\n", wp, wc, ws
        printf "\nlost per tag (all files):\n"
        for (t in lost) printf "  %8d  %s\n", lost[t], t | "sort -rn"
    }'
exit "$failed"
