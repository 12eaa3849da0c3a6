#!/usr/bin/env bash
# The 64-bit example installed twice with the same choices: into a chosen folder, VST 3 off, CLAP
# into a chosen folder. First through the window (the CLAP folder, which no page asks for, on its
# command line), then with /VERYSILENT and switches alone. Both leave the same files, registry
# values, shortcuts and uninstall record; each time the uninstaller started from the Uninstall
# key's QuietUninstallString takes everything away without a question.
# shellcheck disable=SC1003 # Windows folders end with a backslash inside single quotes
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Synth64 Setup (64-bit)"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
program="$drive_c/Studio/Synth64"
clap="$drive_c/Studio/CLAP"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Synth64 2.10 (64-bit)'
"$PLUGSETUP" build --version 2.1.0 -o "$E2E_OUT/Synth64Setup.exe" "$E2E_ROOT/examples/synth64"

# The files below drive C: (outside the Windows folder) before an installation.
list_files() { (cd "$drive_c" && find . -type f ! -path './windows/*' ! -path '*/Temp/*' ! -name '*.log' | sort); }

# Everything the installation wrote: the new files below drive C: with their digests, the
# product's keys, the Uninstall entry and the uninstall record.
snapshot() {
  local out=$E2E_OUT/$1.snapshot
  {
    list_files | comm -13 "$E2E_OUT/before.txt" - | while read -r file; do
      # A shortcut holds the times of its target: its texts are what it says.
      if [[ $file == *.lnk ]]; then
        printf '%s: %s\n' "$file" "$( (strings -a "$drive_c/$file"; strings -a -el "$drive_c/$file") | sort -u | tr '\n' ' ')"
      else
        (cd "$drive_c" && sha256sum "$file")
      fi
    done
    reg_export 'HKLM\Software\Example Audio' /reg:64
    reg_export 'HKCU\Software\Example Audio'
    reg_export "$uninstall_key"
    "$PLUGSETUP" log "$program/Uninst.exe"
  } >"$out"
  grep -q 'Studio/CLAP/Synth64.clap' "$out" || fail "$1: the CLAP plug-in is not in the chosen folder"
  ! grep -q 'VST3' "$out" || fail "$1: a VST 3 file was written"
  grep -q 'Synth64 Readme.lnk' "$out" || fail "$1: no Start menu shortcut"
}

# Runs the Uninstall key's QuietUninstallString as winget does: nothing shown, status 0, nothing left.
quiet_uninstall() {
  local name=$1 quiet
  quiet=$(reg_value "$uninstall_key" QuietUninstallString)
  [[ $quiet == '"C:\Studio\Synth64\Uninst.exe" /VERYSILENT' ]] || fail "QuietUninstallString is \"$quiet\""
  eval "set -- $quiet"
  start_program "$@" "/LOG=C:\\uninstall-$name.log"
  expect_exit 0 60
  wait_removed "$program"
  expect_absent "$clap/Synth64.clap"
  ! reg_exists "$uninstall_key" || fail "the Uninstall key is still there"
  ! reg_exists 'HKLM\Software\Example Audio\Synth64\2.0' /reg:64 || fail "the product key is still there"
  [[ -z $(find "$drive_c" -name 'Synth64 Readme.lnk') ]] || fail "a shortcut is still there"
  driver list >"$E2E_OUT/windows.txt"
  ! grep -q 'Synth64' "$E2E_OUT/windows.txt" || fail "the silent uninstaller showed a window"
}

step "through the window"
list_files >"$E2E_OUT/before.txt"
start_program "$E2E_OUT/Synth64Setup.exe" '/CLAPDIR=C:\Studio\CLAP'
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window"
wait_page "Welcome to Synth64 Setup"
press_button "Next >"
wait_page "License Agreement"
press_button "Yes"
wait_page "VST Plug-In Installation (64-bit)"
driver check --title "$TITLE" --button "Install the VST 3 plug-in version of Synth64" --state off >/dev/null ||
  fail "cannot uncheck VST 3"
