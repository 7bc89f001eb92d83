#!/usr/bin/env python3
"""Checks the bill of materials in an unpacked Windows package folder (the one
*.spdx.json beside Korvane.8BI and pnghost.exe), as an SPDX 2.3 JSON document
and against the files it describes. Debian has no SPDX validator, so the rules
of SPDX 2.3 that the document touches are checked here:

- the document's required fields and their forms (version, data licence,
  namespace URI, creation time and creators), identifiers well formed and
  unique, every relationship between known elements and of a known type;
- every package's required fields, licences that are NOASSERTION, NONE, an
  identifier the document uses on purpose or a LicenseRef- it defines, and a
  package whose files were analysed has them and the verification code they
  give; every file a SHA-1 (required) and a SHA-256;
- against the package: every file in the folder but SHA256SUMS and the bill
  itself is listed once, with the hashes it has; the module and pnghost carry
  the version and commit of pnghost.exe's version resource; libpng and zlib
  carry the versions compiled into Korvane.8BI (read from its bytes), the
  Debian source packages of those versions and their licences, and a binary
  links a library statically exactly when the library is in it.

Prints what it checked, or each problem, naming the file; exits 1 on any.

usage: check-sbom.py PACKAGE_FOLDER
"""
import hashlib
import json
import os
import re
import sys
import urllib.parse

RELATIONSHIP_TYPES = set("""
DESCRIBES DESCRIBED_BY CONTAINS CONTAINED_BY DEPENDS_ON DEPENDENCY_OF DEPENDENCY_MANIFEST_OF
BUILD_DEPENDENCY_OF DEV_DEPENDENCY_OF OPTIONAL_DEPENDENCY_OF PROVIDED_DEPENDENCY_OF TEST_DEPENDENCY_OF
RUNTIME_DEPENDENCY_OF EXAMPLE_OF GENERATES GENERATED_FROM ANCESTOR_OF DESCENDANT_OF VARIANT_OF
DISTRIBUTION_ARTIFACT PATCH_FOR PATCH_APPLIED COPY_OF FILE_ADDED FILE_DELETED FILE_MODIFIED
EXPANDED_FROM_ARCHIVE DYNAMIC_LINK STATIC_LINK DATA_FILE_OF TEST_CASE_OF BUILD_TOOL_OF DEV_TOOL_OF
TEST_OF TEST_TOOL_OF DOCUMENTATION_OF OPTIONAL_COMPONENT_OF METAFILE_OF PACKAGE_OF AMENDS
PREREQUISITE_FOR HAS_PREREQUISITE REQUIREMENT_DESCRIPTION_FOR SPECIFICATION_FOR OTHER
""".split())
PURPOSES = {"APPLICATION", "FRAMEWORK", "LIBRARY", "CONTAINER", "OPERATING-SYSTEM", "DEVICE", "FIRMWARE",
            "SOURCE", "ARCHIVE", "FILE", "INSTALL", "OTHER"}
ALGORITHMS = {"SHA1", "SHA224", "SHA256", "SHA384", "SHA512", "SHA3-256", "SHA3-384", "SHA3-512", "MD2",
              "MD4", "MD5", "MD6", "BLAKE2b-256", "BLAKE2b-384", "BLAKE2b-512", "BLAKE3", "ADLER32"}
