#!/usr/bin/env bash
# Builds the Debian package, checks it with lintian (no error allowed),
# unpacks it into a temporary root and starts the unpacked program under a
# virtual X server as a new user would, with an empty HOME: the three
# first-run messages are answered with the keyboard (xdotool) and, at each
# step, the files the program has written are checked. Nothing under the
# unpacked /usr may change.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() { echo "check-package: $*" >&2; exit 1; }

if [ "${1:-}" = "--drive" ]; then
    root=$2 home=$3 log=$4
    config=$home/.config/Tallvane
    env -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME="$home" QT_QPA_PLATFORM=xcb \
        "$root/usr/bin/tallvane" >"$log" 2>&1 &
    pid=$!
    trap 'kill $pid 2>/dev/null || true' EXIT

    # Waits for the visible window whose title matches, prints its id.
    window() { timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -1; }
    # Presses Return in the message box and waits until it is gone.
    answer() {
        local id=$1
        sleep 0.5
        xdotool windowfocus --sync "$id"
        xdotool key Return
        for _ in $(seq 100); do
            xwininfo -id "$id" 2>/dev/null | grep -q IsViewable || return 0
            sleep 0.1
        done
        fail "the message box $id did not close"
    }

    box=$(window '^Tallvane$') || fail "no first-run message (log: $(cat "$log"))"
    [ -d "$config" ] || fail "$config was not created"
    [ ! -e "$config/CheminBase.cfg" ] || fail "CheminBase.cfg written before the first message was answered"
    answer "$box"
    box=$(window '^Tallvane$') || fail "no second first-run message"
    answer "$box"
    box=$(window '^Tallvane$') || fail "no message asking for the doctors"
    grep -q "$config" "$config/CheminBase.cfg" || fail "CheminBase.cfg does not name $config"
    [ -s "$config/Ferrune.mdb" ] || fail "the shipped database was not copied into $config"
    answer "$box"
    window 'Gestion de la visite' >/dev/null || fail "no main window after the first-run messages"
    [ -s "$config/Vs.ini" ] || fail "Vs.ini not written in $config"
    ls "$config"/Sauvegardes/Ferrune_*.mdb >/dev/null 2>&1 || fail "no copy of the day in $config/Sauvegardes"
    kill "$pid"; wait "$pid" 2>/dev/null || true

    # The next start works on what the first one wrote: only the request
    # for the doctors (none entered yet) comes before the main window.
    cfg=$(cat "$config/CheminBase.cfg")
    env -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME="$home" QT_QPA_PLATFORM=xcb \
        "$root/usr/bin/tallvane" >>"$log" 2>&1 &
    pid=$!
    box=$(window '^Tallvane$') || fail "second start: no request for the doctors"
    answer "$box"
    window 'Gestion de la visite' >/dev/null || fail "second start: no main window"
    [ "$(cat "$config/CheminBase.cfg")" = "$cfg" ] || fail "second start rewrote CheminBase.cfg"
    exit 0
fi

build=${1:-build}
cmake --build "$build" --target package
deb=$(ls -t "$build"/tallvane_*_amd64.deb | head -1)
echo "package: $deb"
dpkg-deb -f "$deb" Package Version Depends Recommends
lintian --fail-on error "$deb" || fail "lintian found errors"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root home=$work/home
mkdir -p "$root" "$home"
dpkg-deb -x "$deb" "$root"
for f in usr/bin/tallvane usr/lib/tallvane/Ferrune usr/lib/tallvane/Remisa usr/lib/tallvane/LecteurAccess \
         "usr/share/tallvane/Copie de Ferrune.mdb" usr/share/applications/org.tallvane.Tallvane.desktop \
         usr/share/icons/hicolor/scalable/apps/tallvane.svg usr/share/metainfo/org.tallvane.Tallvane.metainfo.xml \
         usr/share/doc/tallvane/copyright usr/share/doc/tallvane/changelog.gz usr/share/man/man1/tallvane.1.gz \
         usr/lib/tallvane/tallvane-web lib/systemd/system/tallvane-web.service etc/default/tallvane-web; do
    [ -e "$root/$f" ] || fail "$f missing from the package"
done
for p in libsqlite3-0 libpq5 qt6-translations-l10n libqt6svg6 libqt6widgets6 libmdb3; do
    dpkg-deb -f "$deb" Depends | grep -q "$p" || fail "$p missing from Depends"
done

# The web service starts from the package and says how it is used; its unit
# is not enabled by the package (no link under /etc/systemd).
"$root/usr/lib/tallvane/tallvane-web" --help | grep -q -- "--listen" || fail "tallvane-web does not start"
[ ! -e "$root/etc/systemd" ] || fail "the package enables a unit"

snapshot() { (cd "$root" && find . -exec stat -c '%n %s %Y %a' {} + | sort); }
before=$(snapshot)
xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --drive "$root" "$home" "$work/program.log"
[ "$(snapshot)" = "$before" ] || fail "the program changed files under the unpacked /usr"
echo "check-package: OK"