press_button "Next >"
wait_page "Pro Tools Plug-In Installation"
press_button "Next >"
wait_page "Destination Folder"
type_text 'C:\Studio\Synth64'
press_button "Next >"
wait_page "Create Shortcuts"
press_button "Install"
wait_page "Installation Completed"
driver check --title "$TITLE" --button "Show Readme.txt" --state off >/dev/null || fail "cannot uncheck the readme"
press_button "Finish"
expect_exit 0
snapshot window
quiet_uninstall window

step "silently, the same choices by switches"
list_files >"$E2E_OUT/before.txt"
start_program "$E2E_OUT/Synth64Setup.exe" /VERYSILENT /SUPPRESSMSGBOXES /NORESTART /ACCEPTLICENSE \
  '/DIR=C:\Studio\Synth64' /NOVST3 '/CLAPDIR=C:\Studio\CLAP' '/LOG=C:\setup.log'
expect_exit 0 60
snapshot silent
diff -u "$E2E_OUT/window.snapshot" "$E2E_OUT/silent.snapshot" || fail "the silent install differs from the window's"
tr -d '\r' <"$drive_c/setup.log" >"$E2E_OUT/setup.log"
grep -qx 'Page Dest' "$E2E_OUT/setup.log" || fail "the log names no pages"
grep -qx 'Copying files...' "$E2E_OUT/setup.log" || fail "the log has no status texts"
grep -qx 'Exit status 0' "$E2E_OUT/setup.log" || fail "the log has no exit status"

step "plugsetup winget describes this setup as it installed"
"$PLUGSETUP" winget --id ExampleAudio.Synth64 --url https://example.com/Synth64Setup.exe \
  "$E2E_OUT/Synth64Setup.exe" >"$E2E_OUT/manifest.yaml"
python3 - "$E2E_OUT/manifest.yaml" "$(sha256sum "$E2E_OUT/Synth64Setup.exe" | cut -d' ' -f1)" \
  "$(reg_value "$uninstall_key" DisplayName)" "$(reg_value "$uninstall_key" DisplayVersion)" \
  "$(reg_value "$uninstall_key" Publisher)" <<'PYTHON' || fail "the manifest does not describe the setup"
import sys, yaml
manifest, sha, name, version, publisher = sys.argv[1:]
m = yaml.safe_load(open(manifest, encoding="utf-8"))
installer = m["Installers"][0]
entry = m["AppsAndFeaturesEntries"][0]
checks = {
    "ManifestType": m["ManifestType"] == "installer" and m["ManifestVersion"] == "1.10.0",
    "InstallerType": m["InstallerType"] == "exe" and m["Scope"] == "machine",
    "Architecture": installer["Architecture"] == "x64",
    "InstallerSha256": installer["InstallerSha256"].lower() == sha.lower(),
    "ProductCode": m["ProductCode"] == name == entry["ProductCode"],
    "DisplayName": entry["DisplayName"] == name,
    "DisplayVersion": entry["DisplayVersion"] == version == m["PackageVersion"],
    "Publisher": entry.get("Publisher", "") == publisher,
    "Silent": m["InstallerSwitches"]["Silent"].startswith("/VERYSILENT") and "/ACCEPTLICENSE" in m["InstallerSwitches"]["Silent"],
    "SilentWithProgress": m["InstallerSwitches"]["SilentWithProgress"].startswith("/SILENT "),
    "ReturnCodes": {c["InstallerReturnCode"]: c["ReturnResponse"] for c in m["ExpectedReturnCodes"]}
    == {2: "invalidParameter", 3: "systemNotSupported", 4: "diskFull", 5: "fileInUse", 6: "installInProgress", 7: "contactSupport"},
    "UpgradeBehavior": m["UpgradeBehavior"] == "install" and m["ElevationRequirement"] == "elevatesSelf",
}
bad = [field for field, ok in checks.items() if not ok]
print("manifest fields wrong:", bad) if bad else None
sys.exit(1 if bad else 0)
PYTHON
quiet_uninstall silent
