#!/usr/bin/env python3
"""The Windows installer, tested for real: tools/package makes a release, Wine's msiexec
installs it into fresh copies of the session's prefix, and the tests look at what a user
and an administrator would see (files, signatures, Start menu, Installed apps, the
programs starting).

Runs inside tools/wine-session (it needs ZX_WINE_SESSION, ZX_SOURCE_DIR, ZX_BUILD_DIR and a
display) with these set by CTest:
  ZX_INSTALLER_WORK      this suite's folder in the build tree
  ZX_UI_DRIVE            the window driver zx_ui_drive.exe
  ZX_LOOPBACK_PROGRAM    Zephyrix.exe built with loopback addresses
  ZX_LOOPBACK_LAUNCHER   ZephyrixService.exe built with the loopback update address
  ZX_UPDATE_PEER         the update service's peer (update-peer.py) and its port,
  ZX_UPDATE_PEER_PORT    the one the loopback launcher asks

  installer_tests.py prepare          makes the release and the test MSIs (CTest fixture)
  installer_tests.py <TestCase> ...   runs tests, as unittest takes them
"""
import copy
import glob
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

import cyclonedx_check

SOURCE = os.environ.get("ZX_SOURCE_DIR", "")
BUILD = os.environ.get("ZX_BUILD_DIR", "")
WORK = os.environ.get("ZX_INSTALLER_WORK", "")
RELEASE = os.path.join(WORK, "release")
TSA = os.path.join(WORK, "timestamp-authority")
TEST_MSIS = os.path.join(WORK, "msi")

INSTALL_DIR = r"C:\Program Files\Zephyrix"
BACKUP_DIR = r"C:\ProgramData\Zephyrix\Backup"
# The access list the main program gives its backup folders (engine/BackupLocation.cpp).
BACKUP_SECURITY = "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;FR;;;BU)"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
OLDER_VERSION = "0.1.0"  # below any release
ERROR_INSTALL_FAILURE = 1603
# A Windows exit code reaches Unix through wine as its low byte only.
EXIT_INSTALL_FAILURE = ERROR_INSTALL_FAILURE & 0xFF
DOWNGRADE_MESSAGE = ("A newer version of Zephyrix is already installed. "
                     "To go back to this version, uninstall Zephyrix first.")


def settings():
    """The release's settings as tools/package reads them from the build."""
    values = {}
    with open(os.path.join(BUILD, "generated", "PackageSettings.txt")) as f:
        for line in f:
            name, _, value = line.strip().partition("=")
            if value and not name.startswith("#"):
                values[name] = value
    return values


def release_msi():
    return os.path.join(RELEASE, f"Zephyrix-{settings()['version']}-x64.msi")


def signed_programs():
    return [os.path.join(RELEASE, "package", "programs", name) for name in ("Zephyrix.exe", "ZephyrixService.exe")]


def built_programs():
    """The programs as built, before signing."""
    return [os.path.join(BUILD, "app", "Zephyrix.exe"), os.path.join(BUILD, "launcher", "ZephyrixService.exe")]


def release_sbom():
    return os.path.join(RELEASE, f"Zephyrix-{settings()['version']}-sbom.cdx.json")


def throw_away_certificate():
    return os.path.join(RELEASE, "package", "signing", "throw-away-cert.pem")


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def msi_property(msi, name):
    table = subprocess.run(["msiinfo", "export", msi, "Property"], check=True, capture_output=True, text=True)
    for row in table.stdout.splitlines():
        fields = row.rstrip("\r").split("\t")
        if fields[0] == name:
            return fields[1]
    return None


def verify_signature(path, roots):
    """osslsigncode's verdict on a file's signature: (passed, its report)."""
    result = subprocess.run(["osslsigncode", "verify", "-CAfile", roots, "-TSA-CAfile",
                             os.path.join(TSA, "tsa-cert.pem"), "-in", path],
                            capture_output=True, text=True, errors="replace")
    return result.returncode == 0, result.stdout + result.stderr


