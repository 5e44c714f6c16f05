#!/usr/bin/env bash
# qtool end to end: every subcommand, its output bytes and its exit status.
# usage: qtool_test.sh FIXTURES_DIR QTOOL_COMMAND...
# (the command may be a prefix such as "<tree>/wine-run qtool.exe").
set -uo pipefail
fixtures=$1; shift
qtool=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0 checks=0
check() {  # check NAME EXPECTED ACTUAL
  checks=$((checks + 1))
  if [ "$2" == "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2], got [$3]"; failures=$((failures + 1)); fi
}
status() { "${qtool[@]}" "$@" >/dev/null 2>err.txt </dev/null; echo $?; }

# scramble / unscramble: exact bytes, nothing added.
printf 'caf\xc3\xa9 \xe4\xb8\xad {"k":1}' >text.txt
"${qtool[@]}" scramble <text.txt >scrambled.txt
"${qtool[@]}" unscramble <scrambled.txt >back.txt
check "unscramble(scramble(x)) is x" "$(od -An -tx1 text.txt)" "$(od -An -tx1 back.txt)"
check "scramble of nothing" "" "$(printf '' | "${qtool[@]}" scramble)"
check "scramble of one byte" "Pw==" "$(printf 'N' | "${qtool[@]}" scramble)"
printf 'not base64!' >bad.txt
check "unscramble rejects other text" "2" "$("${qtool[@]}" unscramble <bad.txt >/dev/null 2>err.txt; echo $?)"
check "one line on standard error" "1" "$(tr -d '\r' <err.txt | wc -l | tr -d ' ')"

# sign-body against the independently computed vector.
request=$(python3 -c 'import json,sys; v=json.load(open(sys.argv[1]))["signed_body"][0]; print(v["text"], end="")' \
          "$fixtures/crypto/vectors.json")
expected=$(python3 -c 'import json,sys; v=json.load(open(sys.argv[1]))["signed_body"][0]; print(v["expected"], end="")' \
           "$fixtures/crypto/vectors.json")
check "sign-body matches the vector" "$expected" "$(printf '%s' "$request" | "${qtool[@]}" sign-body)"

# ini-set / ini-get through the INI class.
check "ini-set creates the file" "0" "$(status ini-set cfg.ini General Theme Dark)"
check "ini-set second key" "0" "$(status ini-set cfg.ini general Language 'Portugu'$'\xc3\xaa''s')"
check "ini-get without regard to case" "Dark" "$("${qtool[@]}" ini-get cfg.ini GENERAL theme | tr -d '\r')"
check "ini-get of UTF-8 text" "Portugu"$'\xc3\xaa'"s" "$("${qtool[@]}" ini-get cfg.ini General Language | tr -d '\r')"
check "ini-get default" "none" "$("${qtool[@]}" ini-get cfg.ini General Missing none | tr -d '\r')"
check "file is UTF-16 LE" "fffe" "$(head -c2 cfg.ini | od -An -tx1 | tr -d ' \n')"
check "ini-get of a missing file" "2" "$(status ini-get missing.ini S K)"
check "the missing file stays missing" "no" "$([ -e missing.ini ] && echo yes || echo no)"

# kvdt-encrypt / kvdt-decrypt.
printf '[Config]\r\nTheme=Light\r\n[Browser]\r\nDefault=1\r\n' >plain.ini
check "kvdt-encrypt" "0" "$(status kvdt-encrypt plain.ini config.kvdt)"
check "data file is as long as its UTF-16 content" "$(( ($(wc -c <plain.ini) + 1) * 2 ))" "$(wc -c <config.kvdt | tr -d ' ')"
check "kvdt-decrypt gives the INI text" "$(printf '[Config]\r\nTheme=Light\r\n[Browser]\r\nDefault=1\r\n')" \
      "$("${qtool[@]}" kvdt-decrypt config.kvdt)"
printf "%0100d" 0 >other.kvdt  # fixed bytes: the check must not depend on chance
check "kvdt-decrypt refuses a file that is not a data file" "2" "$(status kvdt-decrypt other.kvdt)"
check "kvdt-decrypt of a missing file" "2" "$(status kvdt-decrypt missing.kvdt)"

# png-decode: 8-bit RGBA PAM, pixel for pixel what ImageMagick decodes.
for name in rgba8_texts gray_alpha8; do
  cp "$fixtures/../fuzz/corpus/fuzz_png_decode/$name.png" in.png
  check "png-decode $name" "0" "$(status png-decode in.png out.pam)"
  check "png-decode $name pixels" "$(/usr/bin/convert in.png -depth 8 RGBA:- | md5sum | cut -d' ' -f1)" \
    "$(python3 -c "import hashlib; d=open('out.pam','rb').read(); print(hashlib.md5(d[d.index(b'ENDHDR\n')+7:]).hexdigest())")"
done
check "png-decode refuses a file that is not a PNG" "2" "$(status png-decode plain.ini out.pam)"
check "with the decoder's text" "qtool: Invalid PNG signature" "$(tr -d '\r' <err.txt)"

# kvdt-set / kvdt-get through the browser's data-file class: what kvdt-decrypt sees,
# and a file that is not a data file is reported and left as it is.
check "kvdt-set creates the file" "result written=1" "$("${qtool[@]}" kvdt-set new.kvdt Config Theme Dark | tr -d '\r')"
check "kvdt-set another key" "0" "$(status kvdt-set new.kvdt Config Language pt)"
check "kvdt-get" "Dark|result found=1" "$("${qtool[@]}" kvdt-get new.kvdt config THEME | tr -d '\r' | paste -sd'|')"
check "kvdt-get default" "none|result found=0" "$("${qtool[@]}" kvdt-get new.kvdt Config Missing none | tr -d '\r' | paste -sd'|')"
check "kvdt-decrypt of what kvdt-set wrote" "$(printf '[Config]\r\nTheme=Dark\r\nLanguage=pt\r\n')" \
      "$("${qtool[@]}" kvdt-decrypt new.kvdt)"
cp other.kvdt other.before
check "kvdt-get of a file that is not a data file" "2" "$(status kvdt-get other.kvdt Config Theme)"
check "kvdt-set refuses it" "2" "$(status kvdt-set other.kvdt Config Theme Dark)"
check "and leaves it unchanged" "same" "$(cmp -s other.kvdt other.before && echo same)"
check "kvdt-get of a missing file reads it as empty" "fallback|result found=0" \
      "$("${qtool[@]}" kvdt-get missing.kvdt a b fallback | tr -d '\r' | paste -sd'|')"
check "and does not create it" "absent" "$([ -e missing.kvdt ] || echo absent)"
mkdir -p folder.kvdt
check "kvdt-get of a folder" "2" "$(status kvdt-get folder.kvdt a b)"

# Usage errors.
check "unknown command" "2" "$(status frobnicate)"
check "missing arguments" "2" "$(status ini-set cfg.ini General)"
check "base-info with a bad address" "2" "$(status base-info --base-url ftp://example.org)"
check "base-info with a bad time-out" "2" "$(status base-info --timeout 0)"
check "post-params without text" "2" "$(status post-params http://127.0.0.1:9/)"
check "default-browser with two names" "2" "$(status default-browser a.exe b.exe)"

echo "qtool: $((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
