#!/usr/bin/env python3
"""Writes the Windows Package Manager's manifest for one architecture's
CorvaneSetup.exe: a singleton manifest, version 1.10.0.

  winget_manifest.py ARCH INSTALLER OUT [RELEASE_URL]

ARCH is win32 or win64; INSTALLER the built CorvaneSetup.exe, whose
SHA-256 the manifest gives. The installer's address is RELEASE_URL/ARCH/
CorvaneSetup.exe; without RELEASE_URL it is a placeholder that says so,
under the reserved domain .invalid, which no package manager can reach.

The switches, exit codes and Apps & features entry are the setup's own:
a completed run ends with 1, and the entry is the key CorvanePro32 under
the Uninstall key, with the name, version and publisher the setup writes.
"""
import hashlib
import sys

PLACEHOLDER = 'https://corvane-release-url-not-set.invalid/set-CORVANE_RELEASE_URL'

# The setup's exit codes other than 1, with the package manager's response
# where one matches what the code means.
RETURN_CODES = [
    (2, 'invalidParameter'),  # a switch, the folder or the archive given wrong
    (3, 'downgrade'),         # a newer version is installed
    (4, 'custom'),            # the archive or its code refused, or a damaged download
    (5, 'custom'),            # the target folder cannot be made, or users may change it
    (6, 'diskFull'),
    (7, 'fileInUse'),
    (8, 'custom'),            # another file could not be written
    (9, 'custom'),            # a window could not be made, or SETUP.EXE not started
    (10, 'custom'),           # installed, but the Start menu group could not be made
]

MANIFEST = '''\
# yaml-language-server: $schema=https://aka.ms/winget-manifest.singleton.1.10.0.schema.json
# Written by the release (tools/release.sh) for the {arch} build.
PackageIdentifier: Melvro.CorvanePro32
PackageVersion: "2.0"
PackageLocale: en-US
Publisher: Melvro
PackageName: Corvane Pro32
License: Proprietary
ShortDescription: A 32-bit Windows archiving application.
Installers:
  - Architecture: {architecture}
    InstallerType: exe
    Scope: machine
    ElevationRequirement: elevatesSelf
    InstallerUrl: {url}
    InstallerSha256: {sha256}
    InstallModes:
      - interactive
      - silent
      - silentWithProgress
    InstallerSwitches:
      Silent: /quiet
      SilentWithProgress: /passive
      InstallLocation: /dir=<INSTALLPATH>
      Log: /log=<LOGPATH>
    InstallerSuccessCodes:
      - 1
    ExpectedReturnCodes:
{return_codes}
    ProductCode: CorvanePro32
    AppsAndFeaturesEntries:
      - DisplayName: Corvane Pro32 2.0
        DisplayVersion: "2.0"
        Publisher: Melvro
        ProductCode: CorvanePro32
ManifestType: singleton
ManifestVersion: 1.10.0
'''


def main():
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    arch, installer, out = sys.argv[1:4]
    base = sys.argv[4].rstrip('/') if len(sys.argv) == 5 and sys.argv[4] else PLACEHOLDER
    with open(installer, 'rb') as f:
        sha256 = hashlib.sha256(f.read()).hexdigest().upper()
    codes = '\n'.join('      - InstallerReturnCode: %d\n        ReturnResponse: %s' % code for code in RETURN_CODES)
    with open(out, 'w', newline='\n') as f:
        f.write(MANIFEST.format(arch=arch, architecture={'win32': 'x86', 'win64': 'x64'}[arch],
                                url='%s/%s/CorvaneSetup.exe' % (base, arch), sha256=sha256,
                                return_codes=codes))


if __name__ == '__main__':
    main()
