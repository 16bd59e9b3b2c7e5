#!/usr/bin/env python3
"""Makes a window's layout tables from its Qt Designer file, so that the
layout is written down once: the Qt window is built from the file itself
(AUTOUIC), the Win32 window from the table made here, and the tests compare
both windows with the toolkit-free table made here too.

  ui_layout_tables.py --ui FILE [--data OUT.h --data-namespace NS]
                                [--win32 OUT.h --win32-namespace NS]

Every property, style rule and widget class of the file is either carried
into the tables or named below as one that needs no counterpart; anything
else fails the build, so that a change to the file never goes unseen by one
of the two programs. Texts that Windows-1252 cannot hold fail it as well.
"""

import argparse
import pathlib
import re
import sys
import xml.etree.ElementTree as ElementTree

# The window font of both programs' forms (toolkit::kWindowFont).
WINDOW_FONT = ("MS Sans Serif", 11, False)
FIRST_CONTROL_ID = 100

COLOURS = {"navy": (0, 0, 128), "red": (255, 0, 0)}
SYSTEM_COLOURS = {"palette(button)": "COLOR_BTNFACE"}

# Properties whose effect the Win32 window has without a table entry, by class.
IGNORED = {
    "*": {"geometry", "styleSheet", "enabled", "text", "title", "plainText", "focusPolicy"},
    "form": {"windowTitle", "windowIcon", "minimumSize", "maximumSize", "sizeGripEnabled"},
    # Tab leaves the edit as the dialog keyboard does; wrapping and the scroll
    # bars are taken into the edit's styles.
    "QPlainTextEdit": {"tabChangesFocus", "lineWrapMode", "verticalScrollBarPolicy",
                       "horizontalScrollBarPolicy", "readOnly", "frameShape",
                       "textInteractionFlags"},
    "QLineEdit": {"maxLength"},
    "QGroupBox": set(),
    "QRadioButton": {"checked"},
    # The owner-drawn buttons draw their glyph beside the caption at its own size.
    "QToolButton": {"icon", "iconSize", "toolButtonStyle", "autoRaise"},
    "QPushButton": {"icon", "iconSize", "default", "autoDefault"},
}


class LayoutError(Exception):
    pass


class Widget:
    def __init__(self, element, parent):
        self.cls = element.get("class")
        self.name = element.get("name")
        self.parent = parent
        self.props = {p.get("name"): p[0] for p in element.findall("property")}
        self.children = []

    def prop_text(self, name, default=None):
        value = self.props.get(name)
        if value is None:
            return default
        return value.text or ""

    def prop_bool(self, name, default):
        value = self.prop_text(name)
        return default if value is None else value == "true"

    def rect(self):
        rect = self.props.get("geometry")
        if rect is None:
            raise LayoutError(f"{self.name}: no geometry")
        return tuple(int(rect.find(k).text) for k in ("x", "y", "width", "height"))

    def size(self, name):
        size = self.props.get(name)
        return None if size is None else (int(size.find("width").text),
                                          int(size.find("height").text))

    def icon(self, state):
        iconset = self.props.get("icon")
        if iconset is None:
            return None
        picture = iconset.find(state)
        return None if picture is None else pathlib.PurePosixPath(picture.text).stem


def style_rules(widget):
    """The style sheet's rules as (selector or None, {property: value})."""
    sheet = widget.prop_text("styleSheet", "")
    rules = []
    for match in re.finditer(r"\s*(?:([A-Za-z]+)\s*\{([^}]*)\}|([^{}]+))", sheet):
        selector, body = (match.group(1), match.group(2)) if match.group(1) else (None,
                                                                                  match.group(3))
        declarations = {}
        for declaration in body.split(";"):
            if declaration.strip():
                key, _, value = declaration.partition(":")
                declarations[key.strip()] = value.strip()
        rules.append((selector, declarations))
    return rules


