#!/usr/bin/env python3
"""Mock-ups of the installer's pages and dialogs, composed from the rendered skin pictures.

usage: tools/skin/mockup.py [--png-dir DIR] [--out DIR]

Places every picture where the window puts it (the places of the controls are those of
the installer window and its dialogs), writes sample texts in their sizes and colours,
lays the shadows around the windows by the nine-slice rule and puts each window on a
desktop backdrop. The real window draws the same pictures, so these files are how the
look is judged at 100 %. Output: out/mockup-*.png.

Texts use Roboto (Debian's fonts-roboto-unhinted); the main window's own font is Segoe
UI, so its labels are placed with Segoe UI's ascent (baseline 1.08 em below the label's
top) and the dialogs' with Roboto's. Needs ImageMagick's convert.
"""
import argparse
import functools
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
FONT_DIR = Path("/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF")
REGULAR = FONT_DIR / "Roboto-Regular.ttf"
MEDIUM = FONT_DIR / "Roboto-Medium.ttf"

WHITE = "#FFFFFF"
SECONDARY = "#CBCBE2"   # RGB(203, 203, 226)
MUTED = "#717192"       # RGB(113, 113, 146)
SEGOE_ASCENT = 1.08     # baseline below the top of a label, in em
ROBOTO_ASCENT = 0.93

PRODUCT = "Qarto Private Browser"


def run(args):
    subprocess.run(["convert", *map(str, args)], check=True)


def escaped(text):
    """Text as convert's label: and -annotate take it literally."""
    return text.replace("\\", "\\\\").replace("%", "%%")


@functools.lru_cache(maxsize=None)
def _label_width(text, size, font):
    out = subprocess.run(["convert", "-font", str(font), "-pointsize", str(size),
                          "label:" + escaped(text), "-format", "%w", "info:"],
                         check=True, capture_output=True, text=True).stdout
    return int(out)


def text_width(text, size, font=REGULAR):
    """Advance width of text, spaces at either end included."""
    return _label_width("|" + text + "|", size, font) - _label_width("||", size, font)


@functools.lru_cache(maxsize=None)
def image_size(path):
    out = subprocess.run(["identify", "-format", "%w %h", str(path)],
                         check=True, capture_output=True, text=True).stdout
    w, h = out.split()
    return int(w), int(h)


def wrap(text, size, width, font=REGULAR):
    lines, line = [], ""
    for word in text.split(" "):
        candidate = word if not line else line + " " + word
        if line and text_width(candidate, size, font) > width:
            lines.append(line)
            line = word
        else:
            line = candidate
    if line:
        lines.append(line)
    return lines


