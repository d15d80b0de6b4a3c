#!/usr/bin/env python3
"""Doxygen input filter: reads the headers' plain // comments as documentation.

Our headers document with ordinary // comments above the declaration they describe. For Doxygen,
this filter (applied to the text Doxygen reads, never to the files) turns
  - a comment line (// at the start of the line, after blanks) into ///, which documents what
    follows; a header's opening comment documents the class it starts by naming, when the header
    defines it ("// ZRMUtCircle: ..."), wherever the class stands, and the header file otherwise;
  - a comment above an overload set (one-line declarations of one function, constructors and
    assignments aside, up to a blank line or the next comment; a getter X and its three-component
    twin XCoord count as one function) into a member group, so that each declaration shares the
    comment (DISTRIBUTE_GROUP_DOC);
  - a comment after a member or enumerator on its line (after ; or ,) into ///<, which documents
    that member;
and leaves alone tool markers (NOLINT) and comments after braces, which document nothing. A
separator line (// ----) starts the out-of-line definitions of a header's templates: what
follows it is left out of the reference, as the declarations above document it. A < that would open an HTML tag (<Class>_Ptr) is escaped: our comments
hold no markup. Line numbers are kept, so Doxygen's warnings point into the headers.
"""
import re
import sys

LINE_COMMENT = re.compile(r"^(\s*)//(?![/!])(.*)$")
TRAILING_COMMENT = re.compile(r"^(.*[;,])(\s+)//(?![/!<])(.*)$")
SEPARATOR = re.compile(r"^\s*[-=*]{3,}\s*$")
ACCESS = re.compile(r"^\s*(public|protected|private)\s*:")
DECLARED_NAME = re.compile(r"(operator\s*(?:\(\)|\[\]|[^\s(]+)|~?[A-Za-z_]\w*)\s*\(")
CLASS_NAME = re.compile(r"\b(?:class|struct)\s+(?:[A-Z_]+_API\s+)?([A-Za-z_]\w*)")


def text(comment):
    """Comment text as Doxygen reads it literally."""
    return re.sub(r"<(?=[A-Za-z/])", r"\\<", comment)


def comment_line(line):
    """The indentation and text of a documenting comment line, else None."""
    match = LINE_COMMENT.match(line)
    if not match or SEPARATOR.match(match.group(2)) or match.group(2).strip().startswith("NOLINT"):
        return None
    return match.group(1), match.group(2)


def code_of(line):
    """The line without a trailing // comment (none of our declarations holds // in a string)."""
    return line.split("//", 1)[0].rstrip()


def one_line_declaration(line, indent):
    """A complete declaration on one line at the given indentation."""
    code = code_of(line)
    if not code.startswith(indent) or code[len(indent):len(indent) + 1].isspace() or not code.strip():
        return False
    if ACCESS.match(code) or code.lstrip()[0] in "}#":
        return False
    balanced = code.count("(") == code.count(")") and code.count("{") == code.count("}")
    return balanced and code.endswith((";", "}"))


def overload_name(line, classes):
    """The function a one-line declaration declares, None for constructors and assignments."""
    match = DECLARED_NAME.search(code_of(line))
    if not match:
        return None
    name = match.group(1)
    if name.lstrip("~") in classes or name.replace(" ", "") == "operator=":
        return None
    return name[: -len("Coord")] if name.endswith("Coord") else name


def trailing(line):
    match = TRAILING_COMMENT.match(line)
    if match and '"' not in match.group(1) and not match.group(3).strip().startswith("NOLINT"):
        return f"{match.group(1)}{match.group(2)}///<{text(match.group(3))}"
    return line


def filtered(lines):
    out = [trailing(line) for line in lines]
    classes = {match.group(1) for line in lines for match in CLASS_NAME.finditer(code_of(line))}
    opening = 0
    while opening < len(lines) and comment_line(lines[opening]) is not None:
        opening += 1
    i = 0
    while i < len(lines):
        comment = comment_line(lines[i])
        if comment is None:
            i += 1
            continue
        indent = comment[0]
        first = i
        while i < len(lines) and comment_line(lines[i]) is not None and comment_line(lines[i])[0] == indent:
            out[i] = f"{indent}///{text(comment_line(lines[i])[1])}"
            i += 1
        end = i
        while end < len(lines) and one_line_declaration(lines[end], indent):
            end += 1
        names = {overload_name(line, classes) for line in lines[i:end]}
        if end - i >= 2 and len(names) == 1 and None not in names:
            out[first] = f"{indent}/** @{{ */ ///{text(comment_line(lines[first])[1])}"
            last = lines[end - 1]
            code = code_of(last)
            out[end - 1] = trailing(f"{code} /** @}} */{last[len(code):]}")
    separator = next((i for i, line in enumerate(lines) if LINE_COMMENT.match(line) and
                      SEPARATOR.match(LINE_COMMENT.match(line).group(2))), None)
    if separator is not None:
        out[separator] = "/// @cond"
        out.append("/// @endcond")
    named = re.match(r"^//\s*([A-Za-z_]\w*)(<[^>]*>)?:", lines[0]) if lines else None
    if opening and named and any(re.search(rf"\b(class|struct)\s+(\w+\s+)?{named.group(1)}\b[^;]*$", code_of(line))
                                 for line in lines):
        out[opening - 1] += f" @class {named.group(1)}"
    elif opening:
        out[opening - 1] += " @file"
    return out


with open(sys.argv[1], encoding="utf-8") as source:
    lines = source.read().split("\n")
sys.stdout.write("\n".join(filtered(lines)))
