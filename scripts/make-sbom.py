#!/usr/bin/env python3
"""Writes the Windows package's bill of materials, an SPDX 2.3 JSON document,
to standard output (scripts/package.sh runs it; scripts/check-sbom.py checks
it).

It names the module and pnghost (the project's version and the commit they
were built from), the libpng and zlib compiled into the module (the versions
their headers gave the build, the Debian source packages they were built
from, their licences), and every file of the package folder with its SHA-1
(which SPDX 2.3 requires of a file) and SHA-256, but for SHA256SUMS, which is
made after it. Everything in it comes from its arguments and the files, so
that the same package gives the same bytes.

usage: make-sbom.py --folder DIR --name NAME --version VERSION --commit COMMIT
                    --created YYYY-MM-DDThh:mm:ssZ
                    --libpng VERSION "SOURCE-PACKAGE SOURCE-VERSION"
                    --zlib VERSION "SOURCE-PACKAGE SOURCE-VERSION"
"""
import argparse
import hashlib
import json
import os
import sys
import urllib.parse

TEAM = "the Korvane imaging team"
COPYRIGHT = "Copyright (C) 2026 the Korvane imaging team. All rights reserved."
# The shipped binaries: the package's own name for each, what it is.
OUR_BINARIES = {
    "Korvane.8BI": ("Korvane", "LIBRARY", "the PNG file-format plug-in module"),
    "pnghost.exe": ("pnghost", "APPLICATION", "the test host and viewer that loads the module"),
}
# The third-party libraries linked into the module: SPDX licence.
LIBRARIES = {"libpng": "libpng-2.0", "zlib": "Zlib"}
# Files that are the licence text of a library.
LICENCE_FILES = {"LICENSE-libpng.txt": "libpng", "LICENSE-zlib.txt": "zlib"}


def spdx_id(kind, name):
    return "SPDXRef-%s-%s" % (kind, "".join(c if c.isalnum() or c in ".-" else "-" for c in name))


def digests(path):
    with open(path, "rb") as f:
        data = f.read()
    return {"SHA1": hashlib.sha1(data).hexdigest(), "SHA256": hashlib.sha256(data).hexdigest()}


def checksum_list(values):
    return [{"algorithm": algorithm, "checksumValue": value} for algorithm, value in sorted(values.items())]


def verification_code(sha1s):
    return hashlib.sha1("".join(sorted(sha1s)).encode()).hexdigest()


def our_package(file_name, version, commit, file_sha1):
    name, purpose, what = OUR_BINARIES[file_name]
    return {
        "SPDXID": spdx_id("Package", name),
        "name": name,
        "versionInfo": version,
        "packageFileName": file_name,
        "supplier": "Organization: " + TEAM,
        "originator": "Organization: " + TEAM,
        "downloadLocation": "NOASSERTION",
        "filesAnalyzed": True,
        "hasFiles": [spdx_id("File", file_name)],
        "packageVerificationCode": {"packageVerificationCodeValue": verification_code([file_sha1])},
        "sourceInfo": "built from commit %s of the Korvane sources" % commit,
        "licenseConcluded": "LicenseRef-Korvane",
        "licenseDeclared": "LicenseRef-Korvane",
        "copyrightText": COPYRIGHT,
        "primaryPackagePurpose": purpose,
        "description": "%s, version %s, commit %s" % (what, version, commit),
    }


def library_package(name, version, source):
    source_package, source_version = source.split()
    purl = "pkg:deb/debian/%s@%s?arch=source" % (source_package, urllib.parse.quote(source_version, safe=""))
    return {
        "SPDXID": spdx_id("Package", name),
        "name": name,
        "versionInfo": version,
        "supplier": "Organization: Debian",
        "downloadLocation": "NOASSERTION",
        "filesAnalyzed": False,
        "sourceInfo": "built for 32-bit Windows from the Debian source package %s %s" % (source_package, source_version),
        "licenseConcluded": LIBRARIES[name],
        "licenseDeclared": LIBRARIES[name],
        "copyrightText": "NOASSERTION",
        "primaryPackagePurpose": "LIBRARY",
        "externalRefs": [{"referenceCategory": "PACKAGE-MANAGER", "referenceType": "purl", "referenceLocator": purl}],
    }


