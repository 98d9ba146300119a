# Shared by tools/run and tools/test: packages, builds, Xvfb and Wine.
# shellcheck shell=bash

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$repo/build"

packages=(cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev x11-xserver-utils
          g++-mingw-w64-x86-64-posix wine wine64 fonts-wine xvfb openbox xcompmgr xdotool xclip
          x11-utils imagemagick clang-14 libclang-rt-14-dev libfuzzer-14-dev locales python3-fusepy
          wixl msitools faketime zip unzip)

say() { printf '== %s\n' "$*"; }

install_missing_packages() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "installing ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# ensure_locale <language_TERRITORY> <charset>: Wine takes the system code
# page from the Unix locale of its processes, so a locale to test under must
# exist; it is generated when the system lacks it.
ensure_locale() {
    local wanted
    wanted="$1.$(printf '%s' "$2" | tr -d '-' | tr '[:upper:]' '[:lower:]')"
    locale -a 2>/dev/null | grep -qixF "$wanted" && return 0
    say "generating the locale $1.$2"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo localedef -i "$1" -f "$2" "$1.$2"
}

# build_preset <preset> [target...]: everything, or only the targets named.
build_preset() {
    local preset=$1
    shift
    cmake --preset "$preset" >"$build/configure-$preset.log" 2>&1 || { cat "$build/configure-$preset.log"; return 1; }
    cmake --build --preset "$preset" ${1:+--target "$@"}
}

# Starts a private X server and exports DISPLAY; xvfb_pid names it.
start_xvfb() {
    local fifo display
    fifo=$(mktemp -u) && mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    xvfb_pid=$!
    read -r -t 20 display <"$fifo" || { rm -f "$fifo"; say "Xvfb did not start"; return 1; }
    rm -f "$fifo"
    export DISPLAY=":$display"
}

stop_xvfb() {
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
}

# Polls a condition for up to ten seconds.
wait_until() {
    for _ in $(seq 200); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    return 1
}

openbox_settings_without_menus() {
    awk '
        /<context name="Root">/ { skipping = 1 }
        skipping { if (/<\/context>/) skipping = 0; next }
        /<(mouse|key)bind[ >]/ { binding = ""; inside = 1 }
        inside {
            binding = binding $0 "\n"
            if (/<\/(mouse|key)bind>/) { inside = 0; if (binding !~ /ShowMenu/) printf "%s", binding }
            next
        }
        { print }'
}

window_manager_is_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
compositor_is_running() { xwininfo -root -tree | grep -q '"xcompmgr"'; }

# A desktop as a user has one: Xvfb with a window manager (title bars, focus
# and activation as on Windows) and a compositor (a transparent window is
# really invisible). desktop_pids names the helpers.
start_desktop() {
    start_xvfb || return 1
    # openbox's own settings, less the bare desktop's bindings and every
    # binding that opens one of its menus: a right click that lands on a
    # title bar would open one, which takes the mouse and the keyboard until
    # it is dismissed, and openbox 3.6.1 crashes on an arrow key meant for a
    # menu of ours while one of its own is open.
    openbox_settings_without_menus </etc/xdg/openbox/rc.xml >"$build/openbox-rc.xml"
    # Should it end by a signal all the same, the next tests get a window
    # manager again, and the log says so.
    (
        while :; do
            openbox --sm-disable --config-file "$build/openbox-rc.xml"
            status=$?
            [ "$status" -gt 128 ] || exit "$status"
            echo "tools: openbox ended by signal $((status - 128)); starting it again"
        done
    ) >"$build/openbox.log" 2>&1 &
    desktop_pids=($!)
    wait_until window_manager_is_running || { say "openbox did not start"; return 1; }
    xcompmgr >"$build/xcompmgr.log" 2>&1 &
    desktop_pids+=($!)
    wait_until compositor_is_running || { say "xcompmgr did not start"; return 1; }
}

# Ends the window manager of start_desktop (its watcher first, or it would
# start it again); the X server and the compositor go on.
stop_window_manager() {
    local watcher=${desktop_pids[0]:-}
    [ -n "$watcher" ] || return 0
    local children
    children=$(pgrep -P "$watcher" || true)
    kill "$watcher" 2>/dev/null && wait "$watcher" 2>/dev/null || true
    [ -z "$children" ] || kill $children 2>/dev/null || true
    for pid in $children; do
        for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
    done
}

stop_desktop() {
    for pid in "${desktop_pids[@]:-}"; do
        [ -n "$pid" ] || continue
        # The watcher first, or it would start openbox again.
        local children
        children=$(pgrep -P "$pid" || true)
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null || true
        [ -z "$children" ] || kill $children 2>/dev/null || true
    done
    desktop_pids=()
    stop_xvfb
}

# A Wine prefix of our own, made on first use without downloads, with a
# persistent wineserver for fast starts.
start_wine() {
    export WINEPREFIX="$1"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    mkdir -p "$WINEPREFIX"
    # A server left from an earlier run would keep its desktop on another display.
    wineserver -k 2>/dev/null || true
    wineserver -p
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        say "creating the Wine prefix $WINEPREFIX"
    fi
    wine wineboot -i >"$build/wineboot.log" 2>&1
    # Wine's own focus handling, as users have it: earlier set-ups turned it
    # off for a desktop without a window manager.
    wine reg delete 'HKCU\Software\Wine\X11 Driver' /v UseTakeFocus /f >/dev/null 2>&1 || true
    # The program asks for Tahoma with the Thai character set, which Windows'
    # Tahoma has and Wine's (package fonts-wine) has not: without this the
    # request would fall to a Thai font with other Latin letters.
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v 'Tahoma,222' /t REG_SZ /d 'Tahoma,0' /f >/dev/null 2>&1
}

# Starts Wine's desktop process outside ctest, so that no test's output pipe
# is held open by it (see tests/windows/DesktopKeeper.cpp).
start_desktop_keeper() {
    wine "$build/windows/bin/quilldeck_desktop_keeper.exe" >"$build/desktop-keeper.log" 2>&1 &
    for _ in $(seq 100); do
        pgrep -f 'explorer.exe' >/dev/null && return 0
        sleep 0.1
    done
    say "Wine's desktop process did not start"
    return 1
}

# No server to end (none was started since the last stop) is not a failure.
stop_wine() {
    if [ -n "${WINEPREFIX:-}" ]; then
        wineserver -k 2>/dev/null || true
    fi
}
