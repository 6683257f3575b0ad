#!/usr/bin/env bash
# A PostScript job of PAGES text pages (60 lines each), as a word processor's print would
# send it, on standard output: the job the print benchmarks share.
#   bench/text_job.sh PAGES
set -euo pipefail
pages=$1
echo '%!PS-Adobe-3.0'
echo '/Times-Roman findfont 11 scalefont setfont'
for page in $(seq "$pages"); do
    echo "%%Page: $page $page"
    for line in $(seq 60); do
        echo "72 $((760 - line * 11)) moveto (Page $page line $line: the quick brown fox jumps over the lazy dog 0123456789) show"
    done
    echo showpage
done
