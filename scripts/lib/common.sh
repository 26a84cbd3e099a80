# Shared by the scripts: installs what is missing and builds.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# CI (CI set) builds with warnings as errors, into folders of its own ("build-ci",
# "build-asan-ci", ...): switching between the two configurations in one folder would rebuild
# everything each time.
CI_SUFFIX=${CI:+-ci}
BUILD_DIR=${CROPMARK_BUILD_DIR:-$ROOT/build$CI_SUFFIX}

PACKAGES=(
    cmake ninja-build pkg-config g++
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-svg-dev libgl-dev
    libqpdf-dev qpdf
    libmupdf-dev libmujs-dev libgumbo-dev libopenjp2-7-dev libjbig2dec0-dev libjpeg-dev
    libfreetype-dev libharfbuzz-dev zlib1g-dev libbrotli-dev libpng-dev libseccomp-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool poppler-utils fonts-dejavu-core hyperfine desktop-file-utils
    appstream groff-base bash-completion
)

# Installs, with apt-get, only the packages that are not installed yet: those named, or
# PACKAGES when none are.
ensure_packages() {
    local wanted=("$@")
    [ $# -eq 0 ] && wanted=("${PACKAGES[@]}")
    local missing=()
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Further CMake options of the build in BUILD_DIR (the sanitizer and fuzz builds set some).
BUILD_OPTIONS=()

# Configures once, then rebuilds only what changed. Arguments are build targets.
build() {
    local werror=OFF
    [ -n "${CI:-}" ] && werror=ON
    local configuration="-DCROPMARK_WERROR=$werror ${BUILD_OPTIONS[*]}"
    if [ ! -f "$BUILD_DIR/build.ninja" ] ||
        [ "$(cat "$BUILD_DIR/.configuration" 2>/dev/null)" != "$configuration" ]; then
        cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCROPMARK_WERROR="$werror" "${BUILD_OPTIONS[@]}" >/dev/null
        echo "$configuration" > "$BUILD_DIR/.configuration"
    fi
    if [ $# -gt 0 ]; then
        cmake --build "$BUILD_DIR" --parallel "$(nproc)" --target "$@"
    else
        cmake --build "$BUILD_DIR" --parallel "$(nproc)"
    fi
}
