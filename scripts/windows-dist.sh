#!/usr/bin/env bash
# Writes the Windows program folder, its zip and its installer from a
# finished cross build (scripts/windows.sh calls it): dist/windows/.
# The DLLs shipped are those the program's executables, modules and plugins
# import, found with objdump -p and followed recursively; what none of the
# prefix's or MinGW's folders holds is Windows' own and is not shipped.
set -euo pipefail
cd "$(dirname "$0")/.."
bdir=${1:-build/win}
prefix=${SW_MINGW_PREFIX:-$(scripts/windows-prefix.sh)}
out=dist/windows
folder=$out/sw40610
version=$(sed -n 's/.*SW_Version = QStringLiteral("\([^"]*\)").*/\1/p' src/foundation/Identity.h)

rm -rf "$folder"
mkdir -p "$folder"
cmake --install "$bdir" --prefix "$folder" >/dev/null

# The plugins the program loads: the Windows platform for the window, the
# offscreen platform the report command draws on, the native style, and
# Schannel for HTTPS. Its images (the flags, .bmp; .png) are read by Qt Gui
# itself, so no image-format plugin is needed.
for plugin in platforms/qwindows.dll platforms/qoffscreen.dll styles/qwindowsvistastyle.dll tls/qschannelbackend.dll; do
  mkdir -p "$folder/$(dirname $plugin)"
  cp "$prefix/qt6/plugins/$plugin" "$folder/$plugin"
done

# Qt's own texts (buttons of its dialogs) in the shipped languages, from
# Debian's Qt translations: the program looks for them in translations/
# beside itself.
mkdir -p "$folder/translations"
for code in de es fr it; do
  cp "/usr/share/qt6/translations/qtbase_$code.qm" "$folder/translations/"
done

search=("$prefix/qt6/bin" "$prefix/openssl/bin" "$prefix/pugixml/bin"
        "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")"
        /usr/x86_64-w64-mingw32/lib)
find_dll() {
  local d
  for d in "${search[@]}"; do
    [ -f "$d/$1" ] && { echo "$d/$1"; return 0; }
  done
  return 1
}
# Worklist of images whose imports are still to be read.
mapfile -t todo < <(find "$folder" -type f \( -iname '*.exe' -o -iname '*.com' -o -iname '*.dll' \))
shipped=()
while [ ${#todo[@]} -gt 0 ]; do
  image=${todo[0]}
  todo=("${todo[@]:1}")
  while read -r dll; do
    [ -e "$folder/$dll" ] && continue
    if src=$(find_dll "$dll"); then
      cp "$src" "$folder/$dll"
      shipped+=("$dll")
      todo+=("$folder/$dll")
    fi
  done < <(x86_64-w64-mingw32-objdump -p "$image" | sed -n 's/^\s*DLL Name: //p' | tr -d '\r')
done
# No symbols a user needs: the debugging sections go (a third of Qt's size).
find "$folder" -type f \( -iname '*.exe' -o -iname '*.com' -o -iname '*.dll' \) \
  -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
printf '%s\n' "${shipped[@]}" | sort > "$out/shipped-dlls.txt"
echo "DLLs found from the imports: ${shipped[*]}"

zip_name=sw40610-$version-win64.zip
rm -f "$out/$zip_name"
(cd "$out" && zip -qr -9 "$zip_name" sw40610)

# The installer's lists: every file of the folder, and its removal (files
# first, then the folders, deepest first).
lists=$(realpath "$bdir")/installer
mkdir -p "$lists"
src=$(realpath "$folder")
{
  (cd "$folder" && find . -mindepth 1 -type d | sed 's|^\./||' | sort) | while read -r d; do
    echo "CreateDirectory \"\$INSTDIR\\${d//\//\\}\""
  done
  (cd "$folder" && find . -type f | sed 's|^\./||' | sort) | while read -r f; do
    dir=$(dirname "$f"); [ "$dir" = . ] && dir= || dir="\\${dir//\//\\}"
    echo "SetOutPath \"\$INSTDIR$dir\""
    echo "File \"$src/$f\""
  done
  echo 'SetOutPath "$INSTDIR"'
} > "$lists/files.nsh"
{
  (cd "$folder" && find . -type f | sed 's|^\./||' | sort) | while read -r f; do
    echo "Delete \"\$INSTDIR\\${f//\//\\}\""
  done
  (cd "$folder" && find . -mindepth 1 -type d | sed 's|^\./||' | sort -r) | while read -r d; do
    echo "RMDir \"\$INSTDIR\\${d//\//\\}\""
  done
} > "$lists/removals.nsh"

makensis -V2 -DVERSION="$version" -DFILES="$lists/files.nsh" -DREMOVALS="$lists/removals.nsh" \
  -DOUT_FILE="$(realpath "$out")/sw40610-$version-win64-setup.exe" scripts/windows-installer.nsi
ls -l "$out"/*.zip "$out"/*-setup.exe
