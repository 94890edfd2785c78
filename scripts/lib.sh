# Shared by the project's scripts: packages, builds, a private Wine prefix
# and a virtual X display. Source it; do not run it.

UAS_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
UAS_BUILD=${UAS_BUILD:-$UAS_ROOT/build}

# Debian packages the project needs. Never wine32 and never the i386
# architecture: this kernel runs 64-bit Windows programs only.
UAS_PACKAGES="cmake make python3 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix \
binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 googletest wine wine64 xvfb xauth \
xdotool imagemagick x11-utils fonts-wine nsis zip unzip p7zip-full file openbox"

uas_log() { printf '== %s\n' "$*" >&2; }

# Installs whatever of the given packages is missing (apt-get update first).
uas_install() {
    local missing=""
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    uas_log "installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >/dev/null
    # shellcheck disable=SC2086
    apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

uas_setup() { uas_install $UAS_PACKAGES; }

# uas_build ARCH [cmake options...]: configures and builds build/ARCH.
uas_build() {
    local arch=$1; shift
    local dir=$UAS_BUILD/$arch
    uas_log "building $arch in $dir"
    cmake -S "$UAS_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$UAS_ROOT/cmake/toolchain-$arch.cmake" "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}

# uas_package ARCH: the zip and the installer of build/ARCH, in
# build/ARCH/packages. Their output goes to build/ARCH/packages.log and is
# shown only when something fails.
uas_package() {
    local dir=$UAS_BUILD/$1
    uas_log "packaging $1"
    if ! { cmake --build "$dir" --target package && cmake --build "$dir" --target installer; } \
        >"$dir/packages.log" 2>&1; then
        cat "$dir/packages.log" >&2
        return 1
    fi
}

# Starts Xvfb on a free display and exports DISPLAY; remembers its pid.
# Xvfb picks the number itself (-displayfd) and says it once it accepts
# clients: it takes the first display it can really listen on, so a server
# of a killed run that still holds its socket after its lock file is gone is
# never taken for ours. Its own messages go to UAS_XVFB_LOG.
uas_start_xvfb() {
    local fd number=""
    UAS_XVFB_LOG=$(mktemp /tmp/uas-xvfb.XXXXXX)
    exec {fd}< <(exec Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>&1 >"$UAS_XVFB_LOG" 2>&1)
    UAS_XVFB_PID=$!
    read -t 20 -r number <&"$fd" || true
    exec {fd}<&-
    if [ -z "$number" ]; then
        uas_log "Xvfb named no display within 20 s; its output: $(cat "$UAS_XVFB_LOG")"
        return 1
    fi
    export DISPLAY=":$number"
}

# Prepares the private Wine prefix of a build and keeps one wineserver alive.
# Output goes to /dev/null: a wineserver started from a captured call would
# hold the capturing pipe open.
uas_wine_prefix() {
    export WINEPREFIX=$1
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        uas_log "creating Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wine wineboot -i >/dev/null 2>&1 </dev/null
        wineserver -w
        # Title bars without a window manager, for screenshots.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d Y /f >/dev/null 2>&1 </dev/null
        wineserver -w
    fi
    # This Wine looks for its own fonts (Tahoma for texts, Marlett for the
    # title-bar buttons) where the Debian package does not put them; the
    # prefix's font folder is always searched.
    for font in /usr/share/wine/fonts/*.ttf; do
        [ -e "$font" ] && cp -n "$font" "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
    done
    wineserver -p >/dev/null 2>&1 </dev/null
    uas_wine_no_debugger
    # The first program of a server session starts Wine's services and the
    # desktop process, which inherit its standard handles; start them here,
    # unattached, so that no test's captured output is held open by them.
    wine cmd /c ver >/dev/null 2>&1 </dev/null
}

# uas_hold_desktop EXE: starts the desktop holder (tests/common/deskhold.cpp)
# in the current prefix and waits until it has the desktop. The holder reads
# its standard input, whose other end only this shell holds (bash does not
# pass a coprocess's pipe on to the programs it starts), so it ends when the
# calling script ends. Call it from the script's own shell, not a subshell.
# Without it, Wine closes the desktop between two programs and opens a new
# one for the next, a race every test would run.
uas_hold_desktop() {
    local answer=""
    coproc UAS_DESKHOLD { exec wine "$1" 2>/dev/null; }
    read -t 60 -r answer <&"${UAS_DESKHOLD[0]}" || true
    # A console line of a Windows program ends in CR LF.
    if [ "${answer%$'\r'}" != ready ]; then
        uas_log "the desktop holder $1 did not report ready within 60 s"
        return 1
    fi
}

# A program that crashes ends at once instead of starting winedbg, whose
# crash dialog nobody answers under Xvfb: no automatic debugger and an empty
# debugger command (measured with Wine 8: Auto 0 with the Debugger value
# removed asks "Do you wish to debug it?" in a box and waits; with the value
# blank the program ends in well under a second). Also for prefixes made
# before this setting existed.
uas_wine_no_debugger() {
    local aedebug='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
    local now
    now=$(awk '/^\[/ { inside = index($0, "CurrentVersion\\\\AeDebug]") > 0; next }
               inside && /^"(Auto|Debugger)"=/ { print }' "$WINEPREFIX/system.reg" 2>/dev/null | sort | tr '\n' ' ')
    [ "$now" = '"Auto"="0" "Debugger"="" ' ] && return 0
    wine reg add "$aedebug" /v Auto /t REG_SZ /d 0 /f >/dev/null 2>&1 </dev/null
    wine reg add "$aedebug" /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1 </dev/null
}

# Japanese texts need a font with their characters for every control (an
# edit control does not take missing characters from a linked font), as a
# Japanese system font would give them: Wine's dialog and message fonts are
# replaced by FACE in the current prefix, or given back with Tahoma.
uas_wine_system_font() {
    local substitutes='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
    local face
    for face in 'MS Shell Dlg' 'MS Shell Dlg 2'; do
        wine reg add "$substitutes" /v "$face" /d "$1" /f >/dev/null 2>&1 </dev/null
    done
    if [ "$1" = Tahoma ]; then
        wine reg delete "$substitutes" /v Tahoma /f >/dev/null 2>&1 </dev/null || true
    else
        wine reg add "$substitutes" /v Tahoma /d "$1" /f >/dev/null 2>&1 </dev/null
    fi
}

uas_stop() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
    [ -n "${UAS_XVFB_PID:-}" ] && kill "$UAS_XVFB_PID" 2>/dev/null || true
    [ -n "${UAS_XVFB_LOG:-}" ] && rm -f "$UAS_XVFB_LOG" || true
}
