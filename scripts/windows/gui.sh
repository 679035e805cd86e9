# keltool.exe under Xvfb fetching an image from kelsim through the Wine COM port, in Japanese
# and in English, with a screenshot of each into docs/; sourced by windows.sh after e2e.sh.

gui_display=:77
gui_xvfb_pid=

gui_stop_xvfb() {
    if [ -n "$gui_xvfb_pid" ]; then
        kill "$gui_xvfb_pid" 2>/dev/null || true
        wait "$gui_xvfb_pid" 2>/dev/null || true
    fi
    gui_xvfb_pid=
}

# The last window keltool.exe opened (a message box over the main window).
gui_top() { xdotool search --onlyvisible --class keltool.exe 2>/dev/null | tail -n1; }
gui_count() { xdotool search --onlyvisible --class keltool.exe 2>/dev/null | wc -l; }

# Waits up to the seconds for keltool.exe to show that many windows.
gui_wait_windows() {
    local count=$1 seconds=$2 waited=0
    until [ "$(gui_count)" -ge "$count" ] || [ $waited -ge $((seconds * 2)) ]; do
        sleep 0.5
        waited=$((waited + 1))
    done
    [ "$(gui_count)" -ge "$count" ]
}

gui_press_return() {
    xdotool windowfocus "$(gui_top)" 2>/dev/null || true
    xdotool key Return
}

# One fetch in the given language: "Get Image", Yes, the transfer, OK; the screenshot shows the
# window with the fetched image. The main window's layout is fixed for each language's font, so
# the button is found by its place in the window (button_y from its top).
gui_fetch_in() {
    local language=$1 shot=$2 button_y=$3 app=$work/app-$1 window
    rm -rf "$app"
    mkdir -p "$app"
    cp "$build/bin/keltool.exe" "$build"/bin/*.ini "$app/"
    # Qt's own texts (the question's buttons) as the package carries them.
    mkdir -p "$app/translations"
    cp "$(dpkg -L qt6-translations-l10n | grep '/qtbase_ja\.qm$' | head -n1)" "$app/translations/"
    rm -f "$app/Setting.ini"
    printf '[OPERATION]\r\nLanguage=%s\r\n[COM]\r\nPort=%d\r\nSetting=38400,N,8,1\r\nDelimitr=0\r\n' \
        "$language" "$e2e_port" >"$app/Setting.ini"
    wine "$app/keltool.exe" >"$work/keltool-$language.log" 2>&1 &
    gui_pid=$!
    gui_wait_windows 1 60 || { echo "keltool.exe showed no window" >&2; return 1; }
    sleep 2
    window=$(gui_top)
    xdotool mousemove --window "$window" 60 "$button_y" click 1
    if gui_wait_windows 2 20; then
        # The question, with Qt's buttons in the window's language.
        sleep 1
        local question X Y WIDTH HEIGHT SCREEN WINDOW
        question=$(gui_top)
        eval "$(xdotool getwindowgeometry --shell "$question")"
        import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
            "$here/docs/windows-question-$([ "$language" = Japanese ] && echo ja || echo en).png"
        gui_press_return
    fi
    sleep 2
    # The bitmap is written once the transfer is over; the completion message follows it.
    local waited=0
    until [ -s "$app/TMP/tmp.bmp" ] || [ $waited -ge 120 ]; do
        sleep 1
        waited=$((waited + 1))
    done
    sleep 3
    gui_press_return
    sleep 2
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$window")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shot"
    e2e_check "keltool.exe ($language) fetched and shows the image" test -s "$app/TMP/tmp.bmp"
}

# The end of the Windows session: the program shuts down as on SIGTERM, writing its language
# back (changed in the file meanwhile) and deleting its working files.
gui_end_session() {
    local language=$1 app=$work/app-$1
    sed -i 's/^Language=.*/Language=changed/' "$app/Setting.ini"
    timeout 60 wineboot --end-session || true
    sleep 2
    e2e_check "session end: keltool.exe has ended" bash -c "! kill -0 $gui_pid 2>/dev/null"
    e2e_check "session end: language written back" grep -q "^Language=$language" "$app/Setting.ini"
    e2e_check "session end: working files deleted" test ! -e "$app/TMP/tmp.bmp"
    wait "$gui_pid" 2>/dev/null || true
}

run_gui() {
    wine_env
    work=$build/gui
    rm -rf "$work"
    mkdir -p "$work"
    e2e_host_build
    printf '[COM]\r\nPort=%d\r\nSetting=38400,N,8,1\r\nDelimitr=0\r\n' "$e2e_port" \
        >"$work/Setting.ini"
    # Tall enough for the whole window: Windows keeps a new window inside the screen and cuts it.
    Xvfb "$gui_display" -screen 0 1280x1024x24 -nolisten tcp &
    gui_xvfb_pid=$!
    export DISPLAY=$gui_display
    trap 'e2e_stop_sim; gui_stop_xvfb' EXIT
    sleep 2
    e2e_failures=0
    e2e_start_sim
    gui_fetch_in Japanese "$here/docs/windows-fetch-ja.png" 187
    gui_end_session Japanese
    gui_fetch_in English "$here/docs/windows-fetch-en.png" 173
    gui_end_session English
    e2e_stop_sim
    gui_stop_xvfb
    trap - EXIT
    echo "Screenshots: docs/windows-fetch-ja.png, docs/windows-fetch-en.png," \
        "docs/windows-question-ja.png, docs/windows-question-en.png; $e2e_failures failed"
    [ "$e2e_failures" -eq 0 ]
}
