#!/usr/bin/env bash
# Install test: what a Windows user gets from the packages. The 64-bit
# installer runs silently into a fresh Wine prefix, once for everyone and
# once just for the user: the program starts from what its Start-menu
# shortcut names and speaks the chosen language, the shortcut bears the
# main window's title and describes the program in that language (so does
# the entry of the installed programs), an upgrade in another language
# renames it, the .uas file type opens the editor, a set saved there
# lands in the user's set folder, an upgrade keeps the kind of installation,
# the user's profile changes and sets, and the silent uninstaller leaves
# nothing of the program behind but the sets (and a .uas type that another
# program took meanwhile). The 64-bit zip runs where it is unzipped and
# explains itself in README.txt. The 32-bit packages (which this machine
# cannot run) are built and listed.
#
#   install_test.sh X86_64_BUILD I686_BUILD
#
# Both builds must hold their packages (targets "package" and "installer").
# Uses DISPLAY when the caller provides one; the Wine prefix is its own.
set -euo pipefail

build64=$(cd "${1:?usage: install_test.sh X86_64_BUILD I686_BUILD}" && pwd)
build32=$(cd "${2:?usage: install_test.sh X86_64_BUILD I686_BUILD}" && pwd)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../../scripts/lib.sh
. "$here/../../scripts/lib.sh"

# The helpers read the running editor through the probe of the test build.
bin=$build64/bin
for f in uasprobe.exe uaslnk.exe; do
    [ -f "$bin/$f" ] || { echo "install: $bin/$f is missing" >&2; exit 1; }
done
for tool in xdotool unzip wine; do
    command -v "$tool" >/dev/null || { echo "install: $tool is not installed" >&2; exit 1; }
done

