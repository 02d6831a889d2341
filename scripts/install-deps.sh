#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Tavlor need, and only
# those that are missing. Debian 12, run as root (or with sudo available).
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ make pkg-config
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev qt6-qpa-plugins
    # Qt's own texts (standard buttons, edit menus) in the user's language
    qt6-translations-l10n
    # GUI and tray tests, screenshots
    xvfb xauth trayer xdotool x11-apps x11-utils imagemagick
    # a real window manager and panel (both tray paths), screen-reader view (AT-SPI)
    xfwm4 xfce4-panel at-spi2-core python3-pyatspi
    # a real session manager (checkpoint and logout)
    xfce4-session
    # Wayland: a compositor with a StatusNotifierItem host, Qt's Wayland plugin, screenshots
    sway waybar qt6-wayland grim
    # NetworkManager stand-in on a private bus
    dbus dbus-x11 python3 python3-dbus python3-dbusmock python3-gi
    # a real NetworkManager for the dial-up tests (confined to a network namespace; starts nothing itself)
    network-manager
    # network namespaces for the interface-counter tests, shortcut validation
    iproute2 desktop-file-utils procps
    # a real userspace VPN over a veth pair, for counting the link beneath a tunnel
    openvpn
    # the Debian package (CPack asks file and dpkg-shlibdeps) and its checks
    dpkg-dev file appstream lintian
    # the format check that `make test` runs, and `make tidy`
    clang-format clang-tidy
    # libFuzzer targets (preset "fuzz")
    clang libclang-rt-14-dev
    # the Windows platform layer and its tests (RAS binding included), cross-built and run under Wine
    g++-mingw-w64-x86-64-posix wine wine64
)
# Other scripts name their own packages: scripts/install-deps.sh PACKAGE...
if [ $# -gt 0 ]; then packages=("$@"); fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
