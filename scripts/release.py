#!/usr/bin/env python3
"""release.py: makes the release files from a staged dist/ tree.

    release.py --dist DIR --out DIR --version X.Y.Z --product NAME --company NAME [--with-stand-ins]
               [--debug-files DIR]

Writes into --out: velmar-<version>.msi (built with wixl from a WiX source generated from the tree's
file list), velmar-<version>.zip (the same files in the dist layout), with --debug-files
velmar-<version>-debug.zip (the debug information of the stripped binaries, as cmake/stage-dist
keeps it) and SHA256SUMS. The file list is
read from the tree, so whatever the build stages is packaged without edits here. Without
--with-stand-ins the stand-in scanner libraries are left out: on a PC the vendor's DLLs go in their
place. With it the names say so: velmar-<version>-with-stand-ins.msi and .zip, so the two never mix.
SHA256SUMS lists every package written into --out, both kinds.

The installer lays the tree down under Program Files\\<product> (the public property INSTALLDIR moves
it, and later packages remember the folder); it has one upgrade code for every version, so a newer
package, or a rebuilt package of the same version, replaces the installed one in place (major upgrade)
and one product stays registered; an older package is refused. It installs on 64-bit Windows 7 SP1 and
later. Its uninstall removes exactly the files it installed.
"""
import argparse
import hashlib
import os
import re
import subprocess
import sys
import tempfile
import uuid
import zipfile
from xml.sax.saxutils import quoteattr

# The same for every version: Windows Installer finds an older velmar by it.
UPGRADE_CODE = "{6C1E2B7A-3F0D-4D8E-9A51-2B7C4E9D0F13}"
# Component GUIDs are derived from the installed path, so a file keeps its component across versions.
COMPONENT_NAMESPACE = uuid.UUID("0b7f3c52-6a1d-4e0f-8c2b-95d4e7a1f630")
# The vendors' library names; our stand-ins carry them so the vendor's DLLs replace them unchanged.
STAND_INS = {"ftrscanapi.dll", "ftrmathapi.dll", "ftransisdk.dll", "dpfpdd.dll"}
# The property wixl's MajorUpgrade sets when it finds an installed product to replace.
UPGRADE_ACTION_PROPERTY = "WIX_UPGRADE_DETECTED"
# Upgrade table attributes: migrate feature states (1), and include VersionMax itself (512).
MIGRATE_FEATURES = 1
VERSION_MAX_INCLUSIVE = 512


def fail(text):
    print(f"release: {text}", file=sys.stderr)
    sys.exit(1)


def package_base_name(product, version, with_stand_ins):
    """The file name of the packages without extension: the stand-ins' packages say that they carry
    them, so a package for a PC with the vendor's libraries is never confused with a trial one."""
    return f"{product}-{version}-with-stand-ins" if with_stand_ins else f"{product}-{version}"


def upgrade_elements(product):
    """MajorUpgrade (an older installed version is removed first; a newer one refuses the install) and
    the launch condition on the Windows version: 64-bit Windows 7 SP1 (6.1) or later."""
    return f"""<MajorUpgrade DowngradeErrorMessage="A newer version of {product} is already installed."/>
    <Condition Message={quoteattr(f"{product} needs 64-bit Windows 7 SP1 or later.")}>Installed OR VersionNT64 &gt; 601 OR (VersionNT64 = 601 AND ServicePackLevel &gt;= 1)</Condition>"""


def remembered_install_dir(product):
    """The folder given as INSTALLDIR, kept in the registry (HKLM\\Software\\<product>, InstallDir) and
    read back by every later run of a package: an uninstall then finds the files where they are, and an
    upgrade installs into the same folder without being told again. Returns the property search, the
    component that writes the value (inside INSTALLDIR) and the component's id."""
    key = f"Software\\{product}"
    guid = str(uuid.uuid5(COMPONENT_NAMESPACE, "registry/InstallDir")).upper()
    search = f"""<Property Id="INSTALLDIR">
      <RegistrySearch Id="RememberedInstallDir" Root="HKLM" Key={quoteattr(key)} Name="InstallDir" Type="raw" Win64="yes"/>
    </Property>"""
    component = f"""          <Component Id="C_InstallDir" Guid="{{{guid}}}" Win64="yes">
            <RegistryValue Root="HKLM" Key={quoteattr(key)} Name="InstallDir" Type="string" Value="[INSTALLDIR]" KeyPath="yes"/>
          </Component>"""
    return search, component, "C_InstallDir"


