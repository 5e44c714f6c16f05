#!/usr/bin/env python3
"""Checks the installer's language files against the English one.

    check_lang.py [--reference English.ini] [--product] [--built DIR] FILE...

Each FILE is a UTF-8 language source. The reference (by default English.ini in the
folder of the first FILE) gives the entries every file must carry. For each file:

  - the source is UTF-8 without byte-order mark, and its conversion by
    convert_lang.py is UTF-16 LE with byte-order mark and CR LF line ends;
  - every line is a section header, a key=value entry, a comment or empty; no
    entries before the first section, no section or key twice (names compare
    without regard to case, as the program reads them);
  - the sections "Main", "ZYR_frmZYRDownloader" and "ZYR_M" exist;
  - the key set of each section is exactly the reference's (the keys in
    ENGLISH_FIRST may be missing from a translation);
  - no value is empty;
  - every %-sequence ("%s", "%s1", "%s2", a lone "%", ...) occurs as often as in the
    reference, and so does the product name, which is never translated;
  - the <a>...</a> markup is the reference's, tag for tag and in order, with
    non-empty link texts; no other "<" or ">";
  - an ampersand stands only between spaces (the HTML label shows it literally only
    there);
  - a translation does not keep the English text, except for the values in
    SAME_AS_ENGLISH and values that hold nothing but the product name,
    placeholders, digits and punctuation;
  - Arabic and Hebrew values start with a right-to-left letter (so that text whose
    paragraph direction follows its first strong letter reads right to left), and
    the languages with their own script use it in every value that has words.

--product adds what holds for the files Setup.exe carries: exactly the 22 languages,
74 entries, the "DisplayName" of each, and English texts equal to the defaults the
program falls back to. --built DIR also checks DIR/<Name>.lng, the converted file
of the build, against its source.

Prints one line per problem and exits 1 when there is any; 0 and a summary line
otherwise; 2 for bad arguments.
"""
import argparse
import os
import re
import sys
import unicodedata

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from convert_lang import BOM_UTF16_LE, SourceError, convert, source_lines, source_text  # noqa: E402

PRODUCT_NAME = "Qarto Private Browser"
SECTIONS = ("Main", "ZYR_frmZYRDownloader", "ZYR_M")

# Values a translation may leave as they are in English.
SAME_AS_ENGLISH = {"OK", "No", "Version"}

# Language name (file and resource name) -> its English name, the "DisplayName".
LANGUAGES = {
    "Arabic": "Arabic",
    "ChineseTrad": "Chinese (Traditional)",
    "Danish": "Danish",
    "Dutch": "Dutch",
    "English": "English",
    "French": "French",
    "German": "German",
    "Hebrew": "Hebrew",
    "Hungarian": "Hungarian",
    "Indonesian": "Indonesian",
    "Italian": "Italian",
    "Korean": "Korean",
    "Malay": "Malay",
    "Japanese": "Japanese",
    "Polish": "Polish",
    "Portuguese_BR": "Portuguese (Brazil)",
    "Russian": "Russian",
    "Slovak": "Slovak",
    "Slovenian": "Slovenian",
    "Spanish": "Spanish",
    "Swedish": "Swedish",
    "Turkish": "Turkish",
}
ENTRY_COUNT = 74

# Messages added after the translations were made: the English file carries them,
# and a language without them shows the program's English default until translated.
ENGLISH_FIRST: set = set()

RTL_LANGUAGES = {"Arabic", "Hebrew"}


def _in(*ranges):
    return lambda c: any(lo <= ord(c) <= hi for lo, hi in ranges)


CJK = (0x3400, 0x4DBF), (0x4E00, 0x9FFF), (0xF900, 0xFAFF)
# Languages with a script of their own: every value with words must use it.
SCRIPTS = {
    "Arabic": _in((0x0600, 0x06FF), (0x0750, 0x077F), (0xFB50, 0xFDFF), (0xFE70, 0xFEFF)),
    "Hebrew": _in((0x0590, 0x05FF), (0xFB1D, 0xFB4F)),
    "Russian": _in((0x0400, 0x04FF)),
    "ChineseTrad": _in(*CJK),
    "Japanese": _in((0x3040, 0x30FF), (0x31F0, 0x31FF), (0xFF66, 0xFF9F), *CJK),
    "Korean": _in((0x1100, 0x11FF), (0x3130, 0x318F), (0xAC00, 0xD7AF)),
}

