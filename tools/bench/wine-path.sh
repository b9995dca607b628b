# Sourced by the bench's and the project's scripts.
#
# wine_path PATH: PATH (a Linux path) as a Windows program under Wine names
# it. Wine shows the Linux root as drive Z:, and takes / and \ alike.
wine_path() { printf 'Z:%s\n' "$1"; }