def allow_same_version_upgrade(msi):
    """wixl's MajorUpgrade finds installed versions strictly below the package's, so a rebuilt package of
    the same version (a new product code) would install beside the old one: two entries in Add/Remove
    Programs. The Upgrade table row that finds products to remove gets VersionMaxInclusive, which makes
    the same version one to replace as well. The table is exported, changed and imported back with
    msitools (its Attributes column is part of the key, so SQL cannot update it)."""
    export = subprocess.run(["msiinfo", "export", msi, "Upgrade"], capture_output=True, text=True)
    if export.returncode != 0:
        fail(f"msiinfo export {msi} Upgrade failed: {export.stderr}")
    lines = export.stdout.replace("\r\n", "\n").split("\n")
    header, changed = lines[:3], 0
    rows = []
    for line in lines[3:]:
        if not line:
            continue
        fields = line.split("\t")  # UpgradeCode VersionMin VersionMax Language Attributes Remove ActionProperty
        if fields[6] == UPGRADE_ACTION_PROPERTY:
            fields[4] = str(int(fields[4]) | MIGRATE_FEATURES | VERSION_MAX_INCLUSIVE)
            changed += 1
        rows.append("\t".join(fields))
    if changed != 1:
        fail(f"the Upgrade table of {msi} has {changed} rows for {UPGRADE_ACTION_PROPERTY}, want 1")
    with tempfile.TemporaryDirectory() as folder:
        idt = os.path.join(folder, "Upgrade.idt")
        with open(idt, "w", newline="\r\n") as f:
            f.write("\n".join(header + rows) + "\n")
        imported = subprocess.run(["msibuild", msi, "-i", idt], capture_output=True, text=True)
        if imported.returncode != 0:
            fail(f"msibuild {msi} -i Upgrade.idt failed: {imported.stderr}")


def write_checksums(out, written):
    """SHA256SUMS in out: the packages just written, and those of the other kind already there."""
    path = os.path.join(out, "SHA256SUMS")
    sums = {}
    if os.path.exists(path):
        with open(path) as f:
            for line in f:
                digest, _, name = line.rstrip("\n").partition("  ")
                if name and os.path.exists(os.path.join(out, name)):
                    sums[name] = digest
    for written_path in written:
        sums[os.path.basename(written_path)] = sha256(written_path)
    with open(path, "w") as f:
        for name in sorted(sums):
            f.write(f"{sums[name]}  {name}\n")
    return path


def shipped_files(dist, with_stand_ins):
    """Relative paths (with /) of the files to ship, sorted."""
    files = []
    for folder, dirs, names in os.walk(dist):
        dirs.sort()
        for name in sorted(names):
            rel = os.path.relpath(os.path.join(folder, name), dist).replace(os.sep, "/")
            if not with_stand_ins and name.lower() in STAND_INS:
                continue
            files.append(rel)
    return sorted(files)


def msi_version(version):
    """Windows Installer compares the first three fields, each at most 255.255.65535."""
    m = re.fullmatch(r"(\d+)\.(\d+)\.(\d+)(?:\.\d+)?", version)
    if not m or int(m[1]) > 255 or int(m[2]) > 255 or int(m[3]) > 65535:
        fail(f"version {version!r} is not major.minor.patch within 255.255.65535")
    return f"{m[1]}.{m[2]}.{m[3]}"