# the_one PATTERN: the single file that matches, or a failure.
the_one() {
    [ $# = 1 ] && [ -f "$1" ] || { echo "install: not one package: $*" >&2; exit 1; }
    printf '%s' "$1"
}
# shellcheck disable=SC2086
setup64=$(the_one $build64/packages/uasedit-*-win64-setup.exe)
# shellcheck disable=SC2086
zip64=$(the_one $build64/packages/uasedit-*-win64.zip)
# shellcheck disable=SC2086
setup32=$(the_one $build32/packages/uasedit-*-win32-setup.exe)
# shellcheck disable=SC2086
zip32=$(the_one $build32/packages/uasedit-*-win32.zip)
version=${zip64##*/uasedit-}
version=${version%-win64.zip}

work=$(mktemp -d /tmp/uas-install.XXXXXX)
drive_context=install
# shellcheck source=../e2e/drive.sh
. "$here/../e2e/drive.sh"
trap 'drive_cleanup "the prefix"' EXIT
drive_display

# A fresh prefix: a copy of one that was created and never used, kept in the
# build folder, because creating a prefix costs far more than the test.
template=$build64/install-prefix-template
if [ ! -f "$template/system.reg" ]; then
    rm -rf "$template"
    (uas_wine_prefix "$template" && wineserver -k >/dev/null 2>&1; wineserver -w) || true
    [ -f "$template/system.reg" ] || fail "no Wine prefix could be created"
fi
cp -a "$template" "$work/prefix"
uas_wine_prefix "$work/prefix"
own_server=1
uas_hold_desktop "$build64/bin/deskhold.exe"
# Shortcuts would otherwise also become menu entries of this Linux desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
# The installed program finds its profile beside itself, as on a user's PC.
unset KALVEX_PROFILE

drive_c=$WINEPREFIX/drive_c
product="Unit Assignment Set Editor"
# The program's name in each language, as its main window and so its
# Start-menu entry show it, and the words for its 64 bits that the list of
# installed programs adds.
declare -A title_in=([English]="$product" [German]='Einheitensatz-Editor'
    [French]='Éditeur de jeux d’unités' [Japanese]='単位セット エディター')
declare -A bits_in=([English]='(64-bit)' [German]='(64-Bit)' [French]='(64 bits)'
    [Japanese]='(64 ビット)')
progid="Kalvex.UnitAssignmentSet"
uninst_path='Software\Microsoft\Windows\CurrentVersion\Uninstall\UnitAssignmentSetEditor'
# winenv NAME: a Windows environment variable of the prefix's user.
winenv() { wine cmd /c "echo %$1%" </dev/null | tr -d '\r'; }
appdata_win=$(winenv APPDATA)
localappdata_win=$(winenv LOCALAPPDATA)
appdata=$(winepath -u "$appdata_win" 2>/dev/null)
sets="$appdata/Kalvex/Sets"

# reg_read KEY: the values of a registry key as reg.exe lists them, into
# $reg_values (empty when the key is absent). One Wine process per key.
reg_read() {
    reg_values=$(wine reg query "$1" </dev/null 2>/dev/null | tr -d '\r') || reg_values=""
}

# reg_value NAME: one value of the key as reg_read last read it ("(Default)"
# for the key's own value).
reg_value() {
    local name=$1
    [ "$name" = "(Default)" ] && name='(Default)\|<NO NAME>'
    sed -n "s/^ *\($name\) *REG_[A-Z_]* *//p" <<<"$reg_values" | head -1
}

# reg_string KEY NAME: one string value exactly as stored. reg.exe lists
# values in the console's code page, which has no "É", "’" or Japanese;
# regedit exports the key as UTF-16. KEY starts with HKLM or HKCU.
reg_string() {
    local key=${1/#HKLM/HKEY_LOCAL_MACHINE} out=$work/export.reg
    key=${key/#HKCU/HKEY_CURRENT_USER}
    rm -f "$out"
    wine regedit /E "$(winpath "$out")" "$key" </dev/null >/dev/null 2>&1 || true
    [ -f "$out" ] || return 0
    python3 - "$out" "$2" <<'PY'
import re, sys
text = open(sys.argv[1], 'rb').read().decode('utf-16')
found = re.search(r'^"%s"="((?:[^"\\]|\\.)*)"' % re.escape(sys.argv[2]), text, re.M)
if found:
    print(re.sub(r'\\(.)', r'\1', found.group(1)))
PY
}

# files_of DIR: every file and folder below DIR, relative, sorted.
files_of() { (cd "$1" && find . -mindepth 1 | sed 's|^\./||' | sort); }

# zip_files ZIP: the names in a zip without its top folder, sorted.
zip_files() {
    unzip -Z1 "$1" | sed -e 's|^[^/]*/||' -e 's|/$||' -e '/^$/d' | sort
}

# run_editor EXE DIR: starts the program in DIR as the shortcut would, and
# gives it the keyboard.
run_editor() {
    (cd "$2" && exec wine "$1" >"$work/editor.log" 2>&1 </dev/null) &
    editor_pid=$!
    activate_main
}

# save_as NAME: File > Save As through the menu command, NAME and Enter.
save_as() {
    probe post COMMAND 15 >/dev/null
    expect modal.count 1
    type_text "$1"
    expect modal.name "$1"
    keys Return
    dialog_closed
}

# wait_for_file PATH [SECONDS]
wait_for_file() {
    local deadline=$((SECONDS + ${2:-10}))
    until [ -f "$1" ]; do
        [ "$SECONDS" -lt "$deadline" ] ||
            fail "waited ${2:-10} s for the file $1; its folder holds: $(ls "$(dirname "$1")" 2>&1 | tr '\n' ' ')"
        sleep 0.1
    done
}

started=$SECONDS
# Each step says when it began, to keep an eye on the test's time.
stage() { step "$* (at $((SECONDS - started)) s)"; }

stage "an unknown language or both kinds on the command line install nothing"
for bad in "/LANG=Klingon" "/ALLUSERS /CURRENTUSER"; do
    code=0
    # shellcheck disable=SC2086
    wine "$setup64" /S $bad </dev/null || code=$?
    [ "$code" = 2 ] || fail "exit code $code for $bad, expected 2"
done
[ ! -e "$drive_c/Program Files/$product" ] || fail "an installation was made for a bad command line"

# check_kind KIND SWITCH LANG TITLE DESCRIPTION SET UPGRADE_LANG UPGRADE_VALUE
# One kind of installation from install to uninstall: KIND "all" or "user",
# SWITCH the installer's switch for it, LANG the /LANG= of the install,
# TITLE and DESCRIPTION the main window's title and the shortcut's
# description in it, SET the name of the set saved, UPGRADE_LANG the
# language of the upgrade (given without a kind switch) and UPGRADE_VALUE
# its profile value.
check_kind() {
    local kind=$1 switch=$2 lang=$3 title=$4 description=$5 set=$6 uplang=$7 upvalue=$8
    local kind_started=$SECONDS
    local pf pf_win programs shortcut root other_root other_pf display
    [ "$title" = "${title_in[$lang]}" ] || fail "the test's titles differ: $title, ${title_in[$lang]}"
    if [ "$kind" = all ]; then
        pf_win="C:\\Program Files\\$product"
        programs="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
        root=HKLM other_root=HKCU
        other_pf=$(winepath -u "$localappdata_win\\Programs\\$product" 2>/dev/null)
    else
        pf_win="$localappdata_win\\Programs\\$product"
        programs="$appdata/Microsoft/Windows/Start Menu/Programs"
        root=HKCU other_root=HKLM
        other_pf="$drive_c/Program Files/$product"
    fi
    # Named as the main window in the installer's language: a search of the
    # Start menu for the name on the window finds it.
    shortcut="$programs/$title.lnk"
    pf=$(winepath -u "$pf_win" 2>/dev/null)
    local uninst_key="$root\\$uninst_path" classes="$root\\Software\\Classes"
    profile_value() { tr -d '\r' <"$pf/bin/kalvex.ini" | sed -n "s/^$1=//p"; }
    # nothing_of_the_other_kind: the other kind's places stay empty.
    nothing_of_the_other_kind() {
        [ ! -e "$other_pf" ] || fail "$kind: files in the other kind's folder $other_pf"
        reg_read "$other_root\\$uninst_path"
        [ -z "$reg_values" ] || fail "$kind: an uninstall entry in $other_root"
        reg_read "$other_root\\Software\\Classes\\$progid"
        [ -z "$reg_values" ] || fail "$kind: the file type in $other_root"
    }

    stage "$kind: the 64-bit installer installs silently ($switch /LANG=$lang) into $pf_win"
    wine "$setup64" /S "$switch" "/LANG=$lang" </dev/null || fail "the installer failed"
    expected=$( (zip_files "$zip64" | grep -v -x -e sets -e 'sets/.*' -e README.txt; echo uninstall.exe) | sort)
    [ "$(files_of "$pf")" = "$expected" ] ||
        fail "installed files differ from the zip's: $(diff <(echo "$expected") <(files_of "$pf") || true)"
    [ "$(profile_value Language)" = "$(sed -n "s/^$lang=//p" <<<"$language_values")" ] ||
        fail "profile language: $(profile_value Language)"
    [ "$(profile_value Set_Dir)" = '%APPDATA%\Kalvex\Sets' ] || fail "profile set folder: $(profile_value Set_Dir)"
    [ "$(profile_value Resource_Binary_Dir)" = '..\res' ] || fail "profile resources: $(profile_value Resource_Binary_Dir)"
    # The profile reader takes UTF-8 or UTF-16 with BOM: plain ASCII is both.
    LC_ALL=C grep -q -P '[^\x09\x0a\x0d\x20-\x7e]' "$pf/bin/kalvex.ini" &&
        fail "the installed profile is not plain text"
    grep -q -i -e 'Z:' -e "$build64" "$pf/bin/kalvex.ini" && fail "the profile names the build machine's paths"
    nothing_of_the_other_kind

    stage "$kind: Add/Remove Programs knows it in $root, in the 64-bit registry view"
    reg_read "$uninst_key"
    display=$(reg_string "$uninst_key" DisplayName)
    [ "$display" = "$title ${bits_in[$lang]}" ] || fail "DisplayName: $display"
    [ "$(reg_value DisplayVersion)" = "$version" ] || fail "DisplayVersion: $(reg_value DisplayVersion)"
    [ "$(reg_value Publisher)" = "$company" ] || fail "Publisher: $(reg_value Publisher), the binaries' company: $company"
    [ "$(reg_value InstallLocation)" = "$pf_win" ] || fail "InstallLocation: $(reg_value InstallLocation)"
    [ "$(reg_value UninstallString)" = "\"$pf_win\\uninstall.exe\"" ] || fail "UninstallString: $(reg_value UninstallString)"
    quiet=$(reg_value QuietUninstallString)
    [ "$quiet" = "\"$pf_win\\uninstall.exe\" /S" ] || fail "QuietUninstallString: $quiet"
    size=$(reg_value EstimatedSize)
    [ -n "$size" ] && [ $((size)) -gt 100 ] || fail "EstimatedSize: $size"
    if [ "$kind" = all ]; then
        wine reg query "${uninst_key/Microsoft/Wow6432Node\\Microsoft}" </dev/null >/dev/null 2>&1 &&
            fail "the uninstall key landed in the 32-bit registry view"
    fi

    stage "$kind: the .uas type is the editor's, with the set file's icon"
    reg_read "$classes\\.uas"
    [ "$(reg_value '(Default)')" = "$progid" ] || fail ".uas names $(reg_value '(Default)')"
    reg_read "$classes\\$progid\\DefaultIcon"
    [ "$(reg_value '(Default)')" = "$pf_win\\bin\\uasedit.exe,-2" ] || fail "DefaultIcon: $(reg_value '(Default)')"
    reg_read "$classes\\$progid\\shell\\open\\command"
    open_command=$(reg_value '(Default)')
    [ "$open_command" = "\"$pf_win\\bin\\uasedit.exe\" \"%1\"" ] || fail "open command: $open_command"

    stage "$kind: the Start menu names the installed program as its window does, described in the chosen language"
    [ -f "$shortcut" ] || fail "no Start-menu shortcut $shortcut; the Start menu holds: $(ls "$programs" 2>&1 | tr '\n' ' ')"
    [ "$(find "$programs" -maxdepth 1 -name '*.lnk' | wc -l)" = 1 ] ||
        fail "more than one Start-menu entry: $(ls "$programs" | tr '\n' ' ')"
    link=$(wine "$bin/uaslnk.exe" "$(winpath "$shortcut")" </dev/null | tr -d '\r') || fail "the shortcut cannot be read"
    target=$(sed -n 's/^target=//p' <<<"$link")
    [ "$target" = "$pf_win\\bin\\uasedit.exe" ] || fail "shortcut target: $target"
    [ "$(sed -n 's/^desc=//p' <<<"$link")" = "$description" ] || fail "shortcut description: $(sed -n 's/^desc=//p' <<<"$link")"
    startdir=$(winepath -u "$(sed -n 's/^dir=//p' <<<"$link")" 2>/dev/null)

    stage "$kind: the program starts from the shortcut in the chosen language; a set saved lands in the user's set folder"
    [ ! -e "$sets" ] || fail "the set folder exists before the program made it"
    run_editor "$target" "$startdir"
    [ "$(state_of title)" = "$title" ] || fail "window title: $(state_of title)"
    save_as "$set"
    wait_for_file "$sets/$set.uas"
    head -3 "$sets/$set.uas" | grep -q "^\\* $set" || fail "$set.uas has no header of its own"
    keys alt+F4
    exit_code_is 1
    cp "$sets/$set.uas" "$work/$set.saved"

    # This Wine's shell looks only in the machine's classes (it does not
    # merge HKCU\Software\Classes into HKEY_CLASSES_ROOT), so the user's
    # registration is run as the shell would run it: its command line with
    # the set file for %1.
    if [ "$kind" = all ]; then
        stage "$kind: a double-click on the set file (ShellExecute) starts the editor"
        (exec wine start /wait "$(winpath "$sets/$set.uas")" >"$work/start.log" 2>&1 </dev/null) &
    else
        stage "$kind: the registered open command starts the editor with the set file"
        local exe=${open_command#\"}
        exe=${exe%%\"*}
        [ "$open_command" = "\"$exe\" \"%1\"" ] || fail "open command's argument: $open_command"
        (exec wine "$exe" "$(winpath "$sets/$set.uas")" >"$work/start.log" 2>&1 </dev/null) &
    fi
    editor_pid=$!
    # Started from the shell, the window need not come to the front: it
    # is closed through its File > Exit command, without the keyboard.
    expect main yes 20000
    [ "$(state_of title)" = "$title" ] || fail "window title: $(state_of title)"
    probe post COMMAND 19 >/dev/null
    exit_code_is 1

    stage "$kind: an upgrade (/LANG=$uplang, no kind) keeps the kind, the user's profile changes and sets"
    printf '; kept by the upgrade\r\n' >>"$pf/bin/kalvex.ini"
    : >"$pf/bin/leftover.dll"
    wine "$setup64" /S "/LANG=$uplang" </dev/null || fail "the upgrade failed"
    [ "$(profile_value Language)" = "$upvalue" ] || fail "profile language after the upgrade: $(profile_value Language)"
    grep -q '^; kept by the upgrade' "$pf/bin/kalvex.ini" || fail "the upgrade replaced the user's profile"
    [ ! -e "$pf/bin/leftover.dll" ] || fail "the old version's program files stayed"
    [ "$(files_of "$pf")" = "$expected" ] || fail "files after the upgrade differ from the zip's"
    cmp -s "$work/$set.saved" "$sets/$set.uas" || fail "the upgrade changed a set"
    reg_read "$uninst_key"
    [ "$(reg_value InstallLocation)" = "$pf_win" ] || fail "the upgrade moved the installation"
    local uptitle=${title_in[$uplang]}
    display=$(reg_string "$uninst_key" DisplayName)
    [ "$display" = "$uptitle ${bits_in[$uplang]}" ] || fail "DisplayName after the upgrade: $display"
    # The entry takes the new language's name; the old one is gone.
    shortcut="$programs/$uptitle.lnk"
    [ -f "$shortcut" ] || fail "no Start-menu entry $uptitle after the upgrade: $(ls "$programs" | tr '\n' ' ')"
    [ "$(find "$programs" -maxdepth 1 -name '*.lnk' | wc -l)" = 1 ] ||
        fail "the upgrade left another Start-menu entry: $(ls "$programs" | tr '\n' ' ')"
    nothing_of_the_other_kind

    if [ "$kind" = user ]; then
        stage "$kind: another program takes the .uas type; the uninstaller leaves it that"
        wine reg add "$classes\\.uas" /ve /d Other.Editor /f </dev/null >/dev/null 2>&1 ||
            fail "cannot give .uas to another program"
    fi

    stage "$kind: the silent uninstaller leaves only the user's sets"
    # The uninstaller copies itself away and returns at once: wait for its work.
    # The command as Add/Remove Programs runs it: the quoted program, then /S.
    uninstaller=${quiet#\"}
    uninstaller=${uninstaller%%\"*}
    # Wine now and then fails to start a program on a busy machine: once
    # more before the test fails (a start that failed has removed nothing).
    wine "$uninstaller" ${quiet##*\" } </dev/null || wine "$uninstaller" ${quiet##*\" } </dev/null ||
        fail "the uninstaller did not start"
    deadline=$((SECONDS + 30))
    # The key goes last, after the files.
    while [ -e "$pf" ] || [ -e "$shortcut" ]; do
        [ "$SECONDS" -lt "$deadline" ] || fail "left behind: $(find "$pf" "$shortcut" 2>/dev/null | tr '\n' ' ')"
        sleep 0.2
    done
    reg_read "$uninst_key"
    while [ -n "$reg_values" ]; do
        [ "$SECONDS" -lt "$deadline" ] || fail "the uninstall key stayed: $reg_values"
        sleep 0.2
        reg_read "$uninst_key"
    done
    cmp -s "$work/$set.saved" "$sets/$set.uas" || fail "the uninstaller changed or removed a set"
    [ -z "$(find "$programs" -maxdepth 1 -name '*.lnk' 2>/dev/null)" ] ||
        fail "Start-menu entries stayed: $(ls "$programs" | tr '\n' ' ')"
    reg_read "$classes\\$progid"
    [ -z "$reg_values" ] || fail "the file type stayed: $reg_values"
    reg_read "$classes\\.uas"
    if [ "$kind" = user ]; then
        [ "$(reg_value '(Default)')" = Other.Editor ] || fail "the uninstaller took .uas from the other program: $reg_values"
        wine reg delete "$classes\\.uas" /f </dev/null >/dev/null 2>&1
    else
        [ -z "$reg_values" ] || fail ".uas stayed: $reg_values"
    fi
    # The next kind starts without the sets of this one.
    rm -rf "$sets"
    kind_times="$kind_times $kind: $((SECONDS - kind_started)) s;"
}

# The profile value of each /LANG= used below.
language_values=$'German=German\nFrench=French\nJapanese=Japan\nEnglish='
# The company every binary's version resource names: the uninstall entry's
# publisher must be the same.
company=$(python3 - "$(unzip -Z1 "$zip64" | grep '/bin/uasedit.exe$')" "$zip64" <<'PY'
import re, sys, zipfile
data = zipfile.ZipFile(sys.argv[2]).read(sys.argv[1])
key = 'CompanyName'.encode('utf-16-le') + b'\0\0'
at = data.find(key)
if at < 0:
    sys.exit('no CompanyName in uasedit.exe')
at += len(key)
at += (4 - at % 4) % 4  # values start on a 32-bit boundary
end = at
while data[end:end + 2] != b'\0\0':
    end += 2
print(data[at:end].decode('utf-16-le'))
PY
) || fail "the zip's uasedit.exe names no company"

kind_times=""
check_kind all /ALLUSERS German 'Einheitensatz-Editor' 'Einheitensätze bearbeiten' Werk1 French French
check_kind user /CURRENTUSER Japanese '単位セット エディター' '単位セットを編集します' Plant2 German German

stage "the 64-bit zip runs where it is unzipped, with its sets beside it"
unzip -q "$zip64" -d "$drive_c/portable"
portable=$(echo "$drive_c"/portable/uasedit-*-win64)
grep -q -i -e 'Z:' -e "$build64" "$portable/bin/kalvex.ini" && fail "the zip's profile names the build machine's paths"
[ -d "$portable/sets" ] || fail "the zip has no set folder"
for word in uasedit.exe sets Language= German; do
    grep -q "$word" "$portable/README.txt" || fail "the zip's README.txt does not mention $word"
done
run_editor "C:\\portable\\${portable##*/}\\bin\\uasedit.exe" "$portable/bin"
expect title "$product"
stage "the zip's editor saves a set"
save_as Portable1
wait_for_file "$portable/sets/Portable1.uas"
stage "the zip's editor ends"
keys alt+F4
exit_code_is 1

stage "the 32-bit packages: the zip holds what the 64-bit one does, the installer is a 32-bit program"
[ "$(zip_files "$zip32")" = "$(zip_files "$zip64")" ] || fail "the 32-bit zip's contents differ from the 64-bit zip's"
unzip -l "$zip32"
file "$setup32" | grep -q 'PE32 executable' || fail "$setup32 is not a 32-bit program: $(file "$setup32")"
file "$setup64" | grep -q 'PE32+ executable' || fail "$setup64 is not a 64-bit program: $(file "$setup64")"
if command -v 7z >/dev/null; then
    listing=$(7z l "$setup32")
    printf '%s\n' "$listing" | sed -n '/^---/,$p'
    for f in uasedit.exe vel32.dll velw32.dll velx32.dll kxcommon.dll uaseditj.dll units.txt; do
        grep -q "$f" <<<"$listing" || fail "the 32-bit installer does not hold $f"
    done
fi
for f in "$setup64" "$zip64" "$setup32" "$zip32"; do
    printf '%10d  %s\n' "$(stat -c %s "$f")" "${f##*/}"
done

failed=0
echo "PASS (install, $((SECONDS - started)) s after the prefix;$kind_times)"
