#!/usr/bin/env python3
"""manifests.py DIST SCHEMAS: the winget manifests in DIST/winget against the published JSON schemas
(SCHEMAS/winget/1.28.0), the Scoop manifest DIST/scoop/digestor.json against Scoop's
(SCHEMAS/scoop/schema.json), and the digests and URLs in them against the packages beside them."""
import glob
import hashlib
import json
import os
import sys

import jsonschema
import yaml

SKIPPED = 77  # ctest's SKIP_RETURN_CODE


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def check(dist, schemas):
    winget = schemas + "/winget/1.28.0"
    if not os.path.isdir(winget):
        print(f"manifests: no schemas in {schemas}: not checked")
        sys.exit(SKIPPED)
    [msi] = glob.glob(dist + "/Digestor-*-win64.msi")
    [zip_] = glob.glob(dist + "/Digestor-*-win64.zip")
    version = os.path.basename(zip_)[len("Digestor-") : -len("-win64.zip")]

    manifests = {}
    for path in glob.glob(dist + "/winget/*.yaml"):
        with open(path, encoding="utf-8") as f:
            manifest = yaml.safe_load(f)
        kind = manifest["ManifestType"]
        with open(f"{winget}/manifest.{kind}.1.28.0.json", encoding="utf-8") as f:
            jsonschema.validate(manifest, json.load(f))
        manifests[kind] = manifest
    assert sorted(manifests) == ["defaultLocale", "installer", "version"], sorted(manifests)
    for manifest in manifests.values():
        assert (manifest["PackageIdentifier"], manifest["PackageVersion"]) == ("VIDODi.Digestor", version)
    [installer] = manifests["installer"]["Installers"]
    assert installer["InstallerSha256"] == sha256(msi).upper(), "the installer's digest"
    assert installer["InstallerUrl"].endswith(f"/{version}/{os.path.basename(msi)}"), installer["InstallerUrl"]
    assert manifests["installer"]["Scope"] == "machine"

    with open(dist + "/scoop/digestor.json", encoding="utf-8") as f:
        scoop = json.load(f)
    with open(schemas + "/scoop/schema.json", encoding="utf-8") as f:
        jsonschema.validate(scoop, json.load(f))
    assert scoop["version"] == version
    package = scoop["architecture"]["64bit"]
    assert package["hash"] == sha256(zip_), "the zip's digest"
    assert package["url"].endswith(f"/{version}/{os.path.basename(zip_)}"), package["url"]
    assert scoop["bin"] == "DigestorCmd.exe"
    print(f"manifests: {len(manifests)} winget and 1 Scoop manifest valid, digests and URLs right")


if __name__ == "__main__":
    check(*sys.argv[1:3])
