"""What PRTG accepts from an EXE/XML sensor, as a check of a run's output.

PRTG reads standard output with a strict XML parser: one well-formed
document and nothing but blank space around its root element, each channel
name once (PRTG keys channels by name), <Float>1</Float> wherever a value has
a point, a <Text> of at most 2,000 characters. In mode EXEXML everything else
the program says goes to standard error.
"""
import html
import re
import subprocess

TEXT_LIMIT = 2000
# Lines that Wine itself writes on standard error, not the program.
WINE_LINE = re.compile(rb"^(wine: |wine client error|[0-9a-f]{4}:(err|fixme|warn|trace):|Application could not be started)")
# A line the other modes print around or inside the document: it starts
# with "* ", and with a line feed of its own where it stands after one of
# the document's (a state line, the closing line), but not right after the
# global run's opening.
ASIDE_LINE = re.compile(r"(?:(?<!<Prtg>\n)\n)?\* [^\n]*\n")


def mode_of(program):
    """The caller mode that a program's file name selects."""
    name = program.lower()
    if name.endswith(".exe"):
        name = name[:-4]
    for mode in ("holdrun", "varnock", "brennick", "quillon"):
        if name == mode or name.endswith("-" + mode) or name.endswith("_" + mode):
            return mode
    return "exexml"


def block_fields(block):
    """operation, key and message of an RFC error block's text."""
    def field(label):
        m = re.search(r"^%s *: (.*)$" % re.escape(label), block, re.M)
        return m.group(1) if m else ""
    return field("operation/code"), field("key"), field("message")


def escaped(text):
    out = []
    for c in text:
        if c in "&<>":
            out.append({"&": "&amp;", "<": "&lt;", ">": "&gt;"}[c])
        elif ord(c) < 0x20 and c not in "\t\n\r" or ord(c) == 0x7f:
            out.append("?")
        else:
            out.append(c)
    return "".join(out)


def rfc_error_document(block):
    """The error document 1036 that stands for an RFC error block."""
    operation, key, message = block_fields(block)
    text = "Error 1036: RFC error at %s: %s - %s" % (operation, key, message)
    text = text[:TEXT_LIMIT - 3] + "..."
    return "<Prtg>\n<Error>1</Error>\n<Text>%s</Text>\n</Prtg>\n" % escaped(text)


def split(expected):
    """What mode EXEXML prints on standard output and on standard error, from
    what it used to print on standard output alone: the lines around and
    inside the document on standard error, in order; an RFC error block on
    standard error too, with the error document 1036 in place of the
    document."""
    block = ""
    at = expected.find("RFC error\n")
    if at >= 0:
        expected, block = expected[:at], expected[at:]
    aside = []
    document = ASIDE_LINE.sub(lambda m: aside.append(m.group(0)) or "", expected)
    if block:
        document = rfc_error_document(block)
    return document, "".join(aside) + block


def program_lines(stderr):
    """Standard error without the lines that Wine itself writes."""
    return b"".join(line for line in stderr.splitlines(True) if not WINE_LINE.match(line))


def check(stdout):
    """What PRTG would find wrong with `stdout` (bytes); an empty list when
    it takes it."""
    problems = []
    text = stdout.decode("utf-8", errors="replace")
    start, end = text.find("<Prtg>"), text.rfind("</Prtg>")
    if start < 0 or end < 0:
        return ["standard output holds no <Prtg> document: %r" % text[:200]]
    outside = text[:start] + text[end + len("</Prtg>"):]
    if outside.strip():
        problems.append("text outside the document: %r" % outside.strip()[:200])
    out = subprocess.run(["xmllint", "--noout", "-"], input=stdout, capture_output=True)
    if out.returncode != 0:
        problems.append("not well-formed XML: " + out.stderr.decode(errors="replace")[:300])
    names = re.findall(r"<Channel>(.*?)</Channel>", text, re.S)
    repeated = sorted({n for n in names if names.count(n) > 1})
    if repeated:
        problems.append("channel names twice: %s" % ", ".join(repeated))
    for result in re.findall(r"<Result>(.*?)</Result>", text, re.S):
        value = re.search(r"<Value>(.*?)</Value>", result, re.S)
        if value and "." in value.group(1) and "<Float>1</Float>" not in result:
            problems.append("a value with a point without <Float>1</Float>: %s" % value.group(1))
    for body in re.findall(r"<Text>(.*?)</Text>", text, re.S):
        if len(html.unescape(body)) > TEXT_LIMIT:
            problems.append("a <Text> of %d characters" % len(html.unescape(body)))
    return problems
