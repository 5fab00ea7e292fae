# Sourced by the scripts: installs the Debian packages the build and the tests need, once.

# cmake --build runs this many jobs; one a core unless the caller chose.
export CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"

TESSMERE_PACKAGES=(
    cmake make g++ googletest python3 clang libclang-rt-14-dev
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
    libcli11-dev libstb-dev libtinygltf-dev nlohmann-json3-dev zlib1g-dev libz-mingw-w64-dev
    wine64 xvfb xauth xdotool x11-utils libgl1-mesa-dri libglu1-mesa
    imagemagick fonts-ipafont-gothic locales strace
)

# The Khronos glTF validator that checks tessmere-model's glTF files, from the npm registry.
TESSMERE_NODE_PACKAGES=(gltf-validator@2.0.0-dev.3.10)

tessmere_install_packages() {
    local missing=()
    local package
    # Node.js comes with the machine; Debian's is the fallback.
    if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
        TESSMERE_PACKAGES+=(nodejs npm)
    fi
    for package in "${TESSMERE_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        "${sudo[@]}" apt-get update -q
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
    fi
    # Wine shows the program's Shift-JIS texts right only under a Japanese locale.
    if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
        "${sudo[@]}" sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
        grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
        "${sudo[@]}" locale-gen
    fi
}

# Installs the node packages of the tests into build/node (kept out of git), where they run.
tessmere_install_node_packages() {
    npm install --prefix "$1/build/node" --no-save --no-audit --no-fund "${TESSMERE_NODE_PACKAGES[@]}"
}
