#!/usr/bin/env python3
"""Checks a release's package manifest: valid against the package
manager's schema, and naming the SHA-256 of the installer beside it.

  check_manifest.py MANIFEST SCHEMA INSTALLER
"""
import hashlib
import json
import sys

import jsonschema
import yaml

manifest_file, schema_file, installer = sys.argv[1:4]
with open(manifest_file) as f:
    manifest = yaml.safe_load(f)
with open(schema_file) as f:
    jsonschema.validate(manifest, json.load(f))
with open(installer, 'rb') as f:
    digest = hashlib.sha256(f.read()).hexdigest()
named = [entry['InstallerSha256'] for entry in manifest['Installers']]
if [name.lower() for name in named] != [digest]:
    sys.exit('%s names %s, not %s' % (manifest_file, named, digest))
