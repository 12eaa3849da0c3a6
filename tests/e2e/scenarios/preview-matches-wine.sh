#!/usr/bin/env bash
# plugsetup preview tells a vendor what the setup will write; this holds it to what the real
# Setup.exe writes when a customer goes through the wizard under Wine with the same answers.
# Every folder, file (with its size), shortcut and HKCU/HKLM registry value that preview prints
# must be in the prefix afterwards, and the record inside the installed Uninst.exe must list what
# preview's uninstall log lists.
#
# Where preview's simulated machine and this prefix differ by nature, the difference is mapped
# here, one case at a time, and nothing else is forgiven:
# - Preview's user profile is C:\Users\user; Wine's is C:\users\<Unix user name>. Paths below
#   C:\Users\user\ are moved to the prefix's one profile folder, in file paths, registry data and
#   the uninstall log (and Uninst.exe's size grows or shrinks by the difference in name length
#   for every logged path below the profile, since the record holds the paths as text; for the
#   same reason the Uninstall key's "UninstallRecordDigest" is compared by its form only).
# - Windows compares names without regard to ASCII case and Wine's folders are spelt its own way
#   (C:\users), so each path is looked up component by component, exact name first, then any
#   name equal in ASCII case.
# - The prefix is 64-bit Windows (Program Files (x86) beside Program Files), so preview is asked
#   for 64-bit Windows; its "HKLM(32-bit view)" and "HKLM(64-bit view)" keys are read with reg
#   query's /reg:32 and /reg:64.
# shellcheck disable=SC1003,SC2141 # Windows folders and separators are backslashes in single quotes
# shellcheck disable=SC2018,SC2019 # Windows folds only the ASCII letters: A-Z on purpose
# shellcheck source=tests/e2e/lib.sh
source "$E2E_ROOT/tests/e2e/lib.sh"

TITLE="Gadget Setup"
drive_c=$PLUGSETUP_WINEPREFIX/drive_c
GADGET=$E2E_ROOT/examples/gadget
setup=$E2E_OUT/GadgetSetup.exe
vst_answer='C:\Program Files\Steinberg\VstPlugins'
user_answer="Ada Lovelace"

"$PLUGSETUP" build --version 1.0.0 -o "$setup" "$GADGET"

step "preview of the same setup"
# The customer keeps the default destination, so preview gets no destination answer.
"$PLUGSETUP" preview --64bit-windows --set "vst2=$vst_answer" \
  --set "user=$user_answer" --set shortcuts=startmenu,desktop "$setup" >"$E2E_OUT/preview.txt" ||
  fail "preview fails"
destination=$(sed -n '1s/.*, destination //p' "$E2E_OUT/preview.txt")
[[ -n $destination ]] || fail "preview names no destination"
# The page shows the folder without its trailing backslash.
destination=${destination%\\}
sed 's/^/   /' "$E2E_OUT/preview.txt"

# --- The installation through the window, as wizard-install-gadget.sh walks it ---------------
start_program "$setup"
driver wait-window --title "$TITLE" --timeout 60 >/dev/null || fail "no wizard window"
wizard_page welcome "Welcome to Gadget Setup"
press_button "Next >"
wizard_page license "License Agreement"
press_button "Yes"
wizard_page vst "VST Plug-In Installation"
driver type --title "$TITLE" --text "$vst_answer" >/dev/null || fail "cannot type the VST folder"
press_button "Next >"
wizard_page destination "Destination Folder"
# The default destination is kept: the one preview chose must be the one the wizard offers.
page_has "$destination"
press_button "Next >"
wizard_page personalize "Personalization"
driver type --title "$TITLE" --text "$user_answer" >/dev/null || fail "cannot type the name"
press_button "Next >"
wizard_page shortcuts "Create Shortcuts"
press_button "Install"
wizard_page ready "Installation Completed"
driver check --title "$TITLE" --button "Show Readme.txt" --state off >/dev/null || fail "cannot uncheck the readme"
press_button "Finish"
expect_exit 0

# --- Preview's machine mapped onto the prefix -------------------------------------------------
profiles=()
for dir in "$drive_c"/users/*/; do
  dir=${dir%/}
  [[ ${dir##*/} == Public ]] || profiles+=("${dir##*/}")
