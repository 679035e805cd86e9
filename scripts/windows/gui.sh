# keltool.exe under Xvfb fetching an image from kelsim through the Wine COM port, in Japanese
# and in English, with a screenshot of each into docs/; sourced by windows.sh after e2e.sh.

gui_display=:77
gui_xvfb_pid=

gui_stop_xvfb() {
    [ -n "$gui_xvfb_pid" ] && kill "$gui_xvfb_pid" 2>/dev/null && wait "$gui_xvfb_pid" 2>/dev/null
    gui_xvfb_pid=
}

gui_window() { xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n1; }

# Clicks at x,y inside the window.
gui_click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
}

# One fetch in the given language; the screenshot shows the window with the fetched image.
gui_fetch_in() {
    local language=$1 shot=$2 app=$work/app-$1 window
    rm -rf "$app"
    mkdir -p "$app"
    cp "$build/bin/keltool.exe" "$build"/bin/*.ini "$app/"
    rm -f "$app/Setting.ini"
    printf '[OPERATION]\r\nLanguage=%s\r\n[COM]\r\nPort=%d\r\nSetting=38400,N,8,1\r\nDelimitr=0\r\n' \
        "$language" "$e2e_port" >"$app/Setting.ini"
    wine "$app/keltool.exe" >"$work/keltool-$language.log" 2>&1 &
    local pid=$!
    window=$(timeout 60 bash -c "until xdotool search --onlyvisible --class keltool.exe 2>/dev/null | head -n1 | grep .; do sleep 0.5; done")
    [ -n "$window" ] || { echo "keltool.exe showed no window" >&2; return 1; }
    sleep 2
    xdotool windowactivate --sync "$window" 2>/dev/null || true
    # The "Get Image" button, then Enter for the question and for the completion message.
    gui_click "$window" "$gui_fetch_x" "$gui_fetch_y"
    sleep 2
    xdotool key Return
    local waited=0
    until [ -s "$app/IMAGE/.done" ] || [ $waited -ge 90 ]; do
        # The completion message is a second window of keltool.exe.
        [ "$(xdotool search --onlyvisible --class keltool.exe 2>/dev/null | wc -l)" -ge 2 ] &&
            [ $waited -ge 3 ] && break
        sleep 1
        waited=$((waited + 1))
    done
    sleep 1
    xdotool key Return
    sleep 2
    import -window root "$shot"
    xdotool key --window "$window" alt+F4
    sleep 2
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

run_gui() {
    wine_env
    work=$build/gui
    rm -rf "$work"
    mkdir -p "$work"
    e2e_host_build
    printf '[COM]\r\nPort=%d\r\nSetting=38400,N,8,1\r\nDelimitr=0\r\n' "$e2e_port" \
        >"$work/Setting.ini"
    Xvfb "$gui_display" -screen 0 1100x760x24 -nolisten tcp &
    gui_xvfb_pid=$!
    export DISPLAY=$gui_display
    trap 'e2e_stop_sim; gui_stop_xvfb' EXIT
    sleep 2
    e2e_start_sim
    gui_fetch_in Japanese "$here/docs/windows-fetch-ja.png"
    gui_fetch_in English "$here/docs/windows-fetch-en.png"
    wineserver -k || true
    e2e_stop_sim
    gui_stop_xvfb
    trap - EXIT
    echo "Screenshots: docs/windows-fetch-ja.png, docs/windows-fetch-en.png"
}
