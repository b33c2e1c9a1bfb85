#!/usr/bin/env python3
"""Writes the C++ source that measures host_sdk/ against the host's binary-interface table.

  generate_abi_facts.py TABLE OUTPUT HEADER...

The output holds TABLE's rows and has the compiler measure every row that names something the
headers declare, and everything the headers declare that no row names, so that the test reports it
(what the table names in words is measured by hand in abi_facts.cpp). A malformed table stops the build.
"""

import re
import sys
from pathlib import Path

IDENTIFIER = re.compile(r"[A-Za-z_]\w*")

# Records of ours that the table measures under another name: the Windows resource's property
# header is the row PiPL_resource_win.property_header.
MEASURED_ELSEWHERE = {"PiPL_property_header_win"}


def block_end(text, open_brace):
    """Index just past the brace that closes the one at open_brace."""
    depth = 0
    for i in range(open_brace, len(text)):
        depth += {"{": 1, "}": -1}.get(text[i], 0)
        if depth == 0:
            return i + 1
    sys.exit(f"generate_abi_facts: unbalanced braces after: {text[open_brace:open_brace + 60]!r}")


def cut_blocks(text, pattern, found):
    """Removes each match of pattern and the braced block that follows it, handing both to found."""
    while match := re.search(pattern, text):
        end = block_end(text, text.index("{", match.end() - 1))
        found(match, text[match.end():end - 1])
        text = text[:match.start()] + " " + text[end:]
    return text


def declared_name(declaration):
    """The name a member or typedef declaration declares: `(*name)(...)`, `name[N]` or `name`."""
    pointer = re.search(r"\(\s*\*\s*(\w+)\s*\)", declaration)
    return pointer.group(1) if pointer else IDENTIFIER.findall(re.sub(r"\[[^\]]*\]", "", declaration))[-1]


def member_names(body):
    while re.search(r"\{[^{}]*\}", body):  # unnamed unions: keep only the member's own name
        body = re.sub(r"\{[^{}]*\}", " ", body)
    return [declared_name(part) for part in body.split(";") if part.strip()]


class Declarations:
    """What the headers declare in the global namespace, which keeps the host's names; namespace
    host_sdk holds names of our own and is left to abi_facts.cpp."""

    def __init__(self, headers):
        self.records = {}    # record name -> member names, in order
        self.aliases = {}    # typedef name -> the type it names, as written
        self.constants = []  # in order of declaration
        self.functions = set()
        self.macros = set()
        for header in headers:
            self.scan(Path(header).read_text())

    def scan(self, text):
        text = re.sub(r'"(?:\\.|[^"\\])*"|//[^\n]*|/\*.*?\*/',
                      lambda m: m.group(0) if m.group(0).startswith('"') else " ", text, flags=re.S)
        self.macros.update(re.findall(r"^\s*#\s*define\s+(\w+)", text, flags=re.M))
        text = re.sub(r"^\s*#.*$", "", text, flags=re.M)
        text = cut_blocks(text, r"\bnamespace\s+\w+\s*\{", lambda match, body: None)
        text = cut_blocks(text, r"\b(?:struct|union)\s+(\w+)\s*\{",
                          lambda match, body: self.records.setdefault(match.group(1), member_names(body)))
        text = cut_blocks(text, r"\bconstexpr\s+[\w:]+\s+(\w+)\s*\([^;{]*\)\s*\{",
                          lambda match, body: self.functions.add(match.group(1)))
        for statement in filter(None, (part.strip() for part in text.split(";"))):
            if statement.startswith("typedef"):
                name = declared_name(statement)
                self.aliases[name] = statement[len("typedef"):statement.rfind(name)].strip()
            elif constant := re.match(r"(?:inline\s+)?constexpr\s+[\w:]+\s+(\w+)\s*(?:\[\s*\])?\s*=", statement):
                self.constants.append(constant.group(1))
            elif not re.fullmatch(r"(?:struct|union)\s+\w+", statement):  # a forward declaration
                # Anything else could declare a record or constant this scan would not see.
                sys.exit(f"generate_abi_facts: cannot tell what this declares: {statement}")

    def is_type(self, name):
        return name in self.records or name in self.aliases

    def record_of(self, name):
        record = name if name in self.records else self.aliases.get(name)
        return record if record in self.records else None


COLUMNS = ("kind", "owner", "name", "value", "size", "note")


