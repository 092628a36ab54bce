#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks that it and the Debian
# package hold the man pages and the shell completions, and drives the
# installed program under a virtual X server on the demo project's settings
# file: F5 loads the demo and Ctrl+A ticks its unused keywords; a filter
# shows the two "print" ones, Space on both unticks them, Enter opens the
# current one in a logging editor and its context menu copies its symbol;
# Ctrl+W (answered Yes) wipes the one left ticked. Passes when the keyword
# file comes out marked so, the editor and the clipboard got what they should
# and a screenshot was taken.
#   InstalledSession.sh BUILD_DIR EXAMPLES_DIR
set -euo pipefail
build=$1
examples=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null

# Where man and each shell look for them.
shared=(share/man/man1/glosscutter.1 share/man/man1/glosscutter-cli.1
    share/bash-completion/completions/glosscutter-cli
    share/zsh/vendor-completions/_glosscutter-cli
    share/fish/vendor_completions.d/glosscutter-cli.fish)
for file in "${shared[@]}"; do
    [[ -s $work/prefix/$file ]] || { echo "not installed: $file"; exit 1; }
done
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/deb" >/dev/null
deb=$(echo "$work"/deb/*.deb)
listing=$(dpkg-deb -c "$deb")
for file in bin/glosscutter-cli "${shared[@]}"; do
    grep -q " \./usr/$file\$" <<<"$listing" || { echo "not in the package: $file"; exit 1; }
done
[[ $(dpkg-deb -f "$deb" Recommends) == xdg-utils ]] || { echo "the package does not recommend xdg-utils"; exit 1; }

for tool in xvfb-run xdotool xclip openbox xwd; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
exec_line=$(sed -n 's/^Exec=//p' "$work/prefix/share/applications/glosscutter.desktop")
cp -R "$examples/demo" "$work/demo"
# The project's settings, with paths relative to their folder, and the user's,
# which --settings must leave unread.
printf '#!/bin/sh\n{ printf "%%s|" "$@"; echo; } >>%s/editor.log\n' "$work" >"$work/editor.sh"
chmod +x "$work/editor.sh"
printf '[General]\nkeyword%%20file=texts.h\neditor=%s\n\n[source%%20folder]\n0=src\n' \
    "$work/editor.sh" >"$work/demo/.glosscutter.conf"
mkdir -p "$work/config/GlossCutter"
printf '[General]\nkeyword%%20file=/nonexistent.h\n' >"$work/config/GlossCutter/GlossCutter.conf"

cat >"$work/session.sh" <<SESSION
#!/usr/bin/env bash
set -u
export XDG_CONFIG_HOME=$work/config PATH=$work/prefix/bin:\$PATH
# What a failed run needs to be understood: the condition, the window
# manager's own words and the windows that were there.
timed_out() {
    echo "timed out: \$1"; cat $work/openbox.log
    xdotool search --name . getwindowname %@ 2>/dev/null | sed 's/^/window: /'
    return 1
}
# Waits up to twenty seconds for a condition.
wait_for() { for _ in \$(seq 200); do eval "\$1" && return 0; sleep 0.1; done; timed_out "\$1"; }
openbox >$work/openbox.log 2>&1 &
# The window manager answers for the desktop once it manages the screen;
# before that no window can be activated.
wait_for 'xdotool get_desktop >/dev/null 2>&1' || exit 1
$exec_line --settings $work/demo/.glosscutter.conf &
# Presses keys until a condition holds: on a busy machine the program may
# not be ready for the first press.
press_until() {
    for _ in \$(seq 20); do
        eval "\$find_frame" && xdotool windowactivate --sync "\$window" 2>/dev/null
        for key in \$1; do xdotool key --clearmodifiers "\$key"; sleep 0.5; done
        for _ in \$(seq 10); do eval "\$2" && return 0; sleep 0.1; done
    done
    timed_out "\$2"
}
# Only the mapped frame: the toolkit may give an unmapped window the same title.
find_frame='window=\$(xdotool search --onlyvisible --name "^GlossCutter - GlossCutter\\\$" | head -1); [[ -n \$window ]]'
wait_for "\$find_frame"
wait_for 'xdotool windowactivate --sync "\$window" 2>/dev/null'
# Auto check asks only once the load has found keywords.
press_until "F5 ctrl+a" 'xdotool search --name "^Auto Check\\\$" >/dev/null'
xdotool key alt+y
wait_for '! xdotool search --name "^Auto Check\\\$" >/dev/null'
# The filter leaves gPrint and gPrintPreview; Tab twice reaches the list, whose
# first row is current, and Shift+Down selects both.
for key in ctrl+f p r i n t Tab Tab shift+Down space Return; do
    xdotool key --clearmodifiers "\$key"; sleep 0.3
done
wait_for '[[ -s $work/editor.log ]]'
# Its menu's second entry is "Copy symbol".
for key in Menu Down Down Return; do xdotool key --clearmodifiers "\$key"; sleep 0.3; done
wait_for '[[ \$(xclip -o -selection clipboard 2>/dev/null) == gPrintPreview ]]'
press_until ctrl+w 'xdotool search --name "^Wipe\\\$" >/dev/null'
xdotool key alt+y
wait_for '[[ -f $work/demo/texts.bak ]]'
sleep 1
xwd -root -silent -out $work/screenshot.xwd
kill %2 %1
SESSION
chmod +x "$work/session.sh"
xvfb-run -a -s "-screen 0 1280x800x24" "$work/session.sh"

grep -q '^// GlossCutter //#define sCloseFile' "$work/demo/texts.h"
grep -q '^#define sPrintPreview' "$work/demo/texts.h"
grep -q '^#define sPrint ' "$work/demo/texts.h"
[[ $(cat "$work/editor.log") == "$work/demo/texts.h/14|" ]]
cmp -s "$examples/demo/texts.h" "$work/demo/texts.bak"
[[ -s $work/screenshot.xwd ]]
echo "installed program: man pages and completions in place and in the package;"
echo "loaded, auto-checked, filtered, ticked, opened, copied and wiped the demo; screenshot taken"
