# The installer on a fresh Wine prefix: silent install, the installed keltool.exe starting with
# its settings in the user's folder, silent uninstall; sourced by windows.sh after package.sh.
# WINEPATH is cleared so that the installed copy runs on the DLLs it brought.

check_installer() {
    local out installer prefix program start_menu user_dir failures=0
    out=$(package_dir)
    installer=$(ls "$out"/keltool-*-windows-x64-setup.exe)
    wine_env
    prefix=$build/wine-install
    rm -rf "$prefix"
    (
        export WINEPREFIX=$prefix
        unset WINEPATH
        check() {
            if "${@:2}"; then echo "  ok: $1"; else echo "  FAILED: $1"; exit 1; fi
        }
        echo "Installer on a fresh prefix: $(basename "$installer")"
        wineboot --init >/dev/null 2>&1 || true
        wineserver -w
        program="$prefix/drive_c/Program Files/keltool"
        start_menu="$prefix/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/KEL TOOL"
        user_dir=$(find "$prefix/drive_c/users" -maxdepth 4 -path '*/AppData/Local' | head -n1)/keltool

        wine "$installer" /S
        wineserver -w
        check "installed into Program Files" test -f "$program/keltool.exe"
        check "Start menu entry" test -f "$start_menu/KEL TOOL.lnk"
        check "uninstaller" test -f "$program/uninstall.exe"
        check "Qt's Japanese texts beside keltool.exe" test -f "$program/translations/qtbase_ja.qm"
        check "kelctl.exe runs on the installed DLLs" \
            bash -c "wine '$program/kelctl.exe' --help 2>&1 | grep -q usage"

        Xvfb "$gui_display" -screen 0 1024x800x24 -nolisten tcp &
        local xvfb=$!
        sleep 2
        DISPLAY=$gui_display wine "$program/keltool.exe" >/dev/null 2>&1 &
        local window
        window=$(DISPLAY=$gui_display timeout 60 bash -c "until xdotool search --onlyvisible --class keltool.exe 2>/dev/null | head -n1 | grep .; do sleep 0.5; done")
        check "the installed keltool.exe shows its window" test -n "$window"
        sleep 2
        DISPLAY=$gui_display xdotool key --window "$window" alt+F4
        sleep 3
        wineserver -k || true
        kill "$xvfb" 2>/dev/null
        wait "$xvfb" 2>/dev/null || true
        check "Setting.ini under %LOCALAPPDATA%\\keltool" test -f "$user_dir/Setting.ini"
        check "nothing written into Program Files" test ! -e "$program/Setting.ini"

        wine "$program/uninstall.exe" /S
        wineserver -w
        sleep 2
        check "the uninstaller removed the program folder" test ! -e "$program"
        check "the uninstaller removed the Start menu entry" test ! -e "$start_menu"
        check "the operator's settings stay" test -f "$user_dir/Setting.ini"
    ) || failures=1
    return $failures
}