done
((${#profiles[@]} == 1)) || fail "expected one user profile in the prefix, found: ${profiles[*]}"
profile=${profiles[0]}
step "preview's C:\\Users\\user is the prefix's C:\\users\\$profile"

ascii_lower() { printf '%s' "$1" | LC_ALL=C tr 'A-Z' 'a-z'; }

# Preview's profile folder replaced by the prefix's, in any Windows path or text.
map_profile() {
  local text=$1 from='C:\Users\user\'
  if [[ $(ascii_lower "${text:0:${#from}}") == "$(ascii_lower "$from")" ]]; then
    text="C:\\users\\$profile\\${text:${#from}}"
  fi
  printf '%s' "$text"
}

# The prefix's file for a Windows path, found ASCII case-insensitively; empty when there is none.
unix_path() {
  local path part here=$drive_c entry found
  path=$(map_profile "$1")
  [[ ${path:0:3} == 'C:\' || ${path:0:3} == 'c:\' ]] || return 0
  path=${path:3}
  IFS='\' read -ra parts <<<"${path%\\}"
  for part in "${parts[@]}"; do
    [[ -z $part ]] && continue
    if [[ -e $here/$part ]]; then
      here=$here/$part
      continue
    fi
    found=
    for entry in "$here"/*; do
      [[ $(ascii_lower "${entry##*/}") == "$(ascii_lower "$part")" ]] && found=$entry && break
    done
    [[ -n $found ]] || return 0
    here=$found
  done
  printf '%s' "$here"
}

# One field of a preview line: what stands after "  NAME=" up to the next two spaces.
field() {
  local rest=${1#*"  $2="}
  [[ $rest != "$1" ]] || return 0
  printf '%s' "${rest%%"  "*}"
}

uninst=
files=0 folders=0 values=0 shortcuts=0
while IFS= read -r line; do
  kind=${line%% *}
  rest=${line#"$kind"}
  rest=${rest#"${rest%%[! ]*}"}
  path=${rest%%"  "*}
  case $kind in
    folder)
      real=$(unix_path "$path")
      [[ -n $real && -d $real ]] || fail "preview's folder $path is not in the prefix"
      folders=$((folders + 1))
      ;;
    file)
      real=$(unix_path "$path")
      [[ -n $real && -f $real ]] || fail "preview's file $path is not in the prefix"
      want=$(field "$line" size)
      got=$(file_size "$real")
      # Uninst.exe holds the uninstall log as text: its size follows the profile's name. The copy
      # is padded to an even length, so an odd difference in the record moves that by one byte.
      if [[ $(ascii_lower "${path##*\\}") == uninst.exe ]]; then
        uninst=$real
        below=$(grep -ciF 'C:\Users\user\' <(sed -n '/^uninstall log:/,$p' "$E2E_OUT/preview.txt") || true)
        shift_by=$((below * (${#profile} - 4)))
        want=$((want + shift_by))
        if ((shift_by % 2 != 0 && (got == want - 1 || got == want + 1))); then want=$got; fi
      fi
      [[ $got == "$want" ]] || fail "$path has $got bytes, preview says $want"
      files=$((files + 1))
      ;;
    shortcut)
      real=$(unix_path "$path")
      [[ -n $real && -f $real ]] || fail "preview's shortcut $path is not in the prefix"
      shortcuts=$((shortcuts + 1))
      ;;
    registry)
      view=()
      case $path in
        'HKLM(32-bit view)\'*) key="HKLM\\${path#*\\}" view=(/reg:32) ;;
        'HKLM(64-bit view)\'*) key="HKLM\\${path#*\\}" view=(/reg:64) ;;
        'HKLM\'* | 'HKCU\'*) key=$path ;;
        *) step "not compared (outside HKCU and HKLM): $line"; continue ;;
      esac
      name=$(field "$line" value)
      type=$(field "$line" type)
      data=$(map_profile "$(field "$line" data)")
      # reg query prints "    NAME    TYPE    DATA"; a DWORD in hexadecimal, preview signed.
      shown=$("$WINE_RUN" reg query "$key" /v "$name" "${view[@]}" </dev/null 2>/dev/null | tr -d '\r' |
        grep -F "    $name    REG_" | head -n 1 || true)
      [[ -n $shown ]] || fail "$path value \"$name\" is not in the prefix's registry"
      shown=${shown#*"    $name    "}
      got_type=${shown%%"    "*}
      got=${shown#"$got_type"}
      got=${got#"    "}
      if [[ $got_type == REG_DWORD ]]; then
        got=$((got))
        ((got < 2147483648)) || got=$((got - 4294967296))
      fi
      [[ $got_type == "$type" ]] || fail "$path value \"$name\" is $got_type, preview says $type"
      if [[ $name == UninstallRecordDigest ]]; then
        # The digest covers the record, which holds the profile's paths: its form is compared.
        [[ $got =~ ^[0-9a-f]{64}$ ]] || fail "$path value \"$name\" is \"$got\", not a SHA-256"
        values=$((values + 1))
        continue
      fi
      [[ $got == "$data" ]] || fail "$path value \"$name\" is \"$got\", preview says \"$data\""
      values=$((values + 1))
      ;;
    *) ;;
  esac
done < <(sed -n '2,/^uninstall log:/p' "$E2E_OUT/preview.txt" | sed '$d')
step "matched $folders folders, $files files, $shortcuts shortcuts, $values registry values"
# A preview whose output changed shape would otherwise compare nothing.
((folders >= 2 && files >= 4 && shortcuts >= 2 && values >= 5)) || fail "preview listed too little to compare"
[[ -n $uninst ]] || fail "preview lists no Uninst.exe"

step "the record in Uninst.exe against preview's uninstall log"
sed -n '/^uninstall log:/,$p' "$E2E_OUT/preview.txt" | sed '1d; s/^  //' | while IFS= read -r entry; do
  # Each entry is one letter for its kind, then the path.
  printf '%s%s\n' "${entry:0:1}" "$(map_profile "${entry:1}")"
done | LC_ALL=C tr 'A-Z' 'a-z' >"$E2E_OUT/preview-log.txt"
"$PLUGSETUP" log "$uninst" >"$E2E_OUT/uninst-log-full.txt" || fail "plugsetup log cannot read Uninst.exe"
grep -v '^Product: \|^Version: ' "$E2E_OUT/uninst-log-full.txt" | LC_ALL=C tr 'A-Z' 'a-z' >"$E2E_OUT/uninst-log.txt"
diff "$E2E_OUT/preview-log.txt" "$E2E_OUT/uninst-log.txt" || fail "Uninst.exe records another log than preview shows"