def resolved_style(widget):
    """Font, text colour and background as the style sheets of the widget and
    its ancestors give them: a rule without a selector reaches the widget and
    everything in it, one with a class name only widgets of that class."""
    font = list(WINDOW_FONT)
    colour = None
    background = None
    chain = []
    at = widget
    while at is not None:
        chain.insert(0, at)
        at = at.parent
    for holder in chain:
        for selector, declarations in style_rules(holder):
            if selector is not None and selector != widget.cls:
                continue
            for key, value in declarations.items():
                if key == "font":
                    match = re.fullmatch(r'(bold\s+)?(\d+)px\s+"([^"]+)"', value)
                    if not match:
                        raise LayoutError(f"{holder.name}: font {value!r}")
                    font = [match.group(3), int(match.group(2)), bool(match.group(1))]
                elif key == "font-weight" and value == "bold":
                    font[2] = True
                elif key == "color" and value in COLOURS:
                    colour = COLOURS[value]
                elif key == "background-color" and value in SYSTEM_COLOURS:
                    background = SYSTEM_COLOURS[value]
                else:
                    raise LayoutError(f"{holder.name}: style {key}: {value}")
    return tuple(font), colour, background


def check_properties(widget, kind):
    known = IGNORED["*"] | IGNORED.get(kind, set())
    if kind != "form" and widget.cls not in IGNORED:
        raise LayoutError(f"{widget.name}: no Win32 counterpart of {widget.cls}")
    for name in widget.props:
        if name not in known:
            raise LayoutError(f"{widget.name}: property {name} has no counterpart")


def read_ui(path):
    root = ElementTree.parse(path).getroot()
    top = root.find("widget")
    form = Widget(top, None)
    controls = []

    def walk(element, parent):
        for child in element.findall("widget"):
            widget = Widget(child, parent)
            controls.append(widget)
            walk(child, widget)

    walk(top, form)
    tabstops = [t.text for t in root.iter("tabstop")]
    slots = {}
    for connection in root.iter("connection"):
        if connection.findtext("receiver") == form.name:
            slots[connection.findtext("sender")] = connection.findtext("slot")
    names = [c.name for c in controls]
    for name in tabstops:
        if name not in names:
            raise LayoutError(f"tab stop {name}: no such control")
    # Win32 windows take the focus in the order in which their controls are
    # made, which is the order of the file.
    if tabstops != [n for n in names if n in tabstops]:
        raise LayoutError("the tab order differs from the order of the controls")
    check_properties(form, "form")
    for control in controls:
        check_properties(control, control.cls)
    return form, controls, tabstops, slots


def text_of(widget):
    for name in ("text", "title", "plainText"):
        value = widget.prop_text(name)
        if value is not None:
            return value
    return ""


def c_string(text, encoding=None):
    """A C string literal of `text` in `encoding`, every byte outside ASCII
    escaped, so that the bytes do not depend on the compiler's character set;
    without one the text itself, which the compiler turns into the program's
    own character set (UTF-8 on Linux, Windows-1252 on Windows)."""
    try:
        text.encode("cp1252")  # what the Windows program cannot show fails on Linux too
        units = list(text.encode(encoding)) if encoding else [ord(c) for c in text]
    except UnicodeEncodeError as error:
        raise LayoutError(f"{text!r}: not in {encoding or 'cp1252'}") from error
    parts = ['"']
    escaped = False
    for unit in units:
        character = chr(unit)
        if unit < 0x20 or (encoding and unit >= 0x80):
            parts.append(f"\\x{unit:02x}")
            escaped = True
            continue
        if escaped and character in "0123456789abcdefABCDEF":
            parts.append('" "')  # ends the escape's hex digits
        escaped = False
        parts.append("\\" + character if character in '"\\' else character)
    parts.append('"')
    return "".join(parts)


def control_id_name(name):
    return "k" + name[0].upper() + name[1:]


def font_name(font):
    face = "".join(word.capitalize() for word in re.split(r"\W+", font[0]))
    return f"kFont{face}{font[1]}" + ("Bold" if font[2] else "")


HEADER = """// Generated from {ui} by toolkit/ui_layout_tables.py: change the Designer
// file, not this one.
#pragma once
"""