# The texts the program uses when a key is missing; the English file carries them
# unchanged.
_DISK_FULL = ("This partition doesn't have enough free space (500MB). "
              "Please choose another partition to continue the installation.")
PROGRAM_DEFAULTS = {
    ("ZYR_frmZYRDownloader", "lblCaption.Caption"): "%s Installer",
    ("ZYR_frmZYRDownloader", "cbxCreateIcon.Caption"): "Create a desktop icon",
    ("ZYR_frmZYRDownloader", "lbl_Cancel.Caption"): "Cancel",
    ("ZYR_M", "M_Apply"): "Apply",
    ("ZYR_M", "M_AreSure"): "Are you sure to cancel the installation of %s?",
    ("ZYR_M", "M_ColorpgCap"): "Please choose your preferred theme color:",
    ("ZYR_M", "M_ColorpgLight"): "Light",
    ("ZYR_M", "M_ColorpgDark"): "Dark",
    ("ZYR_M", "M_ColorpgDone"): "Done",
    ("ZYR_M", "M_DiskIsFull"): _DISK_FULL,
    ("ZYR_M", "M_PartitionIsFull"): _DISK_FULL,
    ("ZYR_M", "M_PathInvaild"): "The installation directory you entered is incorrect, please re-enter.",
    ("ZYR_M", "M_PathNotSecure"): "Users other than administrators can change the folder you chose. "
                                  "Please choose another folder.",
    ("ZYR_M", "M_DownloadpgInstall"): "Installing",
    ("ZYR_M", "M_FinishpgFailTitle"): "Installation Failed!",
    ("ZYR_M", "M_FinishpgFailDes"): "Please try again later,or contact our technical support.",
    ("ZYR_M", "M_FinishpgFailFeedback"): "Send feedback",
    ("ZYR_M", "M_FinishpgSuccTitle"): "Installation Completed!",
    ("ZYR_M", "M_FinishpgSuccDes"): "Click %s to enjoy yourself.",
    ("ZYR_M", "M_FinishpgSuccRun"): "Run Now",
    ("ZYR_M", "M_FinishpgSuccSetDefault"): "Make %s as your default browser",
    ("ZYR_M", "M_FinishpgStartYourself"): "Start %s from its icon on the desktop or in the Start menu.",
    ("ZYR_M", "M_License"): "By clicking %s1, you agree to install %s2 and accept its "
                            "<a>EULA</a> & <a>Privacy Policy</a>.",
    ("ZYR_M", "M_MainpgTitle"): "Ready to install %s",
    ("ZYR_M", "M_MainpgVer"): "Version",
    ("ZYR_M", "M_NoticeOK"): "OK",
    ("ZYR_M", "M_NoticeYes"): "Yes",
    ("ZYR_M", "M_NoticeNo"): "No",
    ("ZYR_M", "M_SysSurrport"): "This operating system is not supported. "
                                "%s can only be installed on 64-bit Windows 7 or higher.",
    ("ZYR_M", "M_TrayTips"): "Installing %s...",
    ("ZYR_M", "M_cbxTaskbar"): "Pin to taskbar",
    ("ZYR_M", "network_error_region_restriction"):
        "This service is unavailable in your country due to policy reasons.",
}
# Messages the files carry although the program never asks for them.
UNUSED_MESSAGES = (
    "M_InstallProgress", "M_MinimizeToTray", "M_proxy", "M_DownloadTotalSize", "M_DownloadedSize",
    "M_SettingProxy", "M_HintTips", "M_Init", "M_InputPath", "M_Congratulations", "M_Next",
    "M_Installed", "M_Complete", "lbl_AgreenInstallNew", "M_Learnmore", "M_NestConfirm", "M_Finisehd",
)

PLACEHOLDER = re.compile(r"%[A-Za-z0-9]*")
MARKUP = re.compile(r"<[^<>]*>|[<>]")
LINK = re.compile(r"<a>(.*?)</a>", re.S)
BAD_CHARS = re.compile("[\x00-\x1f\x7f\x85\u2028\u2029]")


class LangFile:
    """One parsed source: sections in order, each {key: (value, line)}."""

    def __init__(self, path):
        self.path = path
        self.name = os.path.splitext(os.path.basename(path))[0]
        self.sections = {}
        self.problems = []
        self.data = None
        self.text = None

    def problem(self, msg, line=None):
        where = f"{self.path}:{line}" if line else self.path
        self.problems.append(f"{where}: {msg}")

    def value(self, section, key):
        entry = self.sections.get(section, {}).get(key)
        return entry[0] if entry else None

    def entries(self):
        for section, keys in self.sections.items():
            for key, (value, line) in keys.items():
                yield section, key, value, line


