#!/usr/bin/env bash
# The version printouts of the Windows build on the real queue "PDF", read
# back on Linux: "/EVIP" of a program in a directory named with umlauts gives
# one page with the report's text in a job named after the program, and the
# setup dialog's choice (landscape A5) reaches the next printouts, Abbrechen
# changing nothing (VersionPrintout.* of version_info_tests).
#   version_printout_test.sh SOURCE_DIR PROGRAM_DIR WINE_HOME
set -euo pipefail
source_dir=$1 program_dir=$2
export TM_WINE_HOME=$3
queue=ipp://localhost/printers/PDF
pdf_dir="$(getent passwd "$(id -un)" | cut -d: -f6)/PDF"
fail() { echo "FAIL: $*" >&2; exit 1; }

# "id,state" of every job, and the highest id.
jobs() { ipptool -c "$queue" "$source_dir/tests/versioninfo/get_jobs.test" | tail -n +2; }
last_job() { jobs | cut -d, -f1 | sort -n | tail -1; }
# The ids after $1 once $2 of them have completed (a minute at most).
completed_after() {
  for _ in $(seq 1 300); do
    local done
    done=$(jobs | awk -F, -v after="$1" '$1 > after && $2 == "completed" { print $1 }' | sort -n)
    [[ $(wc -w <<<"$done") -ge $2 ]] && { echo $done; return; }
    sleep 0.2
  done
  fail "fewer than $2 completed jobs after job $1"
}
job_name() {
  ipptool -c -d job="$1" "$queue" "$source_dir/tests/versioninfo/get_job.test" | tail -1 |
    cut -d, -f2
}
pdf_of() {
  for _ in $(seq 1 150); do
    local file
    file=$(ls -t "$pdf_dir"/*_"$1".pdf 2>/dev/null | head -1)
    [[ -n "$file" ]] && { echo "$file"; return; }
    sleep 0.2
  done
  fail "cups-pdf wrote no file for job $1"
}

# "/EVIP" beside "/EVIF": the page holds the lines of the report file, which
# the Windows tests check byte for byte, in Windows-1252.
dir="$program_dir/Büro ÄÖÜß€"
rm -rf "$dir" && mkdir -p "$dir"
cp "$program_dir/version_probe.exe" "$program_dir/gds32.dll" "$dir/"
last=$(last_job)
"$source_dir/scripts/wine-run" "$dir/version_probe.exe" /EVIF /EVIP
job=$(completed_after "${last:-0}" 1)
[[ "$(job_name "$job")" == "version_probe.exe - EVI" ]] || fail "job $job: $(job_name "$job")"
pdf=$(pdf_of "$job")
pdfinfo "$pdf" | grep -Eq '^Pages: +1$' || fail "$pdf has more than one page"
expected=$(iconv -f WINDOWS-1252 -t UTF-8 "$dir/version_probe.EVI" | tr -d '\r' | grep -v '^$')
printed=$(pdftotext -layout "$pdf" - | tr -d '\f' | sed 's/ *$//' | grep -v '^$')
[[ "$printed" == "$expected" ]] || fail "$pdf reads"$'\n'"$printed"$'\n'"instead of"$'\n'"$expected"
grep -q 'Büro ÄÖÜß€' <<<"$printed" || fail "the directory's umlauts are not printed"
rm -rf "$dir"

# The setup dialog's choice: both printouts of the test on A5 in landscape.
last=$(last_job)
"$source_dir/scripts/wine-run" "$program_dir/version_info_tests.exe" \
  --gtest_filter='VersionPrintout.*' || fail "VersionPrintout.* under Wine"
for job in $(completed_after "$last" 2); do
  [[ "$(job_name "$job")" == "version_info_tests.exe - EVI" ]] || fail "job $job: $(job_name "$job")"
  info=$(pdfinfo "$(pdf_of "$job")")
  grep -Eq '^Page size:.*\(A5\)$' <<<"$info" && grep -Eq '^Page rot: +90$' <<<"$info" ||
    fail "job $job is not on A5 in landscape:"$'\n'"$info"
done
echo "version printouts as chosen"