class TTimestampAuthority:
    """timestamp-peer.py for the duration of a with block; Url is its address."""

    def __enter__(self):
        shutil.rmtree(TSA, ignore_errors=True)
        self.FProcess = subprocess.Popen([sys.executable, os.path.join(os.path.dirname(__file__), "timestamp-peer.py"),
                                          TSA])
        port_file = os.path.join(TSA, "port")
        deadline = time.monotonic() + 30
        while not os.path.exists(port_file):
            if self.FProcess.poll() is not None or time.monotonic() > deadline:
                raise RuntimeError("the timestamp authority did not start")
            time.sleep(0.05)
        with open(port_file) as f:
            self.Url = f"http://127.0.0.1:{f.read().strip()}/"
        return self

    def __exit__(self, *error):
        self.FProcess.terminate()
        self.FProcess.wait()


def run_package(output, extra_environment):
    """tools/package --no-build into output, with the signing variables given (all others
    unset, whatever the developer's shell holds)."""
    environment = {name: value for name, value in os.environ.items() if not name.startswith("ZEPHYRIX_")}
    environment.update(extra_environment)
    return subprocess.run([os.path.join(SOURCE, "tools", "package"), "--no-build", "--output", output],
                          env=environment, capture_output=True, text=True)


def prepare():
    """The CTest fixture: the release, timestamped by the loopback authority, and the
    MSIs the scenarios need beside it."""
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    with TTimestampAuthority() as authority:
        package = run_package(RELEASE, {"ZEPHYRIX_TIMESTAMP_URL": authority.Url,
                                        "ZEPHYRIX_SIGN_CA_FILE": os.path.join(TSA, "tsa-cert.pem")})
    sys.stdout.write(package.stdout)
    sys.stderr.write(package.stderr)
    if package.returncode != 0:
        return 1
    values = settings()
    build_msi = os.path.join(SOURCE, "installer", "build-msi")
    program, launcher = signed_programs()
    for name, version, programs in [
            ("older", OLDER_VERSION, (program, launcher)),
            # The same version around other bytes (the programs unsigned): a new product code.
            ("rebuild", values["version"], built_programs()),
            ("loopback", values["version"], (os.environ["ZX_LOOPBACK_PROGRAM"], os.environ["ZX_LOOPBACK_LAUNCHER"]))]:
        subprocess.run([build_msi, version, values["short_link_url"], *programs,
                        os.path.join(TEST_MSIS, name + ".msi")], check=True)
    return 0