def load(path):
    lf = LangFile(path)
    try:
        with open(path, "rb") as f:
            lf.data = f.read()
    except OSError as e:
        lf.problem(f"cannot be read: {e.strerror}")
        return lf
    try:
        lf.text = source_text(lf.data)
    except SourceError as e:
        lf.problem(str(e))
        return lf

    seen_sections = {}
    current = None
    for n, raw in enumerate(source_lines(lf.text), 1):
        line = raw.strip()
        if not line or line.startswith(";"):
            continue
        if line.startswith("[") and line.endswith("]"):
            name = line[1:-1].strip()
            if name.lower() in seen_sections:
                lf.problem(f"section [{name}] again (first at line {seen_sections[name.lower()]})", n)
                current = lf.sections[next(s for s in lf.sections if s.lower() == name.lower())]
            else:
                seen_sections[name.lower()] = n
                current = lf.sections.setdefault(name, {})
            continue
        if current is None:
            lf.problem("text before the first section", n)
            continue
        if "=" not in line:
            lf.problem(f"not a key=value entry: {line!r}", n)
            continue
        key, value = (part.strip() for part in line.split("=", 1))
        if not key:
            lf.problem("entry without a key", n)
            continue
        same = next((k for k in current if k.lower() == key.lower()), None)
        if same is not None:
            lf.problem(f"key {key} again (first at line {current[same][1]})", n)
            continue
        current[key] = (value, n)
    return lf


def check_conversion(lf, built_dir):
    """The converted text: UTF-16 LE with BOM, CR LF, the source's lines."""
    if lf.text is None:
        return
    expected_lines = source_lines(lf.text)
    candidates = [("conversion", convert(lf.data))]
    if built_dir:
        lng = os.path.join(built_dir, lf.name + ".lng")
        try:
            with open(lng, "rb") as f:
                candidates.append((lng, f.read()))
        except OSError:
            lf.problem(f"no converted file {lng}")
    for what, data in candidates:
        if not data.startswith(BOM_UTF16_LE):
            lf.problem(f"{what}: no UTF-16 LE byte-order mark")
            continue
        try:
            text = data[2:].decode("utf-16-le", errors="strict")
        except UnicodeDecodeError:
            lf.problem(f"{what}: not valid UTF-16 LE")
            continue
        if re.search("(?<!\r)\n|\r(?!\n)", text):
            lf.problem(f"{what}: line ends other than CR LF")
            continue
        got = text.split("\r\n")
        if got and got[-1] == "":
            got.pop()
        if got != expected_lines:
            lf.problem(f"{what}: text differs from the source (rebuild it)")


def has_words(value):
    rest = PLACEHOLDER.sub("", value.replace(PRODUCT_NAME, ""))
    return any(c.isalpha() for c in rest)


def first_strong(value):
    for c in value:
        bidi = unicodedata.bidirectional(c)
        if bidi in ("L", "R", "AL"):
            return bidi
    return None