def data_header(ui, namespace, form, controls, tabstops):
    lines = [HEADER.format(ui=ui), '#include "toolkit/window_layout.h"', "",
             f"namespace {namespace} {{", "",
             "inline constexpr toolkit::LayoutControl kControls[]{"]
    for control in controls:
        face, pixels, bold = resolved_style(control)[0]
        parent = "nullptr" if control.parent is form else c_string(control.parent.name, "ascii")
        left, top, width, height = control.rect()
        tab = tabstops.index(control.name) if control.name in tabstops else -1
        # A multi-line text holds what the program shows, not a caption.
        caption = "nullptr" if control.cls == "QPlainTextEdit" else c_string(text_of(control))
        radio = "true" if control.cls == "QRadioButton" else "false"
        lines.append(
            f"    {{{c_string(control.name, 'ascii')}, {parent}, {{{left}, {top}, {width}, "
            f"{height}}}, {caption}, "
            f"{{{c_string(face, 'ascii')}, {pixels}, {'true' if bold else 'false'}}}, {tab}, "
            f"{radio}, {'true' if control.prop_bool('enabled', True) else 'false'}}},")
    lines.append("};")
    left, top, width, height = form.rect()
    face, pixels, bold = resolved_style(form)[0]
    lines += ["",
              f"inline constexpr toolkit::WindowLayout kWindow{{"
              f"{c_string(form.name, 'ascii')}, "
              f"{c_string(form.prop_text('windowTitle', ''))}, {left}, {top}, {width}, {height}, "
              f"{{{c_string(face, 'ascii')}, {pixels}, {'true' if bold else 'false'}}}, "
              f"kControls}};", "", f"}} // namespace {namespace}", ""]
    return "\n".join(lines)


def win32_form(form):
    _, _, width, height = form.rect()
    fields = [f".windowClass = {c_string(form.name, 'ascii')}",
              f".caption = {c_string(form.prop_text('windowTitle', ''), 'cp1252')}",
              f".clientWidth = {width}", f".clientHeight = {height}"]
    if form.cls == "QWidget":
        fields.append(".style = WS_OVERLAPPEDWINDOW")
        icon = form.props.get("windowIcon")
        if icon is not None:
            stem = pathlib.PurePosixPath(icon.find("normaloff").text).stem
            fields.append(f".icon = IDI_{stem.upper()}")
    elif form.cls == "QDialog":
        fixed = form.size("minimumSize")
        if fixed != (width, height) or form.size("maximumSize") != fixed:
            raise LayoutError(f"{form.name}: a dialog is of fixed size")
        # A dialog border: a close box, no minimise or maximise, and no icon,
        # which a modal frame does not show.
        fields += [".style = WS_POPUP | WS_CAPTION | WS_SYSMENU",
                   ".exStyle = WS_EX_DLGMODALFRAME"]
    else:
        raise LayoutError(f"{form.name}: no Win32 frame for {form.cls}")
    left, top, _, _ = form.rect()
    if (left, top) != (0, 0):
        fields += [f".left = {left}", f".top = {top}"]
    return fields


def win32_styles(control, previous, tabstops):
    """The window class, styles and extended styles of one control."""
    styles = []
    ex = []
    cls = control.cls
    if cls == "QPlainTextEdit":
        window_class = "EDIT"
        styles.append("ES_MULTILINE")
        scrolled = control.prop_text("verticalScrollBarPolicy") == "Qt::ScrollBarAlwaysOn"
        if control.prop_bool("readOnly", False):
            styles.append("ES_READONLY")
        else:
            styles.append("ES_WANTRETURN")
        if scrolled or not control.prop_bool("readOnly", False):
            styles.append("ES_AUTOVSCROLL")
        if scrolled:
            styles.append("WS_VSCROLL")
        if control.prop_text("lineWrapMode") == "QPlainTextEdit::NoWrap":
            styles.append("ES_AUTOHSCROLL")
        if control.prop_text("frameShape") != "QFrame::NoFrame":
            ex.append("WS_EX_CLIENTEDGE")
    elif cls == "QLineEdit":
        window_class = "EDIT"
        styles.append("ES_AUTOHSCROLL")
        ex.append("WS_EX_CLIENTEDGE")
    elif cls == "QGroupBox":
        window_class = "BUTTON"
        styles.append("BS_GROUPBOX")
    elif cls == "QRadioButton":
        window_class = "BUTTON"
        styles.append("BS_AUTORADIOBUTTON")
    elif cls == "QToolButton":
        window_class = "BUTTON"
        styles.append("BS_OWNERDRAW")
    else:  # QPushButton: it says when it gets or loses the focus, which the default frame follows
        window_class = "BUTTON"
        styles += ["BS_OWNERDRAW", "BS_NOTIFY"]
    if not control.prop_bool("enabled", True):
        styles.append("WS_DISABLED")
    radio = cls == "QRadioButton"
    # Arrow keys move within a group: a new parent or the start or end of a
    # run of radio buttons starts one.
    starts_group = previous is not None and (previous.parent is not control.parent or
                                             radio != (previous.cls == "QRadioButton"))
    first_radio = radio and (previous is None or previous.cls != "QRadioButton" or
                             previous.parent is not control.parent)
    if starts_group:
        styles.append("WS_GROUP")
    # A group of radio buttons is one tab stop, its first button.
    if control.name in tabstops and (not radio or first_radio):
        styles.append("WS_TABSTOP")
    return window_class, styles, ex