def identifier(prefix, rel):
    """An MSI identifier (letters, digits, _ and .; at most 72 characters) unique for rel."""
    digest = hashlib.sha1(rel.encode()).hexdigest()[:10]
    tail = re.sub(r"[^A-Za-z0-9_.]", "_", rel)[-40:]
    return f"{prefix}_{digest}_{tail}"


def wix_source(dist, files, version, product, company, wxs_dir):
    tree = {}  # folder (tuple of parts) -> {"dirs": set, "files": list}
    def node(parts):
        return tree.setdefault(parts, {"dirs": set(), "files": []})
    for rel in files:
        parts = tuple(rel.split("/"))
        folder = parts[:-1]
        node(folder)["files"].append(rel)
        for i in range(len(folder)):
            node(folder[:i])["dirs"].add(folder[i])
            node(folder[:i + 1])
    components = []
    lines = []

    def emit(parts, indent):
        pad = " " * indent
        for rel in tree[parts]["files"]:
            cid = identifier("C", rel)
            guid = str(uuid.uuid5(COMPONENT_NAMESPACE, rel)).upper()
            # wixl takes sources relative to the WiX file's folder.
            source = os.path.relpath(os.path.join(dist, rel), wxs_dir)
            lines.append(f'{pad}<Component Id="{cid}" Guid="{{{guid}}}" Win64="yes">')
            lines.append(f'{pad}  <File Id={quoteattr(identifier("F", rel))} Name={quoteattr(rel.split("/")[-1])} '
                         f'Source={quoteattr(source)} KeyPath="yes"/>')
            lines.append(f"{pad}</Component>")
            components.append(cid)
        for name in sorted(tree[parts]["dirs"]):
            child = parts + (name,)
            lines.append(f'{pad}<Directory Id={quoteattr(identifier("D", "/".join(child)))} Name={quoteattr(name)}>')
            emit(child, indent + 2)
            lines.append(f"{pad}</Directory>")

    emit((), 10)
    install_dir_search, install_dir_component, install_dir_id = remembered_install_dir(product)
    lines.append(install_dir_component)
    components.append(install_dir_id)
    refs = "\n".join(f'      <ComponentRef Id="{c}"/>' for c in components)
    body = "\n".join(lines)
    return f"""<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name={quoteattr(product)} Language="1033" Version="{version}"
           Manufacturer={quoteattr(company)} UpgradeCode="{UPGRADE_CODE}">
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perMachine"
             Description={quoteattr(f"{product} {version}")} Manufacturer={quoteattr(company)}/>
    <Media Id="1" Cabinet="{product}.cab" EmbedCab="yes"/>
    {upgrade_elements(product)}
    <Property Id="ARPNOMODIFY" Value="1"/>
    {install_dir_search}
{service_properties(files)}
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFiles64Folder">
        <Directory Id="INSTALLDIR" Name={quoteattr(product)}>
{body}
        </Directory>
      </Directory>
    </Directory>
    <Feature Id="Complete" Title={quoteattr(product)} Level="1">
{refs}
    </Feature>
  </Product>
</Wix>
"""


# The local web service's installer properties (see service_properties):
# ALLOWED_ORIGINS="https://a.example http://localhost:8080" writes velmar-device-origins.txt beside the
# program; AUTOSTART=1 starts velmar-device.exe --serve at every user's log-on, without a console window.
SERVICE_STARTER = "velmar-service-start.exe"