def check_against(lf, ref):
    is_ref = lf.path == ref.path
    for section in SECTIONS:
        if section not in lf.sections:
            lf.problem(f"section [{section}] missing")
    for section, keys in ref.sections.items():
        have = lf.sections.get(section)
        if have is None:
            continue
        for key in keys:
            if key not in have and (is_ref or (section, key) not in ENGLISH_FIRST):
                lf.problem(f"[{section}] {key}: missing")
        for key, (_, line) in have.items():
            if key not in keys:
                lf.problem(f"[{section}] {key}: not in {os.path.basename(ref.path)}", line)
    for section in lf.sections:
        if section not in ref.sections:
            lf.problem(f"section [{section}] is not in {os.path.basename(ref.path)}")

    for section, key, value, line in lf.entries():
        where = f"[{section}] {key}"
        if value == "":
            lf.problem(f"{where}: empty value", line)
            continue
        if BAD_CHARS.search(value):
            lf.problem(f"{where}: control or line-separator character in the value", line)
        if re.search(r"&(?! )|(?<! )&", value):
            lf.problem(f"{where}: an ampersand must stand between spaces (' & ')", line)
        if (section, key) == ("Main", "DisplayName"):
            continue  # the English name of the language, in every file
        if lf.name in RTL_LANGUAGES and has_words(value) and first_strong(value) not in ("R", "AL"):
            lf.problem(f"{where}: starts with left-to-right text or a placeholder; "
                       f"begin with a right-to-left word", line)
        if lf.name in SCRIPTS and has_words(value) and value not in SAME_AS_ENGLISH \
                and not any(SCRIPTS[lf.name](c) for c in value):
            lf.problem(f"{where}: no {lf.name} letters in the value", line)

        english = ref.value(section, key)
        if english is None or is_ref:
            continue
        want, got = _counts(PLACEHOLDER.findall(english)), _counts(PLACEHOLDER.findall(value))
        for token in sorted(set(want) | set(got)):
            if want.get(token, 0) != got.get(token, 0):
                lf.problem(f"{where}: placeholder \"{token}\" {got.get(token, 0)} time(s), "
                           f"English has it {want.get(token, 0)} time(s)", line)
        if english.count(PRODUCT_NAME) != value.count(PRODUCT_NAME):
            lf.problem(f"{where}: the product name \"{PRODUCT_NAME}\" {value.count(PRODUCT_NAME)} time(s), "
                       f"English has it {english.count(PRODUCT_NAME)} time(s)", line)
        if MARKUP.findall(english) != MARKUP.findall(value):
            lf.problem(f"{where}: markup {''.join(MARKUP.findall(value)) or 'none'}, "
                       f"English has {''.join(MARKUP.findall(english)) or 'none'}", line)
        elif any(not t.strip() for t in LINK.findall(value)):
            lf.problem(f"{where}: empty link text", line)
        if value == english and has_words(value) and value not in SAME_AS_ENGLISH:
            lf.problem(f"{where}: not translated (same as English)", line)


def _counts(tokens):
    out = {}
    for t in tokens:
        out[t] = out.get(t, 0) + 1
    return out


def check_product(files, ref):
    problems = []
    names = {lf.name for lf in files}
    for name in LANGUAGES:
        if name not in names:
            problems.append(f"{name}.ini: language file missing")
    for lf in files:
        if lf.name not in LANGUAGES:
            lf.problem("not one of the installer's languages")
            continue
        display = lf.value("Main", "DisplayName")
        if display is not None and display != LANGUAGES[lf.name]:
            lf.problem(f"[Main] DisplayName is {display!r}, should be {LANGUAGES[lf.name]!r}")
    count = sum(1 for _ in ref.entries())
    if ref.text is not None and count != ENTRY_COUNT:
        ref.problem(f"{count} entries, the installer's language files carry {ENTRY_COUNT}")
    for (section, key), default in PROGRAM_DEFAULTS.items():
        value = ref.value(section, key)
        if value is not None and value != default:
            ref.problem(f"[{section}] {key}: {value!r} differs from the program's default {default!r}")
    for section, key in list(PROGRAM_DEFAULTS) + [("ZYR_M", k) for k in UNUSED_MESSAGES]:
        if ref.value(section, key) is None:
            ref.problem(f"[{section}] {key}: missing (the installer's files carry it)")
    return problems


def main(argv):
    ap = argparse.ArgumentParser(description="Check the installer's language files.")
    ap.add_argument("--reference", help="the English source (default: English.ini beside the first file)")
    ap.add_argument("--product", action="store_true", help="also check the set Setup.exe carries")
    ap.add_argument("--built", metavar="DIR", help="folder of the converted <Name>.lng files")
    ap.add_argument("files", nargs="+")
    args = ap.parse_args(argv)

    ref_path = args.reference or os.path.join(os.path.dirname(args.files[0]), "English.ini")
    ref = load(ref_path)
    if ref.text is None or ref.problems:
        for p in ref.problems or [f"{ref_path}: reference cannot be used"]:
            print(p)
        print(f"{ref_path}: reference is broken; nothing else checked")
        return 1

    files, seen = [], set()
    for path in args.files:
        real = os.path.realpath(path)
        if real in seen:
            continue
        seen.add(real)
        files.append(ref if real == os.path.realpath(ref_path) else load(path))
    if ref not in files:
        files.insert(0, ref)

    problems = check_product(files, ref) if args.product else []
    for lf in files:
        check_conversion(lf, args.built)
        if lf.text is not None:
            check_against(lf, ref)
        problems.extend(lf.problems)

    for p in problems:
        print(p)
    if problems:
        return 1
    entries = sum(1 for _ in ref.entries())
    print(f"{len(files)} language files OK, {entries} entries in the reference")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
