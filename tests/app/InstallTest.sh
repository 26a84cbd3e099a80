#!/bin/sh
# Installs the build into an empty prefix and checks it is what a Linux desktop needs to list,
# show and start the program, describe it and complete its command line, and nothing more.
# Arguments: the cmake to install with, the build folder, the library folder below the prefix.
set -eu
cmake=$1 build=$2 libdir=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

# The exact list: a test program or a static library that slips in shows up in the diff.
{
    echo bin/cropmark
    echo libexec/cropmark/cropmark-render
    echo "$libdir/cropmark/librender.so"
    echo share/applications/cropmark.desktop
    echo share/bash-completion/completions/cropmark
    echo share/man/man1/cropmark.1
    echo share/man/man1/cropmark-crop.1
    echo share/metainfo/org.cropmark.Cropmark.metainfo.xml
    echo share/doc/cropmark/user-guide.html
    for size in 16 24 32 48 64 128 256; do
        echo "share/icons/hicolor/${size}x${size}/apps/cropmark.png"
    done
    echo share/icons/hicolor/scalable/apps/cropmark.svg
} | LC_ALL=C sort >"$work/expected"
(cd "$prefix" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort) >"$work/installed"
diff -u "$work/expected" "$work/installed" || fail "installed files differ from the expected ones"

[ -x "$prefix/bin/cropmark" ] || fail "bin/cropmark is not executable"
[ -x "$prefix/libexec/cropmark/cropmark-render" ] || fail "the render host is not executable"
# Every library must resolve from the prefix or the system, never from the build tree.
libraries=$(ldd "$prefix/bin/cropmark" "$prefix/libexec/cropmark/cropmark-render")
if echo "$libraries" | grep -F -e "not found" -e "$build"; then
    fail "libraries unresolved or loaded from the build tree"
fi

desktop=$prefix/share/applications/cropmark.desktop
# Any output fails: warnings and hints point at entries some desktops list wrongly or twice.
if ! report=$(desktop-file-validate "$desktop" 2>&1) || [ -n "$report" ]; then
    fail "desktop-file-validate: $report"
fi
grep -Eq '^MimeType=(.*;)?application/pdf;' "$desktop" || fail "the desktop entry does not take PDF files"

# Software centres refuse metadata with errors or warnings.
metainfo=$prefix/share/metainfo/org.cropmark.Cropmark.metainfo.xml
report=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $report"

# The manual pages format without a warning.
for page in cropmark.1 cropmark-crop.1; do
    report=$(groff -man -ww -z "$prefix/share/man/man1/$page" 2>&1)
    [ -z "$report" ] || fail "groff on $page: $report"
done

# The shell completes the command line's options and their values.
complete() {
    bash -c '. /usr/share/bash-completion/bash_completion; . "$1"; shift
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
        _cropmark; echo "${COMPREPLY[*]}"' complete \
        "$prefix/share/bash-completion/completions/cropmark" "$@"
}
[ "$(complete cropmark crop --pa)" = "--pad --pages --password" ] || fail "crop options: $(complete cropmark crop --pa)"
[ "$(complete cropmark crop --pages odd,l)" = "odd,landscape" ] ||
    fail "page selections: $(complete cropmark crop --pages odd,l)"
[ "$(complete cropmark --v)" = "--version" ] || fail "program options: $(complete cropmark --v)"
