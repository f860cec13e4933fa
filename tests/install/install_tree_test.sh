#!/bin/sh
# make install DESTDIR=... of a built tree: every file where the desktop and
# the program look for it, the program stripped, the desktop entry and the
# metainfo valid; then make uninstall leaves exactly what was there before.
#
#   install_tree_test.sh SOURCE BUILD
set -eu
src=$1
build=$2
dest=$(mktemp -d)
export INSTALL_MANIFEST="$dest.manifest"
trap 'rm -rf "$dest" "$INSTALL_MANIFEST"' EXIT
fails=0
fail() {
    echo "FAIL: $*"
    fails=$((fails + 1))
}

# A folder and file of someone else's, which uninstall must leave alone.
mkdir -p "$dest/usr/local/share/applications"
echo keep >"$dest/usr/local/share/applications/other.desktop"

"$src/tools/install-tree" install "$build" /usr/local "$dest"
p=$dest/usr/local

# The program, stripped of symbols and debugging data.
[ -x "$p/games/shizi" ] || fail "no program in games/"
if readelf -S "$p/games/shizi" | grep -qE '\.(debug_|symtab)'; then
    fail "the installed program still holds debugging data or symbols"
fi

# The media set, whole, where the program looks: ../share/shizi from games/.
media=$(grep '^SHIZI_MEDIA_DIR:' "$build/CMakeCache.txt" | cut -d= -f2-)
(cd "$media" && find . ! -type d ! -name shizi ! -name .stamp ! -name tav_k.bmp \
    ! -name '*.tmp' | sort) >"$dest.want"
(cd "$p/share/shizi" && find . ! -type d | sort) >"$dest.have"
if ! cmp -s "$dest.want" "$dest.have"; then
    fail "share/shizi is not the media set:"
    diff "$dest.want" "$dest.have" | head -20
fi
rm -f "$dest.want" "$dest.have"
for f in data/tav.txt data/data.txt game/Game01/data/data.txt tavHelp.chm; do
    [ -f "$p/share/shizi/$f" ] || fail "share/shizi/$f is missing"
done
if find "$p/share/shizi" -perm /022 | grep -q .; then
    fail "files in share/shizi are writable by others"
fi

# The desktop entry starts the installed program and sits in the menus.
entry=$p/share/applications/org.shizi.shizi.desktop
grep -qx "Exec=/usr/local/games/shizi" "$entry" || fail "Exec does not name the installed program"
grep -qx "Categories=Education;Languages;Game;KidsGame;" "$entry" || fail "wrong Categories"
desktop-file-validate "$entry" || fail "desktop-file-validate"
appstreamcli validate --no-net "$p/share/metainfo/org.shizi.shizi.metainfo.xml" >/dev/null ||
    fail "appstreamcli validate"
[ -f "$p/share/man/man6/shizi.6" ] || fail "no manual page"

# Each icon is a PNG of its folder's size.
for n in 16 22 24 32 48 64 128 256; do
    icon=$p/share/icons/hicolor/${n}x${n}/apps/org.shizi.shizi.png
    size=$(python3 -c "import struct,sys; d=open(sys.argv[1],'rb').read(24); \
print('%dx%d' % struct.unpack('>II', d[16:24]) if d[:8]==b'\x89PNG\r\n\x1a\n' else 'none')" "$icon" 2>/dev/null || echo missing)
    [ "$size" = "${n}x${n}" ] || fail "icon ${n}x${n} is $size"
done

# A second install over the first, then uninstall: what was there before
# stays, nothing else does.
"$src/tools/install-tree" install "$build" /usr/local "$dest" >/dev/null
"$src/tools/install-tree" uninstall "$build"
left=$(cd "$dest" && find . -mindepth 1 | sort | tr '\n' ' ')
want="./usr ./usr/local ./usr/local/share ./usr/local/share/applications ./usr/local/share/applications/other.desktop "
[ "$left" = "$want" ] || fail "uninstall left: $left"
[ ! -e "$INSTALL_MANIFEST" ] || fail "the manifest outlived the uninstall"

[ $fails -eq 0 ] || exit 1
echo "install tree OK"
