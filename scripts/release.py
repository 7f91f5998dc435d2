#!/usr/bin/env python3
"""release.py: makes the release files from a staged dist/ tree.

    release.py --dist DIR --out DIR --version X.Y.Z --product NAME --company NAME [--with-stand-ins]

Writes into --out: velmar-<version>.msi (built with wixl from a WiX source generated from the tree's
file list), velmar-<version>.zip (the same files in the dist layout) and SHA256SUMS. The file list is
read from the tree, so whatever the build stages is packaged without edits here. Without
--with-stand-ins the stand-in scanner libraries are left out: on a PC the vendor's DLLs go in their
place. The installer lays the tree down under Program Files\\<product>; it has one upgrade code for
every version, so a newer package replaces an older one in place (major upgrade), and its uninstall
removes exactly the files it installed (log files the programs wrote beside them stay).
"""
import argparse
import hashlib
import os
import re
import subprocess
import sys
import uuid
import zipfile
from xml.sax.saxutils import quoteattr

# The same for every version: Windows Installer finds an older velmar by it.
UPGRADE_CODE = "{6C1E2B7A-3F0D-4D8E-9A51-2B7C4E9D0F13}"
# Component GUIDs are derived from the installed path, so a file keeps its component across versions.
COMPONENT_NAMESPACE = uuid.UUID("0b7f3c52-6a1d-4e0f-8c2b-95d4e7a1f630")
# The vendors' library names; our stand-ins carry them so the vendor's DLLs replace them unchanged.
STAND_INS = {"ftrscanapi.dll", "ftrmathapi.dll", "ftransisdk.dll", "dpfpdd.dll"}


def fail(text):
    print(f"release: {text}", file=sys.stderr)
    sys.exit(1)


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
    refs = "\n".join(f'      <ComponentRef Id="{c}"/>' for c in components)
    body = "\n".join(lines)
    return f"""<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name={quoteattr(product)} Language="1033" Version="{version}"
           Manufacturer={quoteattr(company)} UpgradeCode="{UPGRADE_CODE}">
    <Package InstallerVersion="500" Compressed="yes" InstallScope="perMachine"
             Description={quoteattr(f"{product} {version}")} Manufacturer={quoteattr(company)}/>
    <Media Id="1" Cabinet="{product}.cab" EmbedCab="yes"/>
    <MajorUpgrade DowngradeErrorMessage="A newer version of {product} is already installed."/>
    <Property Id="ARPNOMODIFY" Value="1"/>
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


def main():
    ap = argparse.ArgumentParser(description="Makes the MSI, the zip and SHA256SUMS from a staged tree.")
    ap.add_argument("--dist", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--version", required=True)
    ap.add_argument("--product", required=True)
    ap.add_argument("--company", required=True)
    ap.add_argument("--with-stand-ins", action="store_true")
    args = ap.parse_args()

    version = msi_version(args.version)
    if not os.path.isdir(args.dist):
        fail(f"no staged tree at {args.dist}")
    files = shipped_files(args.dist, args.with_stand_ins)
    if not files:
        fail(f"{args.dist} holds no files")
    os.makedirs(args.out, exist_ok=True)
    base = os.path.join(args.out, f"{args.product}-{version}")

    wxs = base + ".wxs"
    with open(wxs, "w", encoding="utf-8") as f:
        f.write(wix_source(args.dist, files, version, args.product, args.company, args.out))
    msi = base + ".msi"
    run = subprocess.run(["wixl", "-a", "x64", "-o", msi, wxs], capture_output=True, text=True)
    if run.returncode != 0:
        fail(f"wixl failed with {run.returncode}:\n{run.stderr}")
    os.remove(wxs)

    # Fixed timestamps keep the zip the same for the same files.
    zip_path = base + ".zip"
    with zipfile.ZipFile(zip_path, "w", zipfile.ZIP_DEFLATED) as z:
        for rel in files:
            info = zipfile.ZipInfo(rel, date_time=(2020, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            with open(os.path.join(args.dist, rel), "rb") as src:
                z.writestr(info, src.read())

    with open(os.path.join(args.out, "SHA256SUMS"), "w") as f:
        for path in (msi, zip_path):
            f.write(f"{sha256(path)}  {os.path.basename(path)}\n")
    for path in (msi, zip_path, os.path.join(args.out, "SHA256SUMS")):
        print(f"release: wrote {path}")


if __name__ == "__main__":
    main()
