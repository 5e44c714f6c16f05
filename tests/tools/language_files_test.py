#!/usr/bin/env python3
"""The installer's language files and their tools.

    language_files_test.py SOURCES_DIR FIXTURES_DIR [BUILT_DIR]

1. The checker on the 22 language sources (and, with BUILT_DIR, on the .lng files
   the build made from them) must pass.
2. The converter's output, byte for byte, and its refusal of bad sources.
3. Each broken fixture must make the checker fail with the expected line, and only
   with lines about that file; the good fixture must pass.
4. Faults put into a copy of the real set: a language missing, an English default
   changed, a stale or wrongly encoded .lng file.

Ends with "N passed, M failed"; exit status 1 on any failure.
"""
import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CHECKER = os.path.join(ROOT, "tools", "lang", "check_lang.py")
CONVERTER = os.path.join(ROOT, "tools", "lang", "convert_lang.py")

results = {"passed": 0, "failed": 0}


def run(script, *args):
    p = subprocess.run([sys.executable, script, *args], capture_output=True, text=True)
    return p.returncode, p.stdout + p.stderr


def report(name, ok, detail=""):
    results["passed" if ok else "failed"] += 1
    print(f"{'ok  ' if ok else 'FAIL'} {name}")
    if not ok and detail:
        print("     " + detail.rstrip().replace("\n", "\n     "))


def expect_fail(name, args, expected, only_about=None):
    """The checker exits 1 and prints every expected text; with only_about, every
    line names that file (one line per problem, none about the reference)."""
    rc, out = run(CHECKER, *args)
    missing = [e for e in expected if e not in out]
    stray = [l for l in out.splitlines() if only_about and not l.startswith(only_about)]
    ok = rc == 1 and not missing and not stray
    report(name, ok, f"exit {rc}, missing {missing}, lines about other files {stray}\n{out}")


# Broken fixture -> what the checker must say about it.
FIXTURES = [
    ("missing_key.ini", ["[ZYR_M] M_NoticeYes: missing"]),
    ("extra_key.ini", ["[ZYR_M] M_NoticeNo: not in English.ini"]),
    ("duplicate_key.ini", [":16: key m_noticeyes again (first at line 15)"]),
    ("missing_section.ini", ["section [Main] missing"]),
    ("duplicate_section.ini", [":16: section [zyr_m] again"]),
    ("placeholder_dropped.ini", ['M_License: placeholder "%s1" 0 time(s), English has it 1 time(s)']),
    ("placeholder_changed.ini", ['M_AreSure: placeholder "%d" 1 time(s)', 'M_AreSure: placeholder "%s" 0 time(s)']),
    ("percent_added.ini", ['lblCaption.Caption: placeholder "%" 1 time(s), English has it 0 time(s)']),
    ("product_name.ini", ['lbl_MainpgTitle.Caption: the product name "Qarto Private Browser" 0 time(s)']),
    ("link_missing.ini", ["M_License: markup <a></a>, English has <a></a><a></a>"]),
    ("link_order.ini", ["M_License: markup </a><a><a></a>, English has <a></a><a></a>"]),
    ("link_empty.ini", ["M_License: empty link text"]),
    ("other_tag.ini", ["M_AreSure: markup <b></b>, English has none"]),
    ("ampersand.ini", ["M_License: an ampersand must stand between spaces"]),
    ("untranslated.ini", ["M_NoticeYes: not translated (same as English)"]),
    ("empty_value.ini", ["M_NoticeYes: empty value"]),
    ("not_key_value.ini", [":15: not a key=value entry: 'M_NoticeYes Ja'"]),
    ("before_section.ini", [":2: text before the first section"]),
    ("control_char.ini", ["M_NoticeYes: control or line-separator character"]),
    ("latin1.ini", ["is not valid UTF-8: byte 0xC4"]),
    ("utf16.ini", ["is UTF-16"]),
    ("utf8_bom.ini", ["starts with a UTF-8 byte-order mark"]),
    ("rtl/Arabic.ini", ["lblCaption.Caption: starts with left-to-right text or a placeholder"]),
    ("script/Russian.ini", ["btnBroswe.Caption: no Russian letters in the value"]),
]


def test_real_files(sources, built):
    files = sorted(os.path.join(sources, f) for f in os.listdir(sources) if f.endswith(".ini"))
    args = ["--product"] + (["--built", built] if built else []) + files
    rc, out = run(CHECKER, *args)
    print(out.rstrip())
    report(f"checker on the {len(files)} language files" + (" and their .lng files" if built else ""),
           rc == 0 and len(files) == 22, out)
    if built:
        # The build's resource script names exactly these languages, each by its
        # upper-case name and its .lng file.
        rc_path = os.path.join(built, "Languages.rc")
        lines = [l for l in open(rc_path, encoding="utf-8").read().splitlines() if "RCDATA" in l] \
            if os.path.exists(rc_path) else []
        want = [f'{os.path.basename(f)[:-4].upper()} RCDATA "{os.path.abspath(os.path.join(built, os.path.basename(f)[:-4] + ".lng"))}"'
                for f in files]
        report("Languages.rc: one RCDATA line per language file", sorted(lines) == sorted(want),
               "\n".join(sorted(set(lines) ^ set(want))) or "no Languages.rc")


