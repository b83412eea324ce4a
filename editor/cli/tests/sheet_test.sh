#!/usr/bin/env bash
# tarvik-cli sheet: the PDF's text, as poppler's pdftotext extracts it, holds the settings
# of the program in the language asked for, and none of the settings left unset.
#   sheet_test.sh TARVIK-CLI
set -euo pipefail
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cli" new "$dir/alarm.sim"
"$cli" edit "$dir/alarm.sim" EDTl1=0039123 EDTl3=0039777 CBTl3=1 >/dev/null
"$cli" sheet --language Italiano "$dir/alarm.sim" "$dir/alarm.pdf"
text=$(pdftotext -layout "$dir/alarm.pdf" -)

for wanted in "Scheda di configurazione" "alarm.sim" "TQ4+ BARRIER" "Telefoni" \
    "Numeri telefonici (TL)" "0039123" "0039777" "Chiamata + SMS"; do
    grep -qF -- "$wanted" <<<"$text" || fail "the sheet lacks '$wanted'"
done
# Unset rows, groups and pages stay out; so do the English texts.
for unwanted in "Numeri CLIP (TO)" "Sistema On/Off" "Configuration sheet" "Telephone numbers"; do
    if grep -qF -- "$unwanted" <<<"$text"; then fail "the sheet shows '$unwanted'"; fi
done

# Bad requests fail with a message and write nothing.
status=0
"$cli" sheet --language Klingon "$dir/alarm.sim" "$dir/other.pdf" 2>"$dir/err" || status=$?
[[ $status -eq 2 && ! -e "$dir/other.pdf" ]] || fail "an unknown language gave $status"
grep -q "Klingon" "$dir/err" || fail "no message for an unknown language"
status=0
"$cli" sheet "$dir/alarm.sim" "$dir/no/such/folder.pdf" 2>/dev/null || status=$?
[[ $status -eq 2 ]] || fail "an unwritable output gave $status"
echo "sheet: ok"