class Layer:
    """A picture built by one convert command: a canvas and operations on it."""

    def __init__(self, width, height, background="none"):
        self.width, self.height = width, height
        self.ops = ["-size", f"{width}x{height}", f"xc:{background}"]

    def image(self, path, x, y, crop=None):
        source = [path] if crop is None else [path, "-crop", crop, "+repage"]
        self.ops += ["(", *source, ")", "-geometry", f"{x:+d}{y:+d}", "-composite"]

    def text(self, text, x, top, size, colour, font=REGULAR, ascent=SEGOE_ASCENT,
             underline=False):
        baseline = top + round(size * ascent)
        if text.startswith(" "):  # -annotate drops leading spaces: move past them instead
            stripped = text.lstrip(" ")
            x += text_width(text[:len(text) - len(stripped)], size, font)
            text = stripped
        self.ops += ["-font", str(font), "-pointsize", str(size), "-fill", colour,
                     "-annotate", f"+{x}+{baseline}", escaped(text)]
        if underline:
            self.ops += ["-stroke", "none", "-draw",
                         f"rectangle {x},{baseline + 2} {x + text_width(text, size, font) - 1},{baseline + 2}"]

    def centred_text(self, text, left, top, width, height, size, colour, font=REGULAR,
                     ascent=SEGOE_ASCENT):
        w = text_width(text, size, font)
        # the label image is one line high (ascent + descent of the font)
        line = round(size * 1.17)
        self.text(text, left + (width - w) // 2, top + (height - line) // 2, size, colour,
                  font, ascent=ROBOTO_ASCENT)

    def button(self, path, x, y, caption, size, colour=WHITE, font=MEDIUM):
        w, h = image_size(path)
        self.image(path, x, y)
        self.centred_text(caption, x, y, w, h, size, colour, font)

    def check(self, path, x, y, caption, size=14, colour=SECONDARY, height=20):
        # a check button: box at the control's left edge (offset 0), caption at 20
        self.image(path, x, y + (height - 16) // 2)
        self.text(caption, x + 20, y + (height - round(size * 1.33)) // 2, size, colour)

    def save(self, out):
        run([*self.ops, out])


def nine_slice(src, width, height, margins, frame, out):
    """Draws src into width x height by the nine-slice rule (sdmFrame: no centre)."""
    left, top, right, bottom = margins
    iw, ih = image_size(src)
    cols = [(0, left, 0, left), (left, iw - left - right, left, width - left - right),
            (iw - right, right, width - right, right)]
    rows = [(0, top, 0, top), (top, ih - top - bottom, top, height - top - bottom),
            (ih - bottom, bottom, height - bottom, bottom)]
    layer = Layer(width, height)
    for r, (sy, sh, dy, dh) in enumerate(rows):
        for c, (sx, sw, dx, dw) in enumerate(cols):
            if (r, c) == (1, 1) and frame:
                continue
            if min(sw, sh, dw, dh) <= 0:
                continue
            layer.ops += ["(", src, "-crop", f"{sw}x{sh}+{sx}+{sy}", "+repage",
                          "-filter", "Triangle", "-resize", f"{dw}x{dh}!", ")",
                          "-geometry", f"+{dx}+{dy}", "-composite"]
    layer.save(out)


class Mockups:
    def __init__(self, png, out, tmp):
        self.png, self.out, self.tmp = png, out, tmp
        self.made = []

    def p(self, name):
        return self.png / name

    def t(self, name):
        return self.tmp / name

    # ----- the main window -------------------------------------------------------------

    def window(self, language=True):
        """The window with its title strip; pages are drawn on top of it."""
        win = Layer(640, 390, "black")
        win.image(self.p("background.png"), 0, 0)
        # the page notebook (638 wide) with its page background at (0, -40)
        win.image(self.p("content_bg_default.png"), 0, 40, crop="638x350+0+40")
        win.image(self.p("quill_icon.png"), 10, 10)
        win.text(PRODUCT, 34, 10, 14, MUTED)
        if language:
            win.image(self.p("language_normal.png"), 454, -2)
            # face text: left + TextOffX (5) + 4, centred in the face (rows -2..29)
            win.text("English", 454 + 9, -2 + (32 - round(12 * 1.33)) // 2, 12, SECONDARY)
        win.image(self.p("btn_form_minmize_normal.png"), 560, 0)
        win.image(self.p("btn_form_close_normal.png"), 600, 0)
        return win

    def logos(self, win, second="logo_vpn.png"):
        win.image(self.p("logo_product.png"), 88, 40 + 44)
        win.image(self.p(second), 88, 40 + 108)

    def title(self, win, title, description, description_top=83):
        win.text(title, 176, 40 + 47, 24, WHITE)
        win.text(description, 176, 40 + description_top, 14, SECONDARY)

    def link(self, win, text, top, centre=True, right=None):
        w = text_width(text, 14)
        x = 320 - w // 2 if centre else right - w
        win.text(text, x, 40 + top, 14, SECONDARY, underline=True)

    def on_desktop(self, name, window_png, size, shadow, margins, frame_width, extra=None,
                   desktop="#9BA6BC-#6E7A94"):
        """Lays the shadow around the window and puts both on a desktop backdrop."""
        w, h = size
        sw, sh = w + 2 * frame_width, h + 2 * frame_width
        shadow_png = self.t(f"{name}-shadow.png")
        nine_slice(self.p(shadow), sw, sh, margins, True, shadow_png)
        desk = Layer(w + 120, h + 120)
        desk.ops = ["-size", f"{w + 120}x{h + 120}", f"gradient:{desktop}"]
        desk.image(window_png, 60, 60)
        desk.image(shadow_png, 60 - frame_width, 60 - frame_width)
        if extra:
            extra(desk)
        out = self.out / f"mockup-{name}.png"
        desk.save(out)
        self.made.append(out)

    def main_window(self, name, win):
        png = self.t(f"{name}-window.png")
        win.save(png)
        self.on_desktop(name, png, (640, 390), "window_shadow.png", (15, 15, 15, 15), 15)
        return png

    # ----- pages -----------------------------------------------------------------------

    def main_page(self):
        win = self.window()
        self.logos(win)
        self.title(win, f"Ready to install {PRODUCT}",
                   "Safe browser with built-in VPN.Secure,Fast and Free!")
        win.button(self.p("btn_install_normal.png"), 226, 40 + 201, "Install Now", 16)
        self.link(win, "Customize...", 255)
        # the licence line: an HTML label, 12 px, centred, two links
        parts = [("By clicking \"Install Now\", you agree to install " + PRODUCT +
                  " and accept its ", False), ("EULA", True), (" & ", False),
                 ("Privacy Policy", True), (".", False)]
        whole = "".join(t for t, _ in parts)
        x0 = 320 - text_width(whole, 12) // 2
        done = ""
        for t, is_link in parts:
            x = x0 + text_width(done, 12) if done else x0
            win.text(t.strip(" ") if is_link else t, x, 40 + 308, 12, MUTED, underline=is_link)
            done += t
        png = self.main_window("main", win)
        # the same window on a dark desktop, where a dark window most easily dissolves
        self.on_desktop("main-dark-desktop", png, (640, 390), "window_shadow.png",
                        (15, 15, 15, 15), 15, desktop="#2A3040-#0F1118")
        return png

    def options_page(self):
        win = self.window()
        self.logos(win)
        win.text("Install Options", 176, 40 + 47, 24, WHITE)
        win.text("Choose the folder where to install:", 176, 40 + 80, 14, SECONDARY)
        win.image(self.p("edit_focus.png"), 176, 40 + 106)
        path = "C:\\Program Files (x86)\\" + PRODUCT + "\\"
        win.text(path, 176 + 10, 40 + 106 + (32 - round(14 * 1.33)) // 2, 14, WHITE)
        caret_x = 176 + 10 + text_width(path, 14) - 1
        win.ops += ["-fill", WHITE, "-draw", f"rectangle {caret_x},{40 + 113} {caret_x},{40 + 130}"]
        win.button(self.p("btn_subscribe_normal.png"), 506, 40 + 106, "Browse...", 14,
                   font=REGULAR)
        win.check(self.p("checkbox_checked.png"), 176, 40 + 146, "Create a desktop icon")
        win.check(self.p("checkbox_checked_over.png"), 176, 40 + 168, "Pin to taskbar")
        win.button(self.p("btnmin_install_normal.png"), 226, 40 + 201, "Install", 16)
        self.link(win, "Back", 255)
        return self.main_window("options", win)

    def download_page(self, name="download", percent=40):
        win = self.window(language=False)
        self.logos(win)
        self.title(win, "Installation is in Progress...",
                   "Please wait while the program is being installed.", description_top=80)
        x, y, w = 176, 40 + 119, 420
        win.image(self.p("progress_bar_bg.png"), x, y)
        fill = max(-(-w * percent // 100), 12)
        bar = self.t(f"{name}-bar.png")
        nine_slice(self.p("progress_bar.png"), fill, 12, (6, 0, 6, 0), False, bar)
        win.image(bar, x, y)
        win.image(self.p("progress_booster.png"), x + fill - 48 - 30, y)
        win.text(f"Installing: {percent}%", 176, 40 + 139, 14, SECONDARY)
        self.link(win, "Cancel", 139, centre=False, right=x + w)
        return self.main_window(name, win)

    def theme_page(self):
        win = self.window(language=False)
        win.image(self.p("theme_icon.png"), 105, 40 + 20)
        win.text("Please choose your preferred theme color:", 139, 40 + 21, 16, WHITE)
        win.image(self.p("theme_preview_light.png"), 140, 40 + 65)
        win.image(self.p("theme_frame_selected.png"), 140, 40 + 65)
        win.image(self.p("theme_preview_dark.png"), 340, 40 + 65)
        win.image(self.p("theme_frame_hover.png"), 340, 40 + 65)
        for caption, left, box in (("Light", 140, "radio_on.png"), ("Dark", 340, "radio_off_over.png")):
            width = text_width(caption, 14) + 20
            win.check(self.p(box), left + (160 - width) // 2, 40 + 175, caption)
        win.button(self.p("btn_install_normal.png"), 226, 40 + 240, "Done", 16)
        return self.main_window("theme", win)

    def finish_page(self, success=True):
        win = self.window(language=False)
        self.logos(win, "finish_success.png" if success else "finish_failure.png")
        if success:
            self.title(win, "Installation Completed!", "Click \"Run Now\" to enjoy yourself.")
            win.check(self.p("checkbox_checked.png"), 176, 40 + 146,
                      f"Make {PRODUCT} as your default browser")
            win.button(self.p("btn_install_normal.png"), 226, 40 + 201, "Run Now", 16)
            return self.main_window("finish", win)
        self.title(win, "Installation Failed!",
                   "Please try again later,or contact our technical support.")
        win.button(self.p("btn_install_normal.png"), 226, 40 + 201, "Close", 16)
        self.link(win, "Send feedback", 255)
        return self.main_window("finish-failure", win)

    # ----- dialogs ---------------------------------------------------------------------

    def notice(self, name, icon, text, yes_no, under):
        """TForm_Notice centred over the main window (whose picture is `under`)."""
        dlg = Layer(324, 152)
        dlg.image(self.p("images/smallwindow_bg.png"), 0, 0)
        dlg.image(self.p(icon), 16, 22)
        top = 22
        for line in wrap(text, 14, 255):
            dlg.text(line, 61, top, 14, SECONDARY, ascent=ROBOTO_ASCENT)
            top += 17
        if yes_no:
            dlg.button(self.p("btn_dialog_secondary_normal.png"), 154, 104, "Yes", 12, font=REGULAR)
            dlg.button(self.p("btn_dialog_primary_normal.png"), 235, 104, "No", 12, font=REGULAR)
        else:
            dlg.button(self.p("btn_dialog_primary_normal.png"), 235, 104, "OK", 12, font=REGULAR)
        # the window region: a rounded rectangle with a 20 x 20 corner ellipse, not smoothed
        mask = self.t(f"{name}-mask.png")
        run(["-size", "324x152", "xc:black", "+antialias", "-fill", "white", "-draw",
             "roundrectangle 0,0 324,152 10,10", mask])
        body = self.t(f"{name}-dialog.png")
        dlg.ops += ["(", mask, ")", "-alpha", "off", "-compose", "CopyOpacity", "-composite",
                    "-compose", "Over"]
        dlg.save(body)
        shadow = self.t(f"{name}-nshadow.png")
        nine_slice(self.p("notice_shadow.png"), 344, 172, (20, 20, 20, 20), True, shadow)

        def extra(desk):
            # the main window is disabled behind its modal dialog; no dimming is drawn
            x, y = 60 + (640 - 324) // 2, 60 + (390 - 152) // 2
            desk.image(body, x, y)
            desk.image(shadow, x - 10, y - 10)

        self.on_desktop(name, under, (640, 390), "window_shadow.png", (15, 15, 15, 15), 15,
                        extra=extra)

    def system_notice(self):
        dlg = Layer(344, 172)
        dlg.image(self.p("sysnotice_bg.png"), 0, 0)
        dlg.image(self.p("sysnotice_title.png"), 10, 10)
        dlg.text(f"{PRODUCT} Installer", 20, 17, 14, WHITE, ascent=ROBOTO_ASCENT)
        dlg.image(self.p("images/btn_close_normal.png"), 309, 15)
        text = (f"This operating system is not supported. {PRODUCT} can only be "
                "installed on 64-bit Windows 7 or higher.")
        top = 53
        for line in wrap(text, 14, 292)[:3]:
            dlg.text(line, 26, top, 14, SECONDARY, ascent=ROBOTO_ASCENT)
            top += 17
        dlg.button(self.p("btn_dialog_primary_normal.png"), 245, 114, "OK", 12, font=REGULAR)
        png = self.t("sysnotice.png")
        dlg.save(png)
        desk = Layer(344 + 120, 172 + 120)
        desk.ops = ["-size", f"{344 + 120}x{172 + 120}", "gradient:#9BA6BC-#6E7A94"]
        desk.image(png, 60, 60)
        out = self.out / "mockup-sysnotice.png"
        desk.save(out)
        self.made.append(out)

    # ----- every state of the controls, side by side -----------------------------------

    def states(self):
        sheet = Layer(760, 560, "#1D1D27")  # the page colour under the logos
        y = 16

        def label(text, x, top):
            sheet.text(text, x, top, 11, MUTED, ascent=ROBOTO_ASCENT)

        for i, (img, st) in enumerate((("btn_install_normal.png", "normal"),
                                       ("btn_Install_Over.png", "over"),
                                       ("btn_Install_Press.png", "down"),
                                       ("btn_install_disabled.png", "disabled"))):
            x = 16 + i * 186
            if st == "disabled":
                sheet.image(self.p(img), x, y + 16, crop="170x50+0+0")
                sheet.centred_text("Install Now", x, y + 16, 170, 50, 16, "#8A8AA6", MEDIUM)
            else:
                sheet.image(self.p(img), x, y + 16, crop="170x50+0+0")
                sheet.centred_text("Install Now", x, y + 16, 170, 50, 16, WHITE, MEDIUM)
            label(f"main button, {st} (cut to 170)", x, y)
        y += 84
        for i, (img, st) in enumerate((("btn_subscribe_normal.png", "normal"),
                                       ("btn_subscribe_over.png", "over"),
                                       ("btn_subscribe_press.png", "down"),
                                       ("btn_subscribe_disabled.png", "disabled"))):
            x = 16 + i * 120
            sheet.button(self.p(img), x, y + 16, "Browse...", 14,
                         "#6E6E8A" if st == "disabled" else WHITE, REGULAR)
            label(st, x, y)
        for i, (img, st) in enumerate((("btn_dialog_primary_normal.png", "OK"),
                                       ("btn_dialog_primary_over.png", "over"),
                                       ("btn_dialog_primary_press.png", "down"))):
            x = 500 + i * 84
            sheet.button(self.p(img), x, y + 16, "OK", 12, WHITE, REGULAR)
            label(st, x, y)
        y += 64
        for i, (img, st) in enumerate((("btn_dialog_secondary_normal.png", "Yes"),
                                       ("btn_dialog_secondary_over.png", "over"),
                                       ("btn_dialog_secondary_press.png", "down"))):
            x = 500 + i * 84
            sheet.button(self.p(img), x, y + 16, "Yes", 12, WHITE, REGULAR)
            label(st, x, y)
        boxes = ("checkbox_unchecked.png", "checkbox_unchecked_over.png", "checkbox_checked.png",
                 "checkbox_checked_over.png", "checkbox_unchecked_disabled.png",
                 "checkbox_checked_disabled.png", "radio_off.png", "radio_off_over.png",
                 "radio_on.png", "radio_on_over.png")
        for i, img in enumerate(boxes):
            sheet.image(self.p(img), 16 + i * 44, y + 20)
        label("check boxes: off, off over, on, on over, off disabled, on disabled; round marks", 16, y)
        y += 56
        for i, (img, st, colour, text) in enumerate((
                ("edit_normal.png", "normal", WHITE, "C:\\Program Files (x86)\\"),
                ("edit_hover.png", "hover", WHITE, "C:\\Program Files (x86)\\"),
                ("edit_focus.png", "focused", WHITE, "C:\\Program Files (x86)\\"),
                ("edit_disabled.png", "disabled", "#6E6E8A", "C:\\Program Files (x86)\\"),
                ("edit_error.png", "error", "#FF8A94", "C:\\Pro|gram Files"),
                ("edit_error_focus.png", "error, focused", "#FF8A94", "C:\\Pro|gram Files"))):
            x, top = 16 + (i % 2) * 370, y + (i // 2) * 54
            sheet.image(self.p(img), x, top + 16)
            sheet.text(text, x + 10, top + 16 + 7, 14, colour)
            label(st, x, top)
        y += 3 * 54 + 4
        for i, (img, st) in enumerate((("language_normal.png", "normal"),
                                       ("language_over.png", "over"),
                                       ("language_press.png", "open"),
                                       ("language_disabled.png", "disabled"))):
            x = 16 + i * 110
            sheet.image(self.p(img), x, y + 14)
            sheet.text("English", x + 9, y + 14 + 7, 12, "#6E6E8A" if st == "disabled" else SECONDARY)
            label(st, x, y)
        # the open list under the "open" face: 6 items of 24, border, hot item, scroll bar
        lx, ly = 16 + 2 * 110, y + 14 + 32
        items = ["Deutsch", "English", "Español", "Français", "Italiano", "Polski"]
        list_png = self.t("list.png")
        nine_slice(self.p("combo_list_bg.png"), 98, 6 * 24 + 2, (2, 2, 2, 2), False, list_png)
        shadow = self.t("list-shadow.png")
        nine_slice(self.p("combo_list_shadow.png"), 98 + 12, 6 * 24 + 2 + 12, (6, 6, 6, 6), True, shadow)
        sheet.image(shadow, lx - 6, ly - 6)
        sheet.image(list_png, lx, ly)
        for i, item in enumerate(items):
            if i == 1:
                sheet.image(self.p("combo_list_item_hover.png"), lx + 1, ly + 1 + i * 24,
                            crop="88x24+0+0")
            sheet.text(item, lx + 1 + 3 + 5, ly + 1 + i * 24 + 4, 12, WHITE if i == 1 else SECONDARY)
        # scroll bar 8 wide along the right edge: track, thumb of 40
        bx = lx + 98 - 1 - 8
        track = self.t("track.png")
        nine_slice(self.p("scrollbarver_bar_normal.png"), 8, 6 * 24, (0, 3, 0, 3), False, track)
        sheet.image(track, bx, ly + 1)
        sheet.image(self.p("scrollbar_thumb_top.png"), bx + 1, ly + 20)
        mid = self.t("thumb.png")
        run([self.p("scrollbar_thumb_middle.png"), "-resize", "6x34!", mid])
        sheet.image(mid, bx + 1, ly + 23)
        sheet.image(self.p("scrollbar_thumb_bottom.png"), bx + 1, ly + 57)
        label("open list, item under the pointer", lx, ly + 6 * 24 + 8)
        # progress, 10 % and full
        px = 400
        sheet.image(self.p("progress_bar_bg.png"), px, y + 20, crop="340x12+0+0")
        bar = self.t("bar10.png")
        nine_slice(self.p("progress_bar.png"), 34, 12, (6, 0, 6, 0), False, bar)
        sheet.image(bar, px, y + 20)
        label("progress 10 %", px, y)
        sheet.image(self.p("progress_bar.png"), px, y + 60, crop="340x12+80+0")
        label("progress, full (cut)", px, y + 40)
        for i, (img, st) in enumerate((("btn_form_minmize_normal.png", ""), ("btn_form_minmize_over.png", ""),
                                       ("btn_form_minmize_press.png", ""), ("btn_form_close_normal.png", ""),
                                       ("btn_form_close_over.png", ""), ("btn_form_close_press.png", ""))):
            sheet.image(self.p(img), px + i * 44, y + 100)
        label("window buttons: normal, over, down", px, y + 84)
        for i, img in enumerate(("images/btn_close_normal.png", "images/btn_close_over.png",
                                 "images/btn_close_press.png")):
            sheet.image(self.p(img), px + i * 30, y + 156)
        label("dialog close", px, y + 140)
        out = self.out / "mockup-states.png"
        sheet.save(out)
        self.made.append(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--png-dir", type=Path,
                        default=ROOT / "build/host/resources/skin/png",
                        help="rendered pictures (default: the host tree's)")
    parser.add_argument("--out", type=Path, default=ROOT / "out")
    args = parser.parse_args()
    if not (args.png_dir / "background.png").is_file():
        sys.exit(f"no rendered pictures in {args.png_dir}: build the target qarto_skin_pictures first")
    args.out.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        m = Mockups(args.png_dir, args.out, Path(tmp))
        m.main_page()
        m.options_page()
        download = m.download_page()
        m.theme_page()
        m.finish_page(success=True)
        m.finish_page(success=False)
        m.notice("notice-warning", "icon_warning.png",
                 "This partition doesn't have enough free space (500MB). Please choose "
                 "another partition to continue the installation.", False,
                 m.t("main-window.png"))
        m.notice("notice-question", "icon_question.png",
                 f"Are you sure to cancel the installation of {PRODUCT}?", True, download)
        m.system_notice()
        m.states()
        for path in m.made:
            print(path.relative_to(ROOT) if path.is_relative_to(ROOT) else path)


if __name__ == "__main__":
    main()
