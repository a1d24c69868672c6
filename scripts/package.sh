#!/usr/bin/env bash
# Builds the Debian package dist/vexaloid_VERSION_amd64.deb from this checkout
# and checks it with lintian.
#   scripts/package.sh
# A fresh build in build-package/ with Debian's hardening flags, installed with
# DESTDIR under /usr and stripped; the dependencies are computed from the
# program by dpkg-shlibdeps. Only OpenGL itself is named by hand (without a
# version): libepoxy and SDL load it at run time, so no linker record shows it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh package
root=$(pwd)
out="$root/build-package"
rm -rf "$out"
mkdir -p "$out" dist

echo "== build"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1"; }
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$out/build" -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
  -DBUILD_TESTING=OFF -DVEXALOID_WERROR=ON "${launcher[@]}" \
  -DCMAKE_C_FLAGS="$(flags CPPFLAGS) $(flags CFLAGS)" \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" >/dev/null
cmake --build "$out/build" -j"$(nproc)" --target vexaloid

echo "== stage"
stage="$out/stage"
DESTDIR="$stage" cmake --install "$out/build" --strip >/dev/null
version=$("$out/build/vexaloid" --version)
version=${version#vexaloid }
changelog=$(sed -n '1s/^vexaloid (\([^)]*\)).*/\1/p' desktop/changelog)
if [ "$changelog" != "$version" ]; then
  echo "package.sh: desktop/changelog starts at $changelog, the program is $version" >&2
  exit 1
fi
gzip -9n "$stage/usr/share/man/man6/vexaloid.6"
gzip -9n <desktop/changelog >"$stage/usr/share/doc/vexaloid/changelog.gz"
# Files 0644, folders and the program 0755, whatever the checkout's umask.
find "$stage" -type d -exec chmod 0755 {} +
find "$stage" -type f -exec chmod 0644 {} +
chmod 0755 "$stage/usr/games/vexaloid"

echo "== control"
mkdir -p "$out/shlibs/debian" "$stage/DEBIAN"
printf 'Source: vexaloid\n\nPackage: vexaloid\nArchitecture: any\n' >"$out/shlibs/debian/control"
depends=$(cd "$out/shlibs" && dpkg-shlibdeps -O -e "$stage/usr/games/vexaloid" 2>/dev/null |
  sed -n 's/^shlibs:Depends=//p')
size=$(du -sk --exclude=DEBIAN "$stage" | cut -f1)
cat >"$stage/DEBIAN/control" <<CONTROL
Package: vexaloid
Version: $version
Architecture: $(dpkg --print-architecture)
Maintainer: Marrowfinch Softworks <games@marrowfinch.example.com>
Installed-Size: $size
Depends: $depends, libgl1
Recommends: libgl1-mesa-dri
Section: games
Priority: optional
Homepage: https://marrowfinch.example.com/vexaloid/
Description: arcade shooter against swarms of merging bees
 Vexaloid is a fast full-screen arcade shooter. The ship follows the mouse
 along the foot of the screen and fires lasers straight up. Bees arrive in
 swarms of eight and merge into one attack bee, the smaller, faster and more
 valuable the fewer of its swarm were shot; attack bees loop, fire spinning
 sparks and dive at the ship until shot. Every second wave ends in a bonus
 round. The best score is kept between games.
CONTROL
(cd "$stage" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$stage/DEBIAN/md5sums"
chmod 0644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"

deb="dist/vexaloid_${version}_$(dpkg --print-architecture).deb"
rm -f "$deb"
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "built $deb ($(du -k "$deb" | cut -f1) KiB), Depends: $depends, libgl1"

echo "== lintian"
# Nothing is suppressed. Two notes remain at the info level: the sound set
# makes /usr/share most of the package (a separate arch-independent data
# package would be the remedy once there is more than one architecture), and
# the compiler's .comment section is left in the program.
lintian --fail-on error,warning --display-info "$deb"
echo "lintian: clean"