ID = re.compile(r"^SPDXRef-[A-Za-z0-9.-]+$")
CREATED = re.compile(r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ$")
ACTOR = re.compile(r"^(Person|Organization|Tool): \S")
# The licences the document names by SPDX identifier, and whose they are.
LIBRARY_LICENCES = {"libpng": "libpng-2.0", "zlib": "Zlib"}
# How a library's version reads inside a binary it is linked into.
LIBRARY_MARKS = {
    "libpng": re.compile(rb"libpng version (\d+\.\d+\.\d+)"),
    "zlib": re.compile(rb" inflate (\d+\.\d+\.\d+(?:\.\d+)?) Copyright"),
}
OUR_BINARIES = {"Korvane": "Korvane.8BI", "pnghost": "pnghost.exe"}

problems = []


def problem(text):
    problems.append(text)


def require(record, where, *fields):
    for field in fields:
        if field not in record:
            problem("%s has no %s" % (where, field))


def licence_ok(expression, defined):
    return expression in ("NOASSERTION", "NONE") or expression in LIBRARY_LICENCES.values() or expression in defined


def check_document(doc, where):
    require(doc, where, "spdxVersion", "dataLicense", "SPDXID", "name", "documentNamespace", "creationInfo")
    if doc.get("spdxVersion") != "SPDX-2.3":
        problem("%s: spdxVersion is %r, not SPDX-2.3" % (where, doc.get("spdxVersion")))
    if doc.get("dataLicense") != "CC0-1.0":
        problem("%s: dataLicense is %r, not CC0-1.0" % (where, doc.get("dataLicense")))
    if doc.get("SPDXID") != "SPDXRef-DOCUMENT":
        problem("%s: the document's SPDXID is %r" % (where, doc.get("SPDXID")))
    namespace = doc.get("documentNamespace", "")
    if not re.match(r"^[a-z][a-z0-9+.-]*://\S+$", namespace) or "#" in namespace:
        problem("%s: documentNamespace %r is not a URI without a fragment" % (where, namespace))
    creation = doc.get("creationInfo", {})
    if not CREATED.match(creation.get("created", "")):
        problem("%s: creationInfo.created %r is not YYYY-MM-DDThh:mm:ssZ" % (where, creation.get("created")))
    creators = creation.get("creators", [])
    if not creators or not all(ACTOR.match(c) for c in creators):
        problem("%s: creationInfo.creators %r are not Person:, Organization: or Tool: entries" % (where, creators))


def check_elements(doc, where):
    """Identifiers, licences, packages and files; returns the elements by id."""
    elements = {"SPDXRef-DOCUMENT": doc}
    defined = {info.get("licenseId") for info in doc.get("hasExtractedLicensingInfos", [])}
    for info in doc.get("hasExtractedLicensingInfos", []):
        require(info, "%s: an extracted licence" % where, "licenseId", "extractedText")
        if not re.match(r"^LicenseRef-[A-Za-z0-9.-]+$", info.get("licenseId", "")):
            problem("%s: extracted licence id %r is not LicenseRef-..." % (where, info.get("licenseId")))
    for kind in ("packages", "files"):
        for element in doc.get(kind, []):
            identifier = element.get("SPDXID", "")
            if not ID.match(identifier):
                problem("%s: %s SPDXID %r is not SPDXRef-[A-Za-z0-9.-]+" % (where, kind, identifier))
            if identifier in elements:
                problem("%s: SPDXID %s is used twice" % (where, identifier))
            elements[identifier] = element
            for field in ("licenseConcluded", "licenseDeclared"):
                if field in element and not licence_ok(element[field], defined):
                    problem("%s: %s has licence %r, neither known nor defined" % (where, identifier, element[field]))
    for package in doc.get("packages", []):
        name = "%s: package %s" % (where, package.get("SPDXID"))
        require(package, name, "name", "downloadLocation")
        if package.get("primaryPackagePurpose", "OTHER") not in PURPOSES:
            problem("%s has purpose %r" % (name, package.get("primaryPackagePurpose")))
        for actor in ("supplier", "originator"):
            if actor in package and package[actor] != "NOASSERTION" and not ACTOR.match(package[actor]):
                problem("%s: %s %r is not Person:, Organization: or Tool:" % (name, actor, package[actor]))
        for ref in package.get("externalRefs", []):
            require(ref, name + " external reference", "referenceCategory", "referenceType", "referenceLocator")
    for file in doc.get("files", []):
        name = "%s: file %s" % (where, file.get("SPDXID"))
        require(file, name, "fileName", "checksums")
        algorithms = [c.get("algorithm") for c in file.get("checksums", [])]
        if "SHA1" not in algorithms or "SHA256" not in algorithms or not set(algorithms) <= ALGORITHMS:
            problem("%s has checksums %r (SHA1 and SHA256 wanted)" % (name, algorithms))
        if not file.get("fileName", "").startswith("./"):
            problem("%s: fileName %r does not start with ./" % (name, file.get("fileName")))
    return elements


def check_relationships(doc, elements, where):
    described = False
    for entry in doc.get("relationships", []):
        kind = entry.get("relationshipType")
        if kind not in RELATIONSHIP_TYPES:
            problem("%s: relationship type %r is not SPDX 2.3's" % (where, kind))
        for end in ("spdxElementId", "relatedSpdxElement"):
            if entry.get(end) not in elements:
                problem("%s: a %s relationship names %r, which the document lacks" % (where, kind, entry.get(end)))
        if kind == "OTHER" and not entry.get("comment"):
            problem("%s: an OTHER relationship without a comment" % where)
        described = described or (kind == "DESCRIBES" and entry.get("spdxElementId") == "SPDXRef-DOCUMENT")
    if not described:
        problem("%s: the document describes nothing" % where)


def digests(path):
    with open(path, "rb") as f:
        data = f.read()
    return {"SHA1": hashlib.sha1(data).hexdigest(), "SHA256": hashlib.sha256(data).hexdigest()}


def check_files(doc, folder, where):
    """The listed files are the folder's, with their hashes; packages' files
    and verification codes."""
    shipped = sorted(f for f in os.listdir(folder) if f != "SHA256SUMS" and not f.endswith(".spdx.json"))
    listed = [f.get("fileName", "")[2:] for f in doc.get("files", [])]
    if sorted(listed) != shipped:
        problem("%s lists the files %s; the folder holds %s" % (where, sorted(listed), shipped))
    sha1 = {}
    for file in doc.get("files", []):
        path = os.path.join(folder, file.get("fileName", "")[2:])
        if not os.path.isfile(path):
            continue
        actual = digests(path)
        sha1[file["SPDXID"]] = actual["SHA1"]
        for checksum in file.get("checksums", []):
            algorithm = checksum.get("algorithm")
            if algorithm in actual and checksum.get("checksumValue") != actual[algorithm]:
                problem("%s: the %s of %s is %s, not %s" % (where, algorithm, file["fileName"],
                                                            actual[algorithm], checksum.get("checksumValue")))
    for package in doc.get("packages", []):
        name = "%s: package %s" % (where, package.get("SPDXID"))
        if package.get("filesAnalyzed", True):
            files = package.get("hasFiles", [])
            if not files or not all(f in sha1 for f in files):
                problem("%s: its files were analysed, but hasFiles names %r" % (name, files))
                continue
            code = hashlib.sha1("".join(sorted(sha1[f] for f in files)).encode()).hexdigest()
            given = package.get("packageVerificationCode", {}).get("packageVerificationCodeValue")
            if given != code:
                problem("%s: packageVerificationCode is %s, its files give %s" % (name, given, code))
        elif "hasFiles" in package:
            problem("%s: hasFiles, though its files were not analysed" % name)


def version_resource_text(binary):
    """pnghost.exe's FileVersion: "VERSION (commit COMMIT)"."""
    with open(binary, "rb") as f:
        text = f.read().decode("utf-16-le", errors="replace")
    found = re.search(r"FileVersion\x00+([^\x00]+)", text)
    return found.group(1) if found else ""


def check_contents(doc, folder, where):
    packages = {p.get("name"): p for p in doc.get("packages", [])}
    links = {(r.get("spdxElementId"), r.get("relatedSpdxElement"))
             for r in doc.get("relationships", []) if r.get("relationshipType") == "STATIC_LINK"}
    host_version = version_resource_text(os.path.join(folder, "pnghost.exe"))
    found = re.match(r"^(\S+) \(commit (\S+)\)$", host_version)
    if not found:
        problem("%s/pnghost.exe: no FileVersion 'VERSION (commit COMMIT)' in its version resource" % folder)
        return
    version, commit = found.groups()
    for name, file_name in OUR_BINARIES.items():
        package = packages.get(name)
        if package is None:
            problem("%s names no package %s (%s)" % (where, name, file_name))
            continue
        if package.get("versionInfo") != version or commit not in package.get("sourceInfo", "").split():
            problem("%s: %s is version %r from %r; pnghost.exe says %s, commit %s" % (
                where, name, package.get("versionInfo"), package.get("sourceInfo"), version, commit))
        with open(os.path.join(folder, file_name), "rb") as f:
            data = f.read()
        for library, mark in LIBRARY_MARKS.items():
            inside = mark.search(data)
            named = library in packages and (package["SPDXID"], packages[library]["SPDXID"]) in links
            if bool(inside) != named:
                problem("%s: %s %s %s statically, but the bill of materials says it %s" % (
                    where, file_name, "links" if inside else "does not link", library,
                    "does" if named else "does not"))
            if inside and library in packages:
                check_library(packages[library], library, inside.group(1).decode(), file_name, where)


def check_library(package, library, compiled, file_name, where):
    name = "%s: package %s" % (where, library)
    if package.get("versionInfo") != compiled:
        problem("%s is version %r; %s has %s compiled in" % (name, package.get("versionInfo"), file_name, compiled))
    if package.get("licenseDeclared") != LIBRARY_LICENCES[library]:
        problem("%s declares the licence %r, not %s" % (name, package.get("licenseDeclared"), LIBRARY_LICENCES[library]))
    purls = [r["referenceLocator"] for r in package.get("externalRefs", []) if r.get("referenceType") == "purl"]
    source = re.match(r"^pkg:deb/debian/([a-z0-9.+-]+)@([^?]+)\?arch=source$", purls[0]) if purls else None
    if not source:
        problem("%s names no Debian source package (pkg:deb/debian/NAME@VERSION?arch=source)" % name)
        return
    source_version = urllib.parse.unquote(source.group(2))
    if not re.sub(r"^\d+:", "", source_version).startswith(compiled):
        problem("%s comes from the Debian source package %s %s, not of version %s" % (
            name, source.group(1), source_version, compiled))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: check-sbom.py PACKAGE_FOLDER")
    folder = sys.argv[1]
    boms = [f for f in os.listdir(folder) if f.endswith(".spdx.json")] if os.path.isdir(folder) else []
    if len(boms) != 1:
        sys.exit("check-sbom: %s holds %d *.spdx.json files, not one" % (folder, len(boms)))
    where = os.path.join(folder, boms[0])
    try:
        with open(where, encoding="utf-8") as f:
            doc = json.load(f)
    except ValueError as error:
        sys.exit("check-sbom: %s is not JSON: %s" % (where, error))
    check_document(doc, where)
    elements = check_elements(doc, where)
    check_relationships(doc, elements, where)
    check_files(doc, folder, where)
    check_contents(doc, folder, where)
    for text in problems:
        print("check-sbom: " + text, file=sys.stderr)
    if problems:
        sys.exit(1)
    libraries = ", ".join("%s %s" % (p["name"], p.get("versionInfo")) for p in doc["packages"] if p["name"] in LIBRARY_MARKS)
    print("check-sbom: %s is SPDX 2.3, lists the %d files with their hashes, names %s as compiled in"
          % (where, len(doc.get("files", [])), libraries))


if __name__ == "__main__":
    main()