class ReleaseFiles(unittest.TestCase):
    """What tools/package leaves beside the MSI, checked without Wine."""

    def test_every_signed_file_verifies_with_its_timestamp(self):
        for path in [release_msi(), *signed_programs()]:
            with self.subTest(file=os.path.basename(path)):
                passed, report = verify_signature(path, throw_away_certificate())
                self.assertTrue(passed, report)
                self.assertRegex(report, r"Message digest algorithm\s*: SHA256")
                self.assertIn("Timestamp Server Signature verification: ok", report)

    def test_a_changed_byte_breaks_the_signature(self):
        def program_middle(data):
            return len(data) // 2  # inside the code, far from the signature at the end

        def inside_the_cabinet(data):
            return data.index(b"MSCF") + 64  # the programs' compressed bytes

        for path, offset_of in [(release_msi(), inside_the_cabinet),
                                *[(program, program_middle) for program in signed_programs()]]:
            with self.subTest(file=os.path.basename(path)), tempfile.TemporaryDirectory(dir=WORK) as scratch:
                with open(path, "rb") as f:
                    data = bytearray(f.read())
                offset = offset_of(data)
                data[offset] ^= 0x01
                changed = os.path.join(scratch, os.path.basename(path))
                with open(changed, "wb") as f:
                    f.write(data)
                passed, report = verify_signature(changed, throw_away_certificate())
                self.assertFalse(passed, f"byte {offset} changed, still verified:\n{report}")

    def test_checksums_cover_the_release(self):
        version = settings()["version"]
        sums = os.path.join(RELEASE, f"Zephyrix-{version}-SHA256SUMS.txt")
        check = subprocess.run(["sha256sum", "--check", "--strict", sums], cwd=RELEASE, capture_output=True,
                               text=True)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)
        with open(sums) as f:
            listed = sorted(line.split("  ", 1)[1].strip() for line in f)
        self.assertEqual(listed, sorted([f"Zephyrix-{version}-x64.msi", f"Zephyrix-{version}-sbom.cdx.json",
                                         "winget/Moravel.Zephyrix.installer.yaml",
                                         "winget/Moravel.Zephyrix.locale.en-US.yaml",
                                         "winget/Moravel.Zephyrix.yaml"]))

    def test_unsigned_msi_is_the_same_whenever_and_wherever_it_is_built(self):
        values = settings()
        built = []
        for number in range(2):
            with tempfile.TemporaryDirectory(dir=WORK) as scratch:
                # Copies with other file times, from another folder, a second later.
                programs = []
                for signed in signed_programs():
                    programs.append(os.path.join(scratch, os.path.basename(signed)))
                    shutil.copy(signed, programs[-1])
                    os.utime(programs[-1], (1e9 + number * 86400, 1e9 + number * 86400))
                output = os.path.join(WORK, f"reproduced-{number}.msi")
                subprocess.run([os.path.join(SOURCE, "installer", "build-msi"), values["version"],
                                values["short_link_url"], *programs, output], cwd=scratch, check=True)
                built.append(output)
            time.sleep(1.1)
        for msi in [built[1], os.path.join(RELEASE, "package", "unsigned.msi")]:
            with self.subTest(compared_with=os.path.relpath(msi, WORK)), open(built[0], "rb") as f, \
                    open(msi, "rb") as g:
                first, other = f.read(), g.read()
                differing = [at for at in range(min(len(first), len(other))) if first[at] != other[at]]
                self.assertEqual((len(first), differing[:10]), (len(other), []), "bytes differ")

    def test_other_programs_give_other_codes(self):
        release, loopback = release_msi(), os.path.join(TEST_MSIS, "loopback.msi")
        self.assertNotEqual(msi_property(release, "ProductCode"), msi_property(loopback, "ProductCode"))
        self.assertEqual(msi_property(release, "UpgradeCode"), msi_property(loopback, "UpgradeCode"))

        def package_code(msi):
            info = subprocess.run(["msiinfo", "suminfo", msi], check=True, capture_output=True, text=True).stdout
            return re.search(r"Revision number \(UUID\): (\S+)", info).group(1)

        self.assertNotEqual(package_code(release), package_code(loopback))
        self.assertNotEqual(package_code(release), msi_property(release, "ProductCode"))

    def test_sbom_names_what_each_program_is_made_of(self):
        with open(release_sbom()) as f:
            bom = json.load(f)
        self.assertEqual(cyclonedx_check.problems(bom), [])
        project = bom["metadata"]["component"]
        self.assertEqual((project["name"], project["version"]), ("Zephyrix", settings()["version"]))
        properties = {p["name"]: p["value"] for p in project["properties"]}
        head = subprocess.run(["git", "-C", SOURCE, "rev-parse", "HEAD"], capture_output=True, text=True).stdout.strip()
        self.assertIn(properties["zephyrix:source-commit"], [head, head + "+modified"])
        self.assertEqual(properties["zephyrix:build-setting:ZEPHYRIX_SHORTLINK_URL"], settings()["short_link_url"])

        components = {c["bom-ref"]: c for c in bom["components"]}
        uses = {d["ref"]: d["dependsOn"] for d in bom["dependencies"]}
        for program in built_programs():
            name = os.path.basename(program)
            with self.subTest(program=name):
                self.assertEqual(components[f"program:{name}"]["hashes"], [{"alg": "SHA-256", "content": sha256(program)}])
                linked = {components[ref]["name"]: components[ref] for ref in uses[f"program:{name}"]}
                for library, package in [("libstdc++", "g++-mingw-w64-x86-64-posix"),
                                         ("libgcc", "gcc-mingw-w64-x86-64-posix"),
                                         ("winpthreads", "mingw-w64-x86-64-dev"),
                                         ("mingw-w64-runtime", "mingw-w64-x86-64-dev"), ("zephyrix", None)]:
                    self.assertIn(library, linked)
                    if package:
                        installed = subprocess.run(["dpkg-query", "-W", "-f", "${Version}", package],
                                                   capture_output=True, text=True, check=True).stdout
                        self.assertEqual(linked[library]["version"], installed, library)
                        self.assertTrue(linked[library]["purl"].startswith(f"pkg:deb/debian/{package}@"), library)

    def test_sbom_checker_finds_what_the_schema_forbids(self):
        with open(release_sbom()) as f:
            good = json.load(f)

        def without(*path):
            def change(bom):
                for key in path[:-1]:
                    bom = bom[key]
                del bom[path[-1]]
            return change

        def setting(value, *path):
            def change(bom):
                for key in path[:-1]:
                    bom = bom[key]
                bom[path[-1]] = value
            return change

        def twice(bom):
            bom["components"].append(copy.deepcopy(bom["components"][0]))

        for case, change, expected in [
                ("no bomFormat", without("bomFormat"), "bomFormat"),
                ("another format", setting("SPDX", "bomFormat"), "bomFormat"),
                ("specVersion 1.4", setting("1.4", "specVersion"), "specVersion"),
                ("serial number not a urn", setting("1234", "serialNumber"), "serialNumber"),
                ("version 0", setting(0, "version"), "version"),
                ("version as text", setting("1", "version"), "version"),
                ("no metadata.component", without("metadata", "component"), "metadata.component"),
                ("timestamp without zone", setting("2024-01-01T00:00:00", "metadata", "timestamp"), "timestamp"),
                ("unknown component type", setting("program", "components", 0, "type"), "components[0].type"),
                ("component without name", without("components", 1, "name"), "components[1].name"),
                ("component without version", without("components", 2, "version"), "components[2].version"),
                ("component without purl", without("components", 0, "purl"), "components[0].purl"),
                ("hash of the wrong length", setting([{"alg": "SHA-256", "content": "abc"}], "components", 0,
                                                     "hashes"), "hashes[0]"),
                ("unknown field", setting("x", "components", 0, "program"), "unknown field program"),
                ("bom-ref twice", twice, "bom-ref used twice"),
                ("dependency on nothing", setting(["nowhere"], "dependencies", 0, "dependsOn"), "nowhere")]:
            with self.subTest(case):
                broken = copy.deepcopy(good)
                change(broken)
                found = cyclonedx_check.problems(broken)
                self.assertTrue(any(expected in problem for problem in found), found)

    def test_winget_manifest_describes_the_msi(self):
        values = settings()
        manifests = {}
        for path in glob.glob(os.path.join(RELEASE, "winget", "*.yaml")):
            with open(path) as f:
                manifests[os.path.basename(path)] = f.read()
        self.assertEqual(sorted(manifests), ["Moravel.Zephyrix.installer.yaml",
                                             "Moravel.Zephyrix.locale.en-US.yaml", "Moravel.Zephyrix.yaml"])
        for name, text in manifests.items():
            with self.subTest(manifest=name):
                self.assertRegex(text, r"(?m)^PackageIdentifier: Moravel\.Zephyrix$")
                self.assertIn(f"\nPackageVersion: {values['version']}\n", text)
                self.assertRegex(text, r"(?m)^ManifestVersion: 1\.12\.0$")
                self.assertNotIn("@", text, "a template placeholder was left")

        installer = manifests["Moravel.Zephyrix.installer.yaml"]
        msi = release_msi()
        self.assertIn(f"\n  InstallerSha256: {sha256(msi).upper()}\n", installer)
        self.assertIn(f"\n  InstallerUrl: '{values['download_url']}/{os.path.basename(msi)}'\n", installer)
        self.assertIn(f"\nProductCode: '{msi_property(msi, 'ProductCode')}'\n", installer)
        self.assertIn(f"\n  UpgradeCode: '{msi_property(msi, 'UpgradeCode')}'\n", installer)
        self.assertIn(f"\n  DisplayVersion: {values['version']}\n", installer)

    def test_signs_with_the_certificate_from_the_environment(self):
        with tempfile.TemporaryDirectory(dir=WORK) as scratch:
            ca_key, ca, key, request, cert = (os.path.join(scratch, name) for name in
                                              ("ca-key.pem", "ca.pem", "key.pem", "request.pem", "cert.pem"))
            extensions = os.path.join(scratch, "extensions.cnf")
            with open(extensions, "w") as f:
                f.write("keyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n")
            openssl = [
                ["req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "30", "-subj", "/CN=Test code-signing CA",
                 "-keyout", ca_key, "-out", ca],
                ["req", "-newkey", "rsa:2048", "-days", "30", "-subj", "/O=Moravel/CN=Zephyrix test signer",
                 "-passout", "pass:key secret", "-keyout", key, "-out", request],
                ["x509", "-req", "-in", request, "-CA", ca, "-CAkey", ca_key, "-CAcreateserial", "-days", "30",
                 "-extfile", extensions, "-out", cert]]
            for arguments in openssl:
                subprocess.run(["openssl", *arguments], check=True, capture_output=True)
            output = os.path.join(scratch, "release")

            package = run_package(output, {"ZEPHYRIX_SIGN_CERT": cert, "ZEPHYRIX_SIGN_KEY": key,
                                           "ZEPHYRIX_SIGN_KEY_PASSWORD": "key secret", "ZEPHYRIX_SIGN_CA_FILE": ca})

            self.assertEqual(package.returncode, 0, package.stdout + package.stderr)
            self.assertNotIn("throw-away", package.stdout)
            msi = os.path.join(output, os.path.basename(release_msi()))
            passed, report = verify_signature(msi, ca)
            self.assertTrue(passed, report)
            self.assertIn("Subject: /O=Moravel/CN=Zephyrix test signer", report)
            self.assertFalse(os.path.exists(os.path.join(output, "package", "key-password")))

    def test_refuses_a_certificate_without_its_key(self):
        for variables in [{"ZEPHYRIX_SIGN_CERT": throw_away_certificate()},
                          {"ZEPHYRIX_SIGN_KEY": throw_away_certificate()}]:
            with self.subTest(given=list(variables)), tempfile.TemporaryDirectory(dir=WORK) as scratch:
                package = run_package(os.path.join(scratch, "release"), variables)
                self.assertNotEqual(package.returncode, 0)
                self.assertIn("set both ZEPHYRIX_SIGN_CERT and ZEPHYRIX_SIGN_KEY", package.stderr)


