#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what an installed Quillox needs: the
# layout, validated desktop entry and metadata, a man page that renders, and quillox-scan
# working from the prefix with the satellite tables of its installed data folder.
# Usage: check_install.sh BUILD_DIR VERSION WITH_GUI(ON|OFF)
set -euo pipefail
build="$1" version="$2" with_gui="$3"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" > /dev/null

files=(bin/quillox-scan share/quillox/Help/direita_ss2_qx_zyl.htm
       share/quillox/Help/direita_ss2_qx_zyl_eng.htm share/quillox/satellites/0192E.csv
       share/applications/org.example.quillox.desktop
       share/metainfo/org.example.quillox.metainfo.xml
       share/icons/hicolor/scalable/apps/quillox.svg share/icons/hicolor/48x48/apps/quillox.png
       share/man/man1/quillox-scan.1 share/doc/quillox/copyright share/doc/quillox/README.md)
[ "$with_gui" = ON ] && files+=(bin/quillox)
for file in "${files[@]}"; do
  [ -f "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done

desktop-file-validate "$prefix/share/applications/org.example.quillox.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.example.quillox.metainfo.xml"
MANWIDTH=80 man -P cat -l "$prefix/share/man/man1/quillox-scan.1" | grep -q -- "--virtual-time" \
  || { echo "the man page does not render the options"; exit 1; }

[ "$("$prefix/bin/quillox-scan" --version)" = "quillox-scan $version" ] \
  || { echo "wrong version: $("$prefix/bin/quillox-scan" --version)"; exit 1; }
# From an empty folder, so the table can only come from the installed data folder.
cd "$prefix"
out="$(HOME="$prefix" "$prefix/bin/quillox-scan" --virtual-time --no-progress \
       --scenario 0192E --truth 0192E "1 - FIND" "2- Find VERT S/Rs")"
grep -Eq "found +[1-9][0-9]* of [1-9]" <<< "$out" || { echo "$out"; exit 1; }
echo "installed layout, validators, man page and quillox-scan from the prefix: ok"
