# Sourced by the bench's and the project's scripts.
#
# wine_path PATH: PATH (a Linux path) as a Windows program under Wine names
# it. Wine shows the Linux root as drive Z:, and takes / and \ alike.
wine_path() { printf 'Z:%s\n' "$1"; }

# use_wine_env: a test that ctest runs gets TOLVANE_WINE_ENV, the folder in
# which the fixture "wine" started an X display and a prefix (wine-env); this
# exports their DISPLAY, WINEPREFIX and WINEDEBUG. Without it, what the
# caller exported stays. Fails when the fixture started nothing there.
use_wine_env() {
    [ -n "${TOLVANE_WINE_ENV:-}" ] || return 0
    local exports
    exports=$("$(dirname "${BASH_SOURCE[0]}")/wine-env" exports "$TOLVANE_WINE_ENV") || return 1
    eval "$exports"
}