class TScratchPrefix:
    """A copy of the session's prefix with a wineserver of its own, removed at the end."""

    def __init__(self, name):
        self.Path = os.path.join(WORK, "prefix-" + name)
        self.Environment = dict(os.environ, WINEPREFIX=self.Path)
        self.FBackground = []

    def __enter__(self):
        shutil.rmtree(self.Path, ignore_errors=True)
        subprocess.run(["cp", "-a", os.environ["ZX_WINE_SESSION"], self.Path], check=True)
        subprocess.run(["wineserver", "-p"], env=self.Environment, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        # Wine's services and desktop start now, detached from the tests' pipes.
        self.wine("cmd", "/c", "exit")
        return self

    def __exit__(self, *error):
        subprocess.run(["wineserver", "-k"], env=self.Environment, capture_output=True)
        for process in self.FBackground:
            process.wait()
        shutil.rmtree(self.Path, ignore_errors=True)

    def unix_path(self, windows_path):
        drive, _, rest = windows_path.partition(":\\")
        assert drive.upper() == "C", windows_path
        return os.path.join(self.Path, "drive_c", *rest.split("\\"))

    def wine(self, *arguments, timeout=120):
        """Runs a Windows program to its end; its exit code (low byte) and output. The output
        goes through a file: a pipe would stay open as long as anything the program started
        (Wine's services, a custom action's server) lives on."""
        with tempfile.TemporaryFile(dir=WORK) as output:
            code = subprocess.run(["timeout", "--kill-after=5", str(timeout), "wine", *arguments],
                                  env=self.Environment, stdin=subprocess.DEVNULL, stdout=output,
                                  stderr=subprocess.DEVNULL).returncode
            output.seek(0)
            return code, output.read().decode(errors="replace")

    def start(self, *arguments):
        """Starts a Windows program and does not wait for it."""
        process = subprocess.Popen(["timeout", "--kill-after=5", "120", "wine", *arguments], env=self.Environment,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.FBackground.append(process)
        return process

    def msiexec(self, *arguments):
        code, _ = self.wine("msiexec", *arguments)
        return code

    def drive(self, *arguments):
        return self.wine(os.environ["ZX_UI_DRIVE"], *arguments, timeout=60)

    def registry(self, key):
        """Every key below key (itself included) with its values: {key: {name: value}}."""
        code, output = self.wine("reg", "query", key, "/s")
        keys, current = {}, None
        for line in output.splitlines():
            line = line.rstrip("\r")
            value = re.match(r"^    (.+?)    (REG_\w+)    ?(.*)$", line)
            if value and current is not None:
                keys[current][value.group(1)] = value.group(3)
            elif line.startswith("HKEY_"):
                current = line
                keys[current] = {}
        return keys if code == 0 else {}

    def write_value(self, key, name, value):
        code, output = self.wine("reg", "add", key, "/v", name, "/t", "REG_SZ", "/d", value, "/f")
        assert code == 0, output

    def uninstall_entries(self):
        """The Installed-apps entries named Zephyrix: {product code: values}."""
        return {key.rsplit("\\", 1)[1]: values for key, values in self.registry(UNINSTALL_KEY).items()
                if values.get("DisplayName") == "Zephyrix"}

    def shortcuts(self):
        """Start-menu shortcuts named Zephyrix, for all users or the user."""
        drive_c = os.path.join(self.Path, "drive_c")
        return (glob.glob(os.path.join(drive_c, "ProgramData", "Microsoft", "Windows", "Start Menu", "Programs",
                                       "Zephyrix.lnk")) +
                glob.glob(os.path.join(drive_c, "users", "*", "AppData", "Roaming", "Microsoft", "Windows",
                                       "Start Menu", "Programs", "Zephyrix.lnk")))


class TInstallerTestCase(unittest.TestCase):
    def assert_installed(self, prefix, msi):
        """One Installed-apps entry, this MSI's, and both programs in Program Files."""
        entries = prefix.uninstall_entries()
        self.assertEqual(list(entries), [msi_property(msi, "ProductCode")])
        self.assertEqual(next(iter(entries.values()))["DisplayVersion"], msi_property(msi, "ProductVersion"))
        for name in ("Zephyrix.exe", "ZephyrixService.exe"):
            self.assertTrue(os.path.isfile(prefix.unix_path(INSTALL_DIR + "\\" + name)), name)

    def assert_main_window_of(self, prefix, program):
        code, _ = prefix.drive("wait-window")
        self.assertEqual(code, 0, "the main window did not show")
        code, shown_by = prefix.drive("window-program")
        self.assertEqual(shown_by.strip().lower(), program.lower())
        code, _ = prefix.drive("close")
        self.assertEqual(code, 0, "the main window did not close")


class SilentInstall(TInstallerTestCase):
    """An administrator's deployment: msiexec /i /qn, then msiexec /x /qn."""

    def test_installs_everything_and_uninstall_keeps_the_users_data(self):
        msi = release_msi()
        values = settings()
        with TScratchPrefix("silent") as prefix:
            self.assertEqual(prefix.msiexec("/i", wine_path(msi), "/qn"), 0)

            self.assert_installed(prefix, msi)
            # The backup folders exist from installation on, so no user can make them first,
            # and are made with the program's own access list (Wine keeps no access lists:
            # the table that gives it is checked instead).
            backups = prefix.unix_path(BACKUP_DIR)
            self.assertTrue(os.path.isdir(backups), BACKUP_DIR)
            locks = subprocess.run(["msiinfo", "export", msi, "MsiLockPermissionsEx"], check=True,
                                   capture_output=True, text=True).stdout.splitlines()[3:]
            self.assertEqual(sorted(tuple(row.split("\t")[1:4]) for row in locks),
                             [("BACKUPDIR", "CreateFolder", BACKUP_SECURITY), ("DATADIR", "CreateFolder", BACKUP_SECURITY)])
            for signed in signed_programs():
                installed = prefix.unix_path(INSTALL_DIR + "\\" + os.path.basename(signed))
                with self.subTest(program=os.path.basename(signed)):
                    self.assertEqual(sha256(installed), sha256(signed))
                    passed, report = verify_signature(installed, throw_away_certificate())
                    self.assertTrue(passed, report)

            shortcuts = prefix.shortcuts()
            self.assertEqual(len(shortcuts), 1, shortcuts)
            with open(shortcuts[0], "rb") as f:
                link = f.read()
            target = INSTALL_DIR + r"\Zephyrix.exe"
            self.assertTrue(target.encode() in link or target.encode("utf-16-le") in link, "shortcut target")

            entry = next(iter(prefix.uninstall_entries().values()))
            product_page = values["short_link_url"] + "/zephyrix"
            for name, expected in [("DisplayName", "Zephyrix"), ("Publisher", "Moravel"),
                                   ("DisplayVersion", values["version"]),
                                   ("DisplayIcon", INSTALL_DIR + r"\Zephyrix.exe,0"),
                                   ("InstallLocation", INSTALL_DIR + "\\"),
                                   ("HelpLink", product_page), ("URLInfoAbout", product_page),
                                   ("NoModify", "0x1")]:
                with self.subTest(value=name):
                    self.assertEqual(entry.get(name), expected)

            prefix.start(INSTALL_DIR + r"\Zephyrix.exe")
            self.assert_main_window_of(prefix, INSTALL_DIR + r"\Zephyrix.exe")

            # What the programs keep per user: stays, as Windows expects of per-user data.
            prefix.write_value(r"HKCU\Software\Zephyrix", "InstallerTest", "kept")
            prefix.write_value(r"HKCU\Software\Moravel", "KUID", "installer-test-identifier")
            backup = os.path.join(backups, "{00000000-0000-0000-0000-000000000000} 2026-01-01 00-00-00.reg")
            with open(backup, "w", encoding="utf-8") as f:
                f.write("kept")
            self.assertEqual(prefix.msiexec("/x", wine_path(msi), "/qn"), 0)
            # The machine's backups stay, with their folders, until an administrator deletes them.
            self.assertTrue(os.path.isfile(backup), backup)

            self.assertEqual(prefix.uninstall_entries(), {})
            self.assertEqual(prefix.shortcuts(), [])
            self.assertFalse(os.path.exists(prefix.unix_path(INSTALL_DIR)))
            self.assertEqual(prefix.registry(r"HKCU\Software\Zephyrix").get(
                r"HKEY_CURRENT_USER\Software\Zephyrix", {}).get("InstallerTest"), "kept")
            self.assertEqual(prefix.registry(r"HKCU\Software\Moravel").get(
                r"HKEY_CURRENT_USER\Software\Moravel", {}).get("KUID"), "installer-test-identifier")


class Upgrade(TInstallerTestCase):
    """A newer version replaces an older one; an older one is refused."""

    def test_replaces_older_and_refuses_to_go_back(self):
        msi = release_msi()
        older = os.path.join(TEST_MSIS, "older.msi")
        rebuild = os.path.join(TEST_MSIS, "rebuild.msi")
        with TScratchPrefix("upgrade") as prefix:
            self.assertEqual(prefix.msiexec("/i", wine_path(older), "/qn"), 0)
            self.assert_installed(prefix, older)

            self.assertEqual(prefix.msiexec("/i", wine_path(msi), "/qn"), 0)
            self.assert_installed(prefix, msi)

            # Silently: refused with the installation-failure code.
            self.assertEqual(prefix.msiexec("/i", wine_path(older), "/qn"), EXIT_INSTALL_FAILURE)
            self.assert_installed(prefix, msi)

            # Interactively: the user reads why.
            installing = prefix.start("msiexec", "/i", wine_path(older))
            code, _ = prefix.drive("answer-box", DOWNGRADE_MESSAGE, "1")
            self.assertEqual(code, 0, "no message box saying why the older version is refused")
            self.assertEqual(installing.wait(60), EXIT_INSTALL_FAILURE)
            self.assert_installed(prefix, msi)

            # Another build of the same version takes the place of the first.
            self.assertEqual(prefix.msiexec("/i", wine_path(rebuild), "/qn"), 0)
            self.assert_installed(prefix, rebuild)


class TUpdatePeer:
    """update-peer.py on the loopback launcher's port, for the duration of a with block."""

    def __enter__(self):
        self.FControl = tempfile.mkdtemp(dir=WORK, prefix="update-peer.")
        self.FProcess = subprocess.Popen([sys.executable, os.environ["ZX_UPDATE_PEER"],
                                          os.environ["ZX_UPDATE_PEER_PORT"], self.FControl])
        if not wait_until(lambda: os.path.exists(os.path.join(self.FControl, "port"))):
            raise RuntimeError("the update peer did not start")
        # "200 OK" with an empty body: no update, so the launcher goes on.
        open(os.path.join(self.FControl, "answer"), "wb").close()
        return self

    def __exit__(self, *error):
        self.release()
        open(os.path.join(self.FControl, "stop"), "w").close()
        self.FProcess.wait()
        shutil.rmtree(self.FControl, ignore_errors=True)

    def hold(self):
        """Requests wait for their answer until release()."""
        open(os.path.join(self.FControl, "hold"), "w").close()

    def release(self):
        if os.path.exists(os.path.join(self.FControl, "hold")):
            os.remove(os.path.join(self.FControl, "hold"))

    def requests(self):
        """Every request so far: [(request line, [header lines])]."""
        seen = []
        try:
            with open(os.path.join(self.FControl, "requests.log"), encoding="latin-1") as log:
                # Per request: "request <time>", the request line, the header lines, "".
                for block in log.read().split("\n\n"):
                    lines = block.splitlines()
                    if len(lines) >= 2 and lines[0].startswith("request "):
                        seen.append((lines[1], lines[2:]))
        except FileNotFoundError:
            pass
        return seen


def wait_until(condition, seconds=15):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.05)
    return True


class InteractiveStart(TInstallerTestCase):
    """The end of an interactive installation, with the programs built for loopback: the
    update service is started with /inst and not waited for, it asks the update peer and
    then starts the installed program. Silent installations and ZX_START_AFTER_INSTALL=0
    start nothing."""

    IDENTIFIER = "installer-test-identifier"

    def test_starts_the_update_service_which_starts_the_program(self):
        msi = os.path.join(TEST_MSIS, "loopback.msi")
        with TScratchPrefix("interactive") as prefix, TUpdatePeer() as peer:
            # The installing user's own client identifier, which the update service sends.
            prefix.write_value(r"HKCU\Software\Moravel", "KUID", self.IDENTIFIER)
            peer.hold()

            installing = prefix.start("msiexec", "/i", wine_path(msi))
            try:
                code = installing.wait(60)
            except subprocess.TimeoutExpired:
                self.fail("msiexec waited for the update service")
            self.assertEqual(code, 0)
            self.assert_installed(prefix, msi)

            self.assertTrue(wait_until(lambda: peer.requests()), "the update service did not ask for updates")
            line, headers = peer.requests()[0]
            self.assertTrue(line.startswith("GET /api.init.php "), line)
            self.assertIn("User-Union: " + self.IDENTIFIER, headers)
            # Still waiting for its answer: the program is not started before the check ends.
            self.assertNotEqual(prefix.drive("window-program")[0], 0)

            peer.release()
            self.assert_main_window_of(prefix, INSTALL_DIR + r"\Zephyrix.exe")
            self.assertEqual(len(peer.requests()), 1)

    def test_starts_nothing_when_silent_or_told_not_to(self):
        msi = os.path.join(TEST_MSIS, "loopback.msi")
        for case, arguments in [("silent", ["/qn"]), ("progress only", ["/qb"]),
                                ("start turned off", ["ZX_START_AFTER_INSTALL=0"])]:
            with self.subTest(case), TScratchPrefix("quiet") as prefix, TUpdatePeer() as peer:
                self.assertEqual(prefix.msiexec("/i", wine_path(msi), *arguments), 0)
                self.assert_installed(prefix, msi)
                time.sleep(5)  # a started update service asks within a second
                self.assertEqual(peer.requests(), [])
                self.assertNotEqual(prefix.drive("window-program")[0], 0, "a main window showed")


if __name__ == "__main__":
    if sys.argv[1:] == ["prepare"]:
        sys.exit(prepare())
    unittest.main(verbosity=2)
