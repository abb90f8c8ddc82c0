#!/usr/bin/env python3
"""Dependencies point down only: resolves every quoted #include of the product's sources
as the compiler does and prints each one that points up.

    tools/lib/layer_rule.py [<source root>]

The compiler looks for "name" beside the including file first, then in the include
folders the build sets (the source root and the build's generated/ folder). So
"ButtonState.h" from platform/ui/ and "win32/Registry.h" from platform/ are checked
exactly like "platform/ui/ButtonState.h".

The order, from the bottom: platform/common; the rest of platform/ (interfaces, ui/,
memory/); platform's win32/ folders; then engine/ and kit/; launcher/ and app/. Inside
every layer, portable code never includes a win32/ folder's file (it holds no Windows
header). Exit code 1 when anything points up, 2 on a usage error.
"""
import os
import re
import sys

LAYERS = ("app", "engine", "kit", "launcher", "platform")
# Which layers each layer's files may include (its own is always allowed).
ALLOWED = {
    "platform": {"platform"},
    "engine": {"platform", "engine"},
    "kit": {"platform", "kit"},
    "launcher": {"platform", "kit", "launcher"},
    "app": {"platform", "kit", "engine", "app"},
}
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".inl", ".rc")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
GENERATED = re.compile(r"configure_file\([^)]*\$\{CMAKE_BINARY_DIR\}/generated/([^\s)]+)")


def generated_names(root):
    """Files the build writes into generated/, an include folder of every target."""
    names = set()
    for folder, _, files in os.walk(root):
        if "build" in os.path.relpath(folder, root).split(os.sep):
            continue
        for name in files:
            if name == "CMakeLists.txt":
                with open(os.path.join(folder, name), encoding="utf-8") as cmake:
                    names.update(GENERATED.findall(cmake.read()))
    return names


def place(relative):
    """(layer, tier) of a path relative to the root; tier orders code inside a layer:
    0 platform/common, 1 portable, 2 a win32/ folder. None outside the layers."""
    parts = relative.split("/")
    if parts[0] not in LAYERS:
        return None
    if "win32" in parts[1:-1]:
        return parts[0], 2
    if parts[0] == "platform" and len(parts) > 2 and parts[1] == "common":
        return parts[0], 0
    return parts[0], 1


def resolve(root, including, name, generated):
    """The file the compiler takes for #include "name" in `including` (relative to root),
    as a root-relative path; "generated/<name>" for a build-written file; None when not found."""
    for base in (os.path.dirname(os.path.join(root, including)), root):
        candidate = os.path.normpath(os.path.join(base, name))
        if os.path.isfile(candidate):
            return os.path.relpath(candidate, root).replace(os.sep, "/")
    if name in generated:
        return "generated/" + name
    return None


def describe(tier):
    return {0: "platform/common", 1: "portable code", 2: "win32/ code"}[tier]


def findings(root):
    root = os.path.abspath(root)
    generated = generated_names(root)
    found = []
    for layer in LAYERS:
        for folder, _, files in os.walk(os.path.join(root, layer)):
            for file_name in sorted(files):
                if not file_name.endswith(SOURCE_SUFFIXES):
                    continue
                including = os.path.relpath(os.path.join(folder, file_name), root).replace(os.sep, "/")
                source_layer, source_tier = place(including)
                with open(os.path.join(root, including), encoding="utf-8", errors="replace") as text:
                    for number, line in enumerate(text, 1):
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        name = match.group(1)
                        target = resolve(root, including, name, generated)
                        where = f"{including}:{number}: \"{name}\""
                        if target is None:
                            found.append(f"{where} is not found beside the file or in the include folders")
                            continue
                        if target.startswith("generated/"):
                            continue
                        target_place = place(target)
                        if target_place is None:
                            found.append(f"{where} resolves to {target}, outside the product's layers")
                            continue
                        target_layer, target_tier = target_place
                        if target_layer not in ALLOWED[source_layer]:
                            may = " ".join(sorted(ALLOWED[source_layer]))
                            found.append(f"{where} resolves to {target}: {source_layer}/ must not include "
                                         f"{target_layer}/ (it may include: {may})")
                        elif target_layer == source_layer and target_tier > source_tier:
                            found.append(f"{where} resolves to {target}: {describe(source_tier)} must not "
                                         f"include {describe(target_tier)}")
                        elif target_layer != source_layer and target_tier == 2 and source_tier < 2:
                            found.append(f"{where} resolves to {target}: {describe(source_tier)} must not "
                                         f"include win32/ code")
    return found


def main(argv):
    if len(argv) > 2:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    root = argv[1] if len(argv) == 2 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    problems = findings(root)
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