def service_properties(files):
    """Product-level elements for the service's properties, or "" when the tree has no starter.

    velmar-service-start does the work as deferred custom actions (as the system account, once the
    files are in place): --set-origins writes the origins file, --set-autostart adds the value under
    the machine's Run key that runs the starter, a program without a window, at each log-on (not a
    Windows service: those run in session 0, where no capture window can be shown), and --uninstall
    removes both before the files go, except when an upgrade removes the older version (the settings
    stay for the newer one). The removal has its sequence number written out, just before RemoveFiles
    (3500): wixl puts an action placed with Before= first of all."""
    if SERVICE_STARTER not in files:
        return ""
    starter = identifier("F", SERVICE_STARTER)

    def action(name, command, check):
        return (f'    <CustomAction Id="{name}" FileKey="{starter}" ExeCommand={quoteattr(command)} '
                f'Execute="deferred" Impersonate="no" Return="{"check" if check else "ignore"}"/>')
    return "\n".join([
        action("SetAllowedOrigins", '--set-origins "[ALLOWED_ORIGINS]"', True),
        action("SetAutostart", "--set-autostart", True),
        action("RemoveServiceSettings", "--uninstall", False),
        "    <InstallExecuteSequence>",
        '      <Custom Action="SetAllowedOrigins" After="InstallFiles">ALLOWED_ORIGINS AND NOT REMOVE="ALL"</Custom>',
        '      <Custom Action="SetAutostart" After="SetAllowedOrigins">AUTOSTART="1" AND NOT REMOVE="ALL"</Custom>',
        '      <Custom Action="RemoveServiceSettings" Sequence="3400">REMOVE="ALL" AND NOT UPGRADINGPRODUCTCODE</Custom>',
        "    </InstallExecuteSequence>",
    ])


def sha256(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for chunk in iter(lambda: f.read(1 << 20), b""):
            h.update(chunk)
    return h.hexdigest()


def write_zip(zip_path, folder, rels):
    """Zips the files rels (relative paths with /) of folder; fixed timestamps keep the zip the same for
    the same files."""
    with zipfile.ZipFile(zip_path, "w", zipfile.ZIP_DEFLATED) as z:
        for rel in rels:
            info = zipfile.ZipInfo(rel, date_time=(2020, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            with open(os.path.join(folder, rel), "rb") as src:
                z.writestr(info, src.read())


def pack_debug_files(debug_dir, base):
    """Zips the debug files of the shipped binaries (DIR/<relative path>.debug, as cmake/stage-dist
    writes them) into <base>-debug.zip, beside the installer: a crash address from a PC reads back to a
    source line with them. Returns the zip's path."""
    rels = sorted(os.path.relpath(os.path.join(folder, name), debug_dir).replace(os.sep, "/")
                  for folder, _, names in os.walk(debug_dir) for name in names)
    if not rels:
        fail(f"no debug files in {debug_dir}")
    zip_path = base + "-debug.zip"
    write_zip(zip_path, debug_dir, rels)
    return zip_path


def main():
    ap = argparse.ArgumentParser(description="Makes the MSI, the zip and SHA256SUMS from a staged tree.")
    ap.add_argument("--dist", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--version", required=True)
    ap.add_argument("--product", required=True)
    ap.add_argument("--company", required=True)
    ap.add_argument("--with-stand-ins", action="store_true")
    ap.add_argument("--debug-files", help="folder of the binaries' debug files, packed beside the installer")
    args = ap.parse_args()

    version = msi_version(args.version)
    if not os.path.isdir(args.dist):
        fail(f"no staged tree at {args.dist}")
    files = shipped_files(args.dist, args.with_stand_ins)
    if not files:
        fail(f"{args.dist} holds no files")
    os.makedirs(args.out, exist_ok=True)
    base = os.path.join(args.out, package_base_name(args.product, version, args.with_stand_ins))

    wxs = base + ".wxs"
    with open(wxs, "w", encoding="utf-8") as f:
        f.write(wix_source(args.dist, files, version, args.product, args.company, args.out))
    msi = base + ".msi"
    run = subprocess.run(["wixl", "-a", "x64", "-o", msi, wxs], capture_output=True, text=True)
    if run.returncode != 0:
        fail(f"wixl failed with {run.returncode}:\n{run.stderr}")
    os.remove(wxs)
    allow_same_version_upgrade(msi)

    zip_path = base + ".zip"
    write_zip(zip_path, args.dist, files)

    written = [msi, zip_path]
    if args.debug_files:
        written.append(pack_debug_files(args.debug_files, base))

    sums = write_checksums(args.out, written)
    for path in written + [sums]:
        print(f"release: wrote {path}")


if __name__ == "__main__":
    main()
