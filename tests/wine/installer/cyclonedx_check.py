"""The parts of the CycloneDX 1.5 JSON schema (bom-1.5.schema.json) that an SBOM of ours
uses, checked without the schema itself: the required fields, their types, enumerations
and patterns, no unknown fields where the schema allows none, and references that lead
somewhere. Also what our SBOM promises beyond the schema: every component has a version
and a purl. problems(bom) lists what is wrong; empty when nothing is."""
import re

COMPONENT_TYPES = {"application", "framework", "library", "container", "platform", "operating-system", "device",
                   "device-driver", "firmware", "file", "machine-learning-model", "data"}
HASH_ALGORITHMS = {"MD5", "SHA-1", "SHA-256", "SHA-384", "SHA-512", "SHA3-256", "SHA3-384", "SHA3-512",
                   "BLAKE2b-256", "BLAKE2b-384", "BLAKE2b-512", "BLAKE3"}
SERIAL_NUMBER = re.compile(r"^urn:uuid:[0-9a-f]{8}-[0-9a-f]{4}-[1-5][0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}$")
HASH_CONTENT = re.compile(r"^([a-fA-F0-9]{32}|[a-fA-F0-9]{40}|[a-fA-F0-9]{64}|[a-fA-F0-9]{96}|[a-fA-F0-9]{128})$")
DATE_TIME = re.compile(r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d(\.\d+)?(Z|[+-]\d\d:\d\d)$")
PURL = re.compile(r"^pkg:[a-z][a-z0-9.+-]*/\S+$")
BOM_FIELDS = {"$schema", "bomFormat", "specVersion", "serialNumber", "version", "metadata", "components",
              "services", "externalReferences", "dependencies", "compositions", "properties", "vulnerabilities",
              "annotations", "formulation", "signature"}
METADATA_FIELDS = {"timestamp", "lifecycles", "tools", "authors", "component", "manufacture", "supplier",
                   "licenses", "properties"}
COMPONENT_FIELDS = {"type", "mime-type", "bom-ref", "supplier", "author", "publisher", "group", "name",
                    "version", "description", "scope", "hashes", "licenses", "copyright", "cpe", "purl", "swid",
                    "modified", "pedigree", "externalReferences", "properties", "components", "evidence",
                    "releaseNotes", "modelCard", "data", "signature"}


def component_problems(where, component):
    if not isinstance(component, dict):
        return [f"{where} is not an object"]
    found = [f"{where} has the unknown field {name}" for name in sorted(set(component) - COMPONENT_FIELDS)]
    if component.get("type") not in COMPONENT_TYPES:
        found.append(f"{where}.type is {component.get('type')!r}, not a component type")
    for name in ("name", "version", "bom-ref"):
        if not isinstance(component.get(name), str) or not component.get(name):
            found.append(f"{where}.{name} is missing or not a text")
    if not isinstance(component.get("purl"), str) or not PURL.match(component["purl"]):
        found.append(f"{where}.purl is missing or not a package URL")
    for number, entry in enumerate(component.get("hashes", [])):
        if not isinstance(entry, dict) or entry.get("alg") not in HASH_ALGORITHMS or \
                not HASH_CONTENT.match(str(entry.get("content", ""))):
            found.append(f"{where}.hashes[{number}] is no hash the schema knows")
    for number, entry in enumerate(component.get("properties", [])):
        if not isinstance(entry, dict) or not isinstance(entry.get("name"), str):
            found.append(f"{where}.properties[{number}] has no name")
    return found


def problems(bom):
    if not isinstance(bom, dict):
        return ["the SBOM is not an object"]
    found = [f"the SBOM has the unknown field {name}" for name in sorted(set(bom) - BOM_FIELDS)]
    if bom.get("bomFormat") != "CycloneDX":
        found.append("bomFormat is not CycloneDX")
    if bom.get("specVersion") != "1.5":
        found.append("specVersion is not 1.5")
    if not isinstance(bom.get("serialNumber"), str) or not SERIAL_NUMBER.match(bom["serialNumber"]):
        found.append("serialNumber is not a urn:uuid")
    if not isinstance(bom.get("version"), int) or isinstance(bom.get("version"), bool) or bom["version"] < 1:
        found.append("version is not a whole number from 1")
    metadata = bom.get("metadata")
    if not isinstance(metadata, dict):
        found.append("metadata is missing")
        metadata = {}
    found += [f"metadata has the unknown field {name}" for name in sorted(set(metadata) - METADATA_FIELDS)]
    if not DATE_TIME.match(str(metadata.get("timestamp", ""))):
        found.append("metadata.timestamp is not a date and time")
    if "component" not in metadata:
        found.append("metadata.component is missing")
    else:
        found += component_problems("metadata.component", metadata["component"])
    components = bom.get("components")
    if not isinstance(components, list) or not components:
        found.append("components is missing or empty")
        components = []
    references = []
    for number, component in enumerate(components):
        found += component_problems(f"components[{number}]", component)
        if isinstance(component, dict):
            references.append(component.get("bom-ref"))
    if isinstance(metadata.get("component"), dict):
        references.append(metadata["component"].get("bom-ref"))
    duplicates = sorted({ref for ref in references if references.count(ref) > 1 and ref})
    if duplicates:
        found.append(f"bom-ref used twice: {', '.join(duplicates)}")
    for number, dependency in enumerate(bom.get("dependencies", [])):
        if not isinstance(dependency, dict) or dependency.get("ref") not in references:
            found.append(f"dependencies[{number}].ref leads to no component")
            continue
        for target in dependency.get("dependsOn", []):
            if target not in references:
                found.append(f"dependencies[{number}] depends on {target!r}, which is no component")
    return found
