# The portable zip and the NSIS installer; sourced by windows.sh, which sets here, build,
# triple and qt_prefix.

package_dir() { echo "$build/package"; }

# DLLs a PE file imports, one a line.
imported_dlls() {
    "$triple-objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'
}

# Where a DLL that is not the system's own comes from: the Qt build, then the MinGW runtime.
find_dll() {
    local name=$1 dir
    for dir in "$(qt_prefix)/bin" $(mingw_runtime_dirs); do
        if [ -f "$dir/$name" ]; then
            echo "$dir/$name"
            return 0
        fi
    done
    return 1
}

# Copies every DLL the given PE files need, and what those need in turn, into the folder;
# DLLs found in neither place are the system's (KERNEL32.dll, USER32.dll, ...).
collect_dlls() {
    local dest=$1 queue=("${@:2}") file dll found
    while [ ${#queue[@]} -gt 0 ]; do
        file=${queue[0]}
        queue=("${queue[@]:1}")
        while read -r dll; do
            [ -f "$dest/$dll" ] && continue
            found=$(find_dll "$dll") || continue
            cp "$found" "$dest/$dll"
            echo "$dll $found" >>"$dest/.dll-origins"
            queue+=("$dest/$dll")
        done < <(imported_dlls "$file")
    done
}

# "name: Debian binary package (source package version)" for each collected DLL.
dll_origin_note() {
    local dll path pkg src
    while read -r dll path; do
        if [[ $path == "$(qt_prefix)"/* ]]; then
            echo "$dll: built by scripts/windows.sh from Debian source package qt6-base $(host_qt_version)"
        else
            pkg=$(dpkg -S "$path" 2>/dev/null | head -n1 | cut -d: -f1)
            src=$(dpkg-query -W -f='${source:Package} ${source:Version}' "$pkg" 2>/dev/null)
            echo "$dll: Debian package $pkg, from Debian source package $src"
        fi
    done
}

# Qt's Japanese translation as Debian installs it; the file is the same on every platform.
qt_japanese_translation() {
    local file
    file=$(dpkg -L qt6-translations-l10n 2>/dev/null | grep '/qtbase_ja\.qm$' | head -n1)
    if [ -z "$file" ] || [ ! -f "$file" ]; then
        echo "qtbase_ja.qm not found: install qt6-translations-l10n" >&2
        return 1
    fi
    echo "$file"
}

stage_program_folder() {
    local stage=$1 prefix japanese
    prefix=$(qt_prefix)
    japanese=$(qt_japanese_translation)
    rm -rf "$stage"
    mkdir -p "$stage/platforms" "$stage/styles" "$stage/licenses" "$stage/translations"
    cp "$build/bin/keltool.exe" "$build/bin/kelctl.exe" "$stage/"
    cp "$prefix/plugins/platforms/qwindows.dll" "$prefix/plugins/platforms/qoffscreen.dll" \
        "$stage/platforms/"
    cp "$prefix"/plugins/styles/*.dll "$stage/styles/"
    collect_dlls "$stage" "$stage"/*.exe "$stage"/platforms/*.dll "$stage"/styles/*.dll
    cp "$here"/src/resources/lang/*.ini "$stage/"
    # The buttons of Qt's message boxes and its file dialogs in Japanese; keltool looks for
    # them in the translations folder beside itself.
    cp "$japanese" "$stage/translations/"
    cp -r "$here/src/resources/help" "$stage/help"
    cp "$here/LICENSE" "$stage/LICENSE.txt"

    local qtsrc
    qtsrc=$(find "$cache/src" -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)
    cp "$qtsrc/LICENSES/LGPL-3.0-only.txt" "$qtsrc/LICENSES/GPL-3.0-only.txt" "$stage/licenses/"
    cp "$qtsrc/debian/copyright" "$stage/licenses/qt6-base.copyright.txt"
    local pkg
    for pkg in libstdc++6 gcc-mingw-w64-base mingw-w64-common qt6-translations-l10n; do
        [ -f "/usr/share/doc/$pkg/copyright" ] &&
            cp "/usr/share/doc/$pkg/copyright" "$stage/licenses/$pkg.copyright.txt"
    done
    {
        echo "KEL TOOL for Windows: where the files in this folder come from"
        echo
        echo "keltool.exe, kelctl.exe, the language files and the help: this program, MIT licence"
        echo "(LICENSE.txt)."
        echo
        echo "The Qt libraries are under the GNU LGPL version 3 (licenses/LGPL-3.0-only.txt, which"
        echo "builds on licenses/GPL-3.0-only.txt); licenses/qt6-base.copyright.txt lists the code"
        echo "they contain from others. Their source is Debian's source package qt6-base"
        echo "$(host_qt_version) (apt-get source qt6-base=$(host_qt_version)), built unchanged."
        echo "translations/qtbase_ja.qm: Qt's Japanese texts, under the same licences as Qt"
        echo "(licenses/qt6-translations-l10n.copyright.txt), from Debian package"
        echo "qt6-translations-l10n, source package $(dpkg-query -W -f='${source:Package} ${source:Version}' qt6-translations-l10n)."
        echo "The MinGW-w64 runtime DLLs are under the GCC Runtime Library Exception and the"
        echo "MinGW-w64 licences (licenses/*.copyright.txt)."
        echo
        echo "DLLs, from the executables' and plugins' imports:"
        dll_origin_note <"$stage/.dll-origins" | sort
    } | sed 's/$/\r/' >"$stage/THIRD-PARTY.txt"
    rm "$stage/.dll-origins"
    find "$stage" -name '*.exe' -o -name '*.dll' | xargs "$triple-strip" --strip-unneeded
}

# The installer's file list: what to install and, in reverse, what to remove, so that the
# uninstaller deletes exactly what was installed and never a folder's other contents.
nsis_file_lists() {
    local stage=$1 out=$2 rel dir
    : >"$out/install-files.nsh"
    : >"$out/uninstall-files.nsh"
    while read -r dir; do
        rel=${dir#"$stage"}
        rel=${rel#/}
        echo "SetOutPath \"\$INSTDIR${rel:+\\${rel//\//\\}}\"" >>"$out/install-files.nsh"
        find "$dir" -maxdepth 1 -type f | sort | while read -r f; do
            echo "File \"$f\"" >>"$out/install-files.nsh"
            r=${f#"$stage"/}
            echo "Delete \"\$INSTDIR\\${r//\//\\}\"" >>"$out/uninstall-files.nsh"
        done
    done < <(find "$stage" -type d | sort)
    find "$stage" -mindepth 1 -type d | sort -r | while read -r dir; do
        rel=${dir#"$stage"/}
        echo "RMDir \"\$INSTDIR\\${rel//\//\\}\"" >>"$out/uninstall-files.nsh"
    done
}

run_package() {
    local out version stage zip installer
    out=$(package_dir)
    version=$(sed -n 's/^project(keltool VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")
    stage=$out/keltool
    zip=$out/keltool-$version-windows-x64.zip
    installer=$out/keltool-$version-windows-x64-setup.exe
    mkdir -p "$out"
    stage_program_folder "$stage"
    rm -f "$zip"
    (cd "$out" && zip -qr9 "$zip" keltool)
    nsis_file_lists "$stage" "$out"
    makensis -V2 -DVERSION="$version" -DOUTFILE="$installer" -DFILES="$out" \
        -DICON="$here/packaging/windows/keltool.ico" -DLICENSE="$stage/LICENSE.txt" \
        "$here/packaging/windows/installer.nsi"
    ls -l "$zip" "$installer"
    echo "Program folder: $(du -sh "$stage" | cut -f1), $(find "$stage" -type f | wc -l) files"
}