def win32_header(ui, namespace, form, controls, tabstops, slots):
    ids = {}
    next_id = FIRST_CONTROL_ID
    for control in controls:
        slot = slots.get(control.name)
        if slot == "accept()":
            ids[control.name] = "IDOK"
        elif slot == "reject()":
            ids[control.name] = "IDCANCEL"
        else:
            ids[control.name] = str(next_id)
            next_id += 1
    fonts = {}
    rows = []
    previous = None
    for control in controls:
        font, colour, background = resolved_style(control)
        window_class, styles, ex = win32_styles(control, previous, tabstops)
        previous = control
        left, top, width, height = control.rect()
        fields = [f".id = {control_id_name(control.name)}",
                  f'.windowClass = "{window_class}"',
                  f".text = {c_string(text_of(control), 'cp1252')}",
                  f".style = {' | '.join(styles)}",
                  f".bounds = {{{left}, {top}, {width}, {height}}}"]
        if control.parent is not form:
            fields.append(f".within = {control_id_name(control.parent.name)}")
        if font != WINDOW_FONT:
            fonts[font_name(font)] = font
            fields.append(f".font = &{font_name(font)}")
        if ex:
            fields.append(f".exStyle = {' | '.join(ex)}")
        if colour is not None:
            fields.append(f".textColour = RGB({colour[0]}, {colour[1]}, {colour[2]})")
        if background is not None:
            fields.append(f".background = {background}")
        if control.cls in ("QToolButton", "QPushButton"):
            for state, field in (("normaloff", "glyph"), ("disabledoff", "disabledGlyph")):
                stem = control.icon(state)
                if stem is not None:
                    fields.append(f".{field} = IDI_{stem.upper()}")
            if control.cls == "QToolButton" and control.prop_bool("autoRaise", False):
                fields.append(".flat = true")
        if control.prop_text("maxLength") is not None:
            fields.append(f".textLimit = {int(control.prop_text('maxLength'))}")
        if control.prop_bool("checked", False):
            fields.append(".checked = true")
        rows.append("    {" + ",\n     ".join(fields) + "},")
    icons = "IDI_" in "".join(rows) + "".join(win32_form(form))
    lines = [HEADER.format(ui=ui)] + (['#include "gui/win32/resource_ids.h"'] if icons else [])
    lines += ['#include "toolkit/windows/control_table.h"', "", f"namespace {namespace} {{", "",
              "enum Control : int {"]
    lines += [f"    {control_id_name(c.name)} = {ids[c.name]}," for c in controls]
    lines += ["};", ""]
    lines += [f'inline constexpr toolkit::FontSpec {name}{{"{font[0]}", {font[1]}'
              f'{", true" if font[2] else ""}}};' for name, font in fonts.items()]
    lines += ["", "inline constexpr toolkit::FormSpec kForm{"]
    lines += [f"    {field}," for field in win32_form(form)]
    lines += ["};", "", "// The controls in the order of the file, which is their tab order; the",
              "// bounds of a control within another in pixels of that one's client area.",
              "inline constexpr toolkit::ControlSpec kControls[]{"]
    lines += rows
    lines += ["};", "", f"}} // namespace {namespace}", ""]
    return "\n".join(lines)


def write_if_changed(path, text):
    path = pathlib.Path(path)
    if path.exists() and path.read_text(encoding="utf-8") == text:
        return
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_text(text, encoding="utf-8")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--ui", required=True)
    parser.add_argument("--data")
    parser.add_argument("--data-namespace")
    parser.add_argument("--win32")
    parser.add_argument("--win32-namespace")
    args = parser.parse_args()
    ui = pathlib.Path(args.ui)
    try:
        form, controls, tabstops, slots = read_ui(ui)
        shown = ui.name
        if args.data:
            write_if_changed(args.data,
                             data_header(shown, args.data_namespace, form, controls, tabstops))
        if args.win32:
            write_if_changed(
                args.win32,
                win32_header(shown, args.win32_namespace, form, controls, tabstops, slots))
    except (LayoutError, ElementTree.ParseError) as error:
        print(f"ui_layout_tables.py: {ui}: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