def test_converter(fixtures, tmp):
    out_dir = os.path.join(tmp, "conv")
    rc_file = os.path.join(tmp, "Languages.rc")
    src = os.path.join(tmp, "Portuguese_BR.ini")
    # LF and CR LF lines, a non-Latin letter, a character outside the BMP, no final LF.
    with open(src, "wb") as f:
        f.write("[Main]\nDisplayName=Portuguese (Brazil)\r\n[ZYR_M]\nM_Next=Avançar \U0001F600".encode("utf-8"))
    rc, out = run(CONVERTER, "--out-dir", out_dir, "--rc", rc_file, src)
    want = b"\xff\xfe" + "[Main]\r\nDisplayName=Portuguese (Brazil)\r\n[ZYR_M]\r\nM_Next=Avançar \U0001F600\r\n" \
        .encode("utf-16-le")
    got = open(os.path.join(out_dir, "Portuguese_BR.lng"), "rb").read() if rc == 0 else b""
    report("converter: UTF-16 LE with BOM, CR LF, surrogate pair", rc == 0 and got == want,
           f"exit {rc} {out}\n{got[:80]!r}\n{want[:80]!r}")
    rc_text = open(rc_file, encoding="utf-8").read() if rc == 0 else ""
    line = f'PORTUGUESE_BR RCDATA "{os.path.abspath(os.path.join(out_dir, "Portuguese_BR.lng"))}"'
    report("converter: resource script line with the upper-case name", line in rc_text.splitlines(), rc_text)

    bad_dir = os.path.join(tmp, "conv-bad")
    rc, out = run(CONVERTER, "--out-dir", bad_dir, src, os.path.join(fixtures, "latin1.ini"))
    report("converter: refuses a source that is not UTF-8, writes nothing",
           rc == 2 and "latin1.ini: is not valid UTF-8" in out and not os.path.exists(bad_dir), out)


def test_fixtures(fixtures):
    ref = os.path.join(fixtures, "English.ini")
    rc, out = run(CHECKER, "--reference", ref, os.path.join(fixtures, "good", "German.ini"))
    report("fixture good/German.ini passes", rc == 0, out)
    for name, expected in FIXTURES:
        path = os.path.join(fixtures, name)
        expect_fail(f"fixture {name}", ["--reference", ref, path], expected, only_about=path)


def test_faults_in_real_set(sources, tmp):
    def copy(name):
        d = os.path.join(tmp, name)
        shutil.copytree(sources, d)
        return d

    d = copy("no-malay")
    os.remove(os.path.join(d, "Malay.ini"))
    expect_fail("real set without Malay.ini", ["--product"] + _ini(d), ["Malay.ini: language file missing"])

    d = copy("english-default")
    eng = os.path.join(d, "English.ini")
    text = open(eng, encoding="utf-8").read()
    open(eng, "w", encoding="utf-8").write(text.replace("M_NoticeYes=Yes", "M_NoticeYes=Yes!"))
    expect_fail("English text differs from the program's default", ["--product"] + _ini(d),
                ["[ZYR_M] M_NoticeYes: 'Yes!' differs from the program's default 'Yes'"])

    d = copy("display-name")
    f = os.path.join(d, "Portuguese_BR.ini")
    text = open(f, encoding="utf-8").read()
    open(f, "w", encoding="utf-8").write(text.replace("DisplayName=Portuguese (Brazil)", "DisplayName=Português"))
    expect_fail("wrong DisplayName", ["--product"] + _ini(d),
                ["[Main] DisplayName is 'Português', should be 'Portuguese (Brazil)'"])

    d = copy("built")
    built = os.path.join(tmp, "built-lng")
    rc, out = run(CONVERTER, "--out-dir", built, *_ini(d))
    if rc != 0:
        report("converter on the real set", False, out)
        return
    rc, out = run(CHECKER, "--product", "--built", built, *_ini(d))
    report("real set with freshly converted .lng files", rc == 0, out)
    # A .lng left from an older source, one written as UTF-8, one missing.
    with open(os.path.join(d, "German.ini"), "a", encoding="utf-8") as f:
        f.write("; changed after the build\n")
    shutil.copy(os.path.join(d, "French.ini"), os.path.join(built, "French.lng"))
    os.remove(os.path.join(built, "Korean.lng"))
    expect_fail("stale, wrongly encoded and missing .lng files", ["--product", "--built", built] + _ini(d),
                ["German.ini: " + os.path.join(built, "German.lng") + ": text differs from the source",
                 "French.ini: " + os.path.join(built, "French.lng") + ": no UTF-16 LE byte-order mark",
                 "Korean.ini: no converted file " + os.path.join(built, "Korean.lng")])


def _ini(d):
    return sorted(os.path.join(d, f) for f in os.listdir(d) if f.endswith(".ini"))


def main(argv):
    if len(argv) not in (2, 3):
        print(__doc__)
        return 2
    sources, fixtures = argv[0], argv[1]
    built = argv[2] if len(argv) == 3 else None
    test_real_files(sources, built)
    with tempfile.TemporaryDirectory() as tmp:
        test_converter(fixtures, tmp)
        test_fixtures(fixtures)
        test_faults_in_real_set(sources, tmp)
    print(f"{results['passed']} passed, {results['failed']} failed")
    return 1 if results["failed"] else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
