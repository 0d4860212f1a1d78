# shellcheck shell=bash
# Shared by the scripts that build from Debian's own source packages (scripts/windows-deps,
# scripts/windows-qt): source it, then call
#   rcp520_deb_src_ready PACKAGE
# which makes `apt-get source PACKAGE` possible: it adds deb-src beside each Debian "deb" entry
# that lacks one (deb822 .sources files are edited in place, the Types line only; for a one-line
# /etc/apt/sources.list the deb-src lines go into a file of our own beside it) and refreshes the
# package lists when it changed anything or the lists do not know the source package yet.
# Idempotent; runs apt through sudo when not root. Messages go to standard error.

rcp520_apt() {
  if [ "$(id -u)" -ne 0 ]; then sudo "$@"; else "$@"; fi
}

# Adds the missing deb-src entries. Returns 0 when it changed anything, 1 when nothing was missing.
rcp520_add_deb_src() {
  local changed=1 f edited lines own=/etc/apt/sources.list.d/rcp520-deb-src.list
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    # Each Debian stanza whose Types lacks deb-src gets it added to the same Types line.
    edited=$(perl -00 -pe 'if (/^URIs:.*\bdebian\b/m && /^Types:.*\bdeb\b/m && !/^Types:.*\bdeb-src\b/m) {
      s/^(Types:.*?)[ \t]*$/$1 deb-src/m }' "$f")
    if [ "$edited" != "$(cat "$f")" ]; then
      printf '%s\n' "$edited" | rcp520_apt tee "$f" >/dev/null
      echo "deb-src: added deb-src to the Debian entries of $f" >&2
      changed=0
    fi
  done
  if [ -f /etc/apt/sources.list ] && [ ! -e "$own" ] &&
    ! grep -Eq '^deb-src[[:space:]].*debian' /etc/apt/sources.list; then
    lines=$(grep -E '^deb[[:space:]].*debian' /etc/apt/sources.list |
      sed -E 's/^deb([[:space:]])/deb-src\1/' || true)
    if [ -n "$lines" ]; then
      printf '# deb-src beside the Debian entries of sources.list, for building from source\n%s\n' \
        "$lines" | rcp520_apt tee "$own" >/dev/null
      echo "deb-src: wrote $own" >&2
      changed=0
    fi
  fi
  return $changed
}

# Makes `apt-get source $1` possible; fails with a message when the archive still has no source.
rcp520_deb_src_ready() {
  local package=$1
  if rcp520_add_deb_src || ! apt-cache showsrc "$package" 2>/dev/null | grep -q '^Package:'; then
    echo "deb-src: refreshing the package lists" >&2
    rcp520_apt apt-get update -qq >&2 || true
  fi
  if ! apt-cache showsrc "$package" 2>/dev/null | grep -q '^Package:'; then
    echo "deb-src: the Debian archive offers no source package $package" >&2
    return 1
  fi
}
