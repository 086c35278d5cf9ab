#!/usr/bin/env bash
# Usage: scripts/check-package.sh [BUILD_DIR]
# Builds the Debian package in a configured and built tree (default build/release) and checks it:
# the files it lists, its dependencies, the desktop entry, lintian where installed, an install into
# a scratch root, a design opened through xdg-open on a private session bus into the running
# designer, and a clean removal.
set -euo pipefail
build=$(realpath "${1:-build/release}")
source_dir=$(realpath "$(dirname "$0")/..")
scratch=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "check-package: $*" >&2; exit 1; }

cd "$build"
rm -f vurodadud-azuz_*.deb
cpack -G DEB >"$scratch/cpack.log" || { cat "$scratch/cpack.log"; fail "cpack failed"; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' CMakeCache.txt)
deb="$build/vurodadud-azuz_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $deb"
echo "package: $deb ($(stat -c %s "$deb") bytes)"

dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' >"$scratch/contents"
expected=(usr/bin/vurodadud-azuz usr/bin/azuz usr/share/applications/vurodadud-azuz.desktop \
  usr/share/icons/hicolor/scalable/apps/vurodadud-azuz.svg \
  usr/share/mime/packages/vurodadud-azuz.xml usr/share/man/man1/vurodadud-azuz.1.gz \
  usr/share/man/man1/azuz.1.gz usr/share/doc/vurodadud-azuz/copyright \
  usr/share/doc/vurodadud-azuz/changelog.gz)
for file in "${expected[@]}"; do
  grep -qx "./$file" "$scratch/contents" || fail "the package lacks /$file"
done
[ "$(wc -l <"$scratch/contents")" -eq ${#expected[@]} ] ||
  fail "the package holds files nobody checks: $(tr '\n' ' ' <"$scratch/contents")"
depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
for library in libqt6widgets6 libqt6dbus6 libc6 libcups2; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library"
done

root="$scratch/root"
dpkg -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/vurodadud-azuz.desktop"
grep -qx 'Exec=vurodadud-azuz --open %f' "$root/usr/share/applications/vurodadud-azuz.desktop" ||
  fail "the entry's Exec takes no file"
zcat "$root/usr/share/man/man1/vurodadud-azuz.1.gz" | grep -q -- '--open' ||
  fail "the designer's manual page lacks --open"
zcat "$root/usr/share/man/man1/azuz.1.gz" | grep -q 'info' || fail "azuz's manual page lacks its verbs"
if command -v lintian >/dev/null; then
  # Errors fail the check; warnings are shown.
  lintian --tag-display-limit 0 "$deb" | tee "$scratch/lintian" || true
  ! grep -q '^E:' "$scratch/lintian" || fail "lintian reports errors"
fi

# A design opened by the shell goes to the designer already running in this session.
mkdir -p "$scratch/config" "$scratch/work"
update-mime-database "$root/usr/share/mime" >/dev/null 2>&1
update-desktop-database "$root/usr/share/applications"
corpus="${AZUZ_TESTDATA_DIR:-$source_dir/../shared/testdata}/gdiref/fade_0.bwi"
design="$scratch/work/open me.bwi"
if [ -f "$corpus" ]; then cp "$corpus" "$design"; chmod u+rw "$design"; fi
export XDG_DATA_DIRS="$root/usr/share:/usr/share" XDG_CONFIG_HOME="$scratch/config"
export PATH="$root/usr/bin:$PATH" QT_QPA_PLATFORM=offscreen DISPLAY="${DISPLAY:-:none}"
# A desktop that opens files through GIO, which reads types and launchers from XDG_DATA_DIRS.
export XDG_CURRENT_DESKTOP=GNOME
[ "$(xdg-mime query filetype "$design")" = application/x-vurodadud-azuz-watermark ] ||
  fail "the staged install does not type .bwi files"
[ "$(xdg-mime query default application/x-vurodadud-azuz-watermark)" = vurodadud-azuz.desktop ] ||
  fail "the staged install does not open .bwi files with the designer"

if [ ! -f "$design" ]; then
  echo "check-package: no corpus design; xdg-open not tried"
else
  dbus-run-session -- bash -c '
    set -euo pipefail
    design=$1
    vurodadud-azuz & designer=$!
    for _ in $(seq 100); do
      dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.vurodadud.Azuz | grep -q "boolean true" && break
      sleep 0.05
    done
    start=$(date +%s%N)
    xdg-open "$design"
    echo "xdg-open handed the design over in $(( ($(date +%s%N) - start) / 1000000 )) ms"
    conf="$XDG_CONFIG_HOME/Local AppWizard-Generated Applications/Vurodadud Azuz.conf"
    for _ in $(seq 100); do
      grep -qF "$design" "$conf" 2>/dev/null && break
      sleep 0.05
    done
    kill $designer
    grep -qF "$design" "$conf" || { echo "the running designer did not open the design" >&2; exit 1; }
  ' check "$design"
  echo "xdg-open: the running designer opened the design"
fi

# Installed into and removed from a scratch dpkg database: nothing of it may stay behind.
admin="$scratch/dpkg"
mkdir -p "$admin/updates" "$admin/info" "$scratch/inst"
touch "$admin/status" "$admin/available"
dpkg_root=(dpkg --root="$scratch/inst" --admindir="$admin" --log=/dev/null --force-depends
  --force-not-root --force-script-chrootless)
"${dpkg_root[@]}" -i "$deb" >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log"; fail "dpkg -i failed"; }
[ -x "$scratch/inst/usr/bin/vurodadud-azuz" ] || fail "dpkg -i left no designer"
"${dpkg_root[@]}" -L vurodadud-azuz | grep -qx /usr/bin/azuz || fail "dpkg does not list azuz"
"${dpkg_root[@]}" --purge vurodadud-azuz >/dev/null
left=$(find "$scratch/inst" -type f | wc -l)
[ "$left" -eq 0 ] || fail "$left files left after removal"
echo "check-package: all checks passed"
