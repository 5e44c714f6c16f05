#!/usr/bin/env bash
# The installer's languages under Wine.
# - The start language from the Windows language (LC_ALL): German, Brazilian
#   Portuguese and Japanese start in their own language; Czech has no language file,
#   so the trace names "Czech" and the window is the English one.
# - One English start, then every language of the selector chosen by real input
#   (the list, Down, Return): the trace names it, the main page changes, and a
#   screenshot of each is kept in OUT (window-lang-NN-NAME.png).
# - Every text of each language file and every selector name, drawn in the face the
#   installer uses for that language, has real glyphs: none is drawn as the font's
#   missing-glyph box (wintool missing-glyphs, through the same GDI text path and the
#   prefix's font replacements and links).
# usage: window_languages.sh WINE_RUN SETUP_EXE WINTOOL_EXE OUT LANG_SRC_DIR
set -euo pipefail
wine_run=$1 setup=$2 wintool=$3 out=$4 lang_src=$5
source "$(dirname "$0")/window_lib.sh"
work=$(mktemp -d)
trap window_cleanup EXIT

# The selector's order and each language's face (uMain_Language.cpp).
languages=(Arabic ChineseTrad Danish Dutch English French German Hebrew Hungarian Indonesian Italian
           Korean Malay Japanese Polish Portuguese_BR Russian Slovak Slovenian Spanish Swedish Turkish)
face_of() {
  case $1 in
    Japanese) echo "Meiryo UI" ;;
    Korean) echo "Malgun Gothic" ;;
    ChineseTrad) echo "Microsoft JhengHei UI" ;;
    Arabic | Hebrew) echo "Tahoma" ;;
    *) echo "Segoe UI" ;;
  esac
}
selector_names="العــربيـة 正體中文 Dansk Nederlands English Français Deutsch עברית Hungarian Indonesian Italiano
한국어 Bahasa Malaysia 日本語 Polski Português(Brasil) Русский Slovenčina SVK Slovenščina Español Svenska Türkçe"

# --- Glyphs --------------------------------------------------------------------------
missing_any=
for name in "${languages[@]}"; do
  # The values of the language file, and the selector (drawn in this language's face).
  { sed -n '/^[;[]/d; s/^[^=]*=//p' "$lang_src/$name.ini"; echo "$selector_names"; } >"$work/$name.txt"
  face=$(face_of "$name")
  set +e
  result=$(tool missing-glyphs "$face" "Z:${work//\//\\}\\$name.txt")
  rc=$?
  set -e
  [ "$rc" -le 1 ] || fail "wintool missing-glyphs could not read the texts of $name"
  if [ "$rc" -ne 0 ]; then
    echo "$name ($face): missing glyphs: $(echo "$result" | tr '\n' ' ')" >&2
    missing_any=1
  fi
done
[ -z "$missing_any" ] || fail "characters drawn as missing-glyph boxes (see above)"
echo "glyphs: every text of the 22 languages and the selector has real glyphs in its face"

# --- The start language ----------------------------------------------------------------
# start_in LOCALE EXPECTED_NAME: the trace line of the start choice; a screenshot.
start_in() {
  local locale=$1 expected=$2 log=$work/start-$1.log
  LC_ALL=$locale.UTF-8 start_setup "$log"
  wait_installer 60
  wait_trace "$log" '^FormCreate: 4$' 30
  local chosen
  chosen=$(traces "$log" | sed -n 's/^\*\*\*\*\*\*\*\*\*\* FLanguageName: //p')
  [ "$chosen" = "$expected" ] || fail "LC_ALL=$locale: FLanguageName is '$chosen', expected '$expected'"
  sleep 1.5  # the first paint after the window is mapped
  shot "window-start-$locale" "$(window_like 640x390)"
  tool close "$title" || fail "could not close the installer"
  wait_exit 20
  [ "$exit_code" -eq 0 ] || fail "LC_ALL=$locale: exit code $exit_code after closing"
  echo "LC_ALL=$locale: FLanguageName $chosen"
}
start_in de_DE German
start_in pt_BR Portuguese_BR
start_in ja_JP Japanese
start_in cs_CZ Czech

# --- Every language through the selector -------------------------------------------------
log=$work/switch.log
LC_ALL=en_US.UTF-8 start_setup "$log"
wait_installer 60
wait_trace "$log" '^FormCreate: 4$' 30
sleep 1.5
main=$(window_like 640x390)
shot window-lang-start-english "$main"
# Czech has no language file: its window is the English one.
[ "$(differ "$out/window-start-cs_CZ.png" "$out/window-lang-start-english.png")" -lt 50 ] ||
  fail "the Czech start does not show the English window"
for locale in de_DE pt_BR ja_JP; do
  [ "$(differ "$out/window-start-$locale.png" "$out/window-lang-start-english.png")" -gt 2000 ] ||
    fail "the $locale start looks like the English one"
done
# The selector's face: 454, -2 (98 x 32) on the title strip; its list opens below.
read -r _ _ mx my <<<"$main"
list_geometry() { windows | awk -F'[x+]' -v x=$((mx + 454)) '$1 == 98 && $3 == x { print; exit }'; }
previous=$out/window-lang-start-english.png
for i in "${!languages[@]}"; do
  name=${languages[$i]}
  click "$main" 500 12
  for n in $(seq 30); do [ -n "$(list_geometry)" ] && break; sleep 0.1; done
  [ -n "$(list_geometry)" ] || fail "the language list did not open"
  if [ "$i" -eq 0 ]; then xdotool key Home; else xdotool key Down; fi
  wait_trace "$log" "^language: $name\$" 20
  xdotool key Return
  for n in $(seq 50); do [ -z "$(list_geometry)" ] && break; sleep 0.1; done
  [ -z "$(list_geometry)" ] || fail "the language list did not close"
  xdotool mousemove 5 5
  sleep 0.5
  file=$(printf 'window-lang-%02d-%s' "$i" "$name")
  shot "$file" "$main"
  [ "$(differ "$previous" "$out/$file.png")" -gt 500 ] || fail "the window did not change for $name"
  previous=$out/$file.png
done
count=$(traces "$log" | grep -c '^language: ')
[ "$count" -eq 22 ] || fail "$count language changes traced, expected 22"
tool close "$title" || fail "could not close the installer"
wait_exit 20
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after closing"
echo "selector: all 22 languages chosen by real input, each screenshot in $out"