def read_rows(table_path):
    lines = Path(table_path).read_text().splitlines()
    if not lines or lines[0] != "\t".join(COLUMNS):
        sys.exit(f"{table_path}:1: the header must be the six columns {' '.join(COLUMNS)}")
    rows, seen = [], {}
    for number, line in enumerate(lines[1:], start=2):
        row = dict(zip(COLUMNS, line.split("\t")), line=number)
        key = (row["kind"], row.get("owner"), row.get("name"))
        problem = ("not six tab-separated columns" if line.count("\t") != 5 else
                   f"unknown kind {row['kind']!r}" if row["kind"] not in ("struct", "field", "suite", "const") else
                   f"repeats line {seen[key]}" if key in seen else None)
        if problem:
            sys.exit(f"{table_path}:{number}: {problem}: {line}")
        seen[key] = number
        rows.append(row)
    return rows


def c_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def value_line(kind, owner, row, expression):
    return f"ABI_VALUE({c_string(kind)}, {c_string(owner)}, {c_string(row)}, {expression});"


def is_member_row(row):
    return row["kind"] == "field" or row["kind"] == "suite" and re.match(r"pos=\d", row["note"])


def row_constant(row, declared):
    """What measures a constant, suite name or suite version row: the declared name the row names,
    a call of a declared function ("PF_VERSION(1,0,0,PF_Stage_DEVELOP,1)"), or, when the row's name
    is not an identifier ("@name", "PiPL 'kind'"), the constant its note names; None otherwise."""
    name = row["name"]
    call = re.match(r"(\w+)\(", name)
    if name in declared.macros or name in declared.constants or call and call.group(1) in declared.functions:
        return name
    if IDENTIFIER.fullmatch(name):
        return None
    words = (IDENTIFIER.match(part.strip()) for part in row["note"].split(";"))
    return next((word.group(0) for word in words if word and word.group(0) in declared.constants), None)


def row_fact(row, declared):
    """The line that measures one row, or None when the row names nothing the headers declare."""
    kind, owner, name = row["kind"], row["owner"], row["name"]
    if kind == "struct":
        return value_line(kind, "", name, f"sizeof({name})") if declared.is_type(name) else None
    if is_member_row(row):
        return f"ABI_MEMBER({c_string(kind)}, {owner}, {name});" if declared.is_type(owner) else None
    constant = row_constant(row, declared)
    if constant in declared.macros:
        return value_line(kind, owner, name, f"ABI_EXPANSION({constant})")
    return value_line(kind, owner, name, constant) if constant else None


def unmeasured_declarations(rows, declared):
    """Lines that measure what the headers declare and no row names: the test reports each one."""
    lines = []
    owners = {row["owner"] for row in rows} | {row["name"] for row in rows if row["kind"] == "struct"}
    suites = {row["owner"] for row in rows if row["kind"] == "suite"}
    members = {(row["owner"], row["name"]) for row in rows if is_member_row(row)}
    for record, names in declared.records.items():
        if record in MEASURED_ELSEWHERE:
            continue
        owner = next((name for name in [record] + sorted(declared.aliases)
                      if name in owners and declared.record_of(name) == record), None)
        if owner is None:
            lines.append(value_line("struct", "", record, f"sizeof({record})"))
            continue
        kind = "suite" if owner in suites else "field"
        lines += [f"ABI_MEMBER({c_string(kind)}, {owner}, {name});"
                  for name in names if (owner, name) not in members]
    measured = {row_constant(row, declared) for row in rows if row["kind"] != "struct" and not is_member_row(row)}
    lines += [value_line("const", "", name, name) for name in declared.constants if name not in measured]
    return lines


def main(table_path, output_path, headers):
    rows = read_rows(table_path)
    declared = Declarations(headers)
    facts = [line for line in (row_fact(row, declared) for row in rows) if line]
    facts += unmeasured_declarations(rows, declared)
    includes = "".join(f'#include "{Path(header).name}"\n' for header in sorted(headers))
    body = "".join(f"  {line}\n" for line in facts)
    table = "".join(f"      {{{row['line']}, {', '.join(c_string(row[column]) for column in COLUMNS)}}},\n"
                    for row in rows)
    source = (f"// Generated by generate_abi_facts.py from {Path(table_path).name} and host_sdk/; do not edit.\n"
              f'#include "abi.h"\n{includes}\n'
              f"namespace host_abi {{\n\n"
              f"std::span<const Row> tableRows() {{\n  static constexpr Row kRows[] = {{\n{table}  }};\n"
              f"  return kRows;\n}}\n\n"
              f"void appendGeneratedFacts(std::vector<Fact>& facts) {{\n{body}}}\n\n"
              f"}}  // namespace host_abi\n")
    Path(output_path).write_text(source)


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2], sys.argv[3:])