def relationship(element, kind, related, comment=None):
    entry = {"spdxElementId": element, "relationshipType": kind, "relatedSpdxElement": related}
    if comment:
        entry["comment"] = comment
    return entry


def main():
    parser = argparse.ArgumentParser(description="Writes the package's SPDX 2.3 bill of materials.")
    parser.add_argument("--folder", required=True)
    parser.add_argument("--name", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--commit", required=True)
    parser.add_argument("--created", required=True)
    parser.add_argument("--libpng", nargs=2, required=True, metavar=("VERSION", "SOURCE"))
    parser.add_argument("--zlib", nargs=2, required=True, metavar=("VERSION", "SOURCE"))
    args = parser.parse_args()

    shipped = sorted(f for f in os.listdir(args.folder) if f != "SHA256SUMS" and not f.endswith(".spdx.json"))
    missing = [f for f in list(OUR_BINARIES) + list(LICENCE_FILES) if f not in shipped]
    if missing:
        sys.exit("make-sbom: %s lacks %s" % (args.folder, ", ".join(missing)))
    files, sha1, sha256 = [], {}, []
    for name in shipped:
        values = digests(os.path.join(args.folder, name))
        sha1[name] = values["SHA1"]
        sha256.append(values["SHA256"])
        files.append({
            "SPDXID": spdx_id("File", name),
            "fileName": "./" + name,
            "checksums": checksum_list(values),
            "licenseConcluded": "NOASSERTION",
            "copyrightText": "NOASSERTION",
        })

    packages = [our_package(f, args.version, args.commit, sha1[f]) for f in OUR_BINARIES]
    packages += [library_package("libpng", *args.libpng), library_package("zlib", *args.zlib)]

    module, host = spdx_id("Package", "Korvane"), spdx_id("Package", "pnghost")
    libpng, zlib = spdx_id("Package", "libpng"), spdx_id("Package", "zlib")
    relationships = [
        relationship("SPDXRef-DOCUMENT", "DESCRIBES", module),
        relationship("SPDXRef-DOCUMENT", "DESCRIBES", host),
        relationship(module, "STATIC_LINK", libpng),
        relationship(module, "STATIC_LINK", zlib),
        relationship(libpng, "DEPENDS_ON", zlib),
        relationship(module, "RUNTIME_DEPENDENCY_OF", host, "pnghost.exe loads Korvane.8BI from its folder"),
    ]
    for name in shipped:
        if name in LICENCE_FILES:
            library = LICENCE_FILES[name]
            relationships.append(relationship(spdx_id("File", name), "OTHER", spdx_id("Package", library),
                                              "the licence of %s as its Debian source package gives it" % library))
        elif name not in OUR_BINARIES:
            relationships.append(relationship(spdx_id("File", name), "DOCUMENTATION_OF", module))

    # Unique to these files, and the same for the same files.
    namespace_digest = hashlib.sha256("".join(sha256).encode()).hexdigest()
    document = {
        "spdxVersion": "SPDX-2.3",
        "dataLicense": "CC0-1.0",
        "SPDXID": "SPDXRef-DOCUMENT",
        "name": args.name,
        "documentNamespace": "https://spdx.korvane.invalid/%s/%s" % (args.name, namespace_digest[:32]),
        "creationInfo": {
            "created": args.created,
            "creators": ["Organization: " + TEAM, "Tool: scripts/package.sh"],
        },
        "packages": packages,
        "files": files,
        "hasExtractedLicensingInfos": [{
            "licenseId": "LicenseRef-Korvane",
            "name": "Korvane licence",
            "extractedText": COPYRIGHT,
        }],
        "relationships": relationships,
    }
    json.dump(document, sys.stdout, indent=2, sort_keys=True)
    sys.stdout.write("\n")


if __name__ == "__main__":
    main()
