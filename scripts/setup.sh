# Shared by scripts/run and scripts/test: installs what the build needs from
# Debian's packages, nothing from anywhere else. Sourced, not run.
LTY_PACKAGES="cmake g++ make pkg-config libsqlite3-dev qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl-dev libgtest-dev libbenchmark-dev libsodium-dev libcsv-dev libxlsxwriter-dev unzip fonts-noto-cjk xvfb xauth poppler-utils qt6-translations-l10n postgresql postgresql-contrib libpq-dev libicu-dev"

lty_missing_packages() {
    local missing=""
    for p in $LTY_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
    done
    echo "$missing"
}

lty_install_packages() {
    local missing
    missing=$(lty_missing_packages)
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing:$missing"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -q
        # shellcheck disable=SC2086
        apt-get install -y -q --no-install-recommends $missing
    else
        echo "Some packages are missing. Run this once, then start again:"
        echo "  sudo apt-get install -y$missing"
        exit 1
    fi
}

lty_jobs() { nproc 2>/dev/null || echo 2; }
