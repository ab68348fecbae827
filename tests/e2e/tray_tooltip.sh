#!/usr/bin/env bash
# The tray icon on a real display: the program watches one veth link inside a Wine
# desktop with a taskbar, drawn on a private Xvfb. Hovering the icon must show the
# connection, its speed and the kernel's byte counts for the link; with the link down the
# icon must turn to the unplugged one (red) and its tooltip must say the cable is out.
#   tray_tooltip.sh KELVRA_EXE KV_INSPECT_EXE
set -u
kelvra=$1
# shellcheck disable=SC2034 # read by e2e_inspect
E2E_INSPECTOR=$2
E2E_DEADLINE=${E2E_DEADLINE:-150}
# shellcheck source-path=SCRIPTDIR source=../../tools/e2e/lib.sh
source "$(dirname "$0")/../../tools/e2e/lib.sh"

for tool in Xvfb xdotool xdpyinfo import convert; do
    if ! command -v $tool >/dev/null; then
        e2e_log "$tool is missing (tools/deps installs it): skipped"
        exit $E2E_SKIP
    fi
done
e2e_init

connection="Ethernet 适配器"
unplugged="网络电缆未插好。"
desktopSize=800x600
port=9917
# Ethernet, IPv4 and UDP headers of one datagram on the wire.
headerBytes=42
# Hover and read a tooltip within this many seconds: each look starts a Wine program,
# which takes seconds on a loaded machine.
hoverSeconds=40

e2e_display $desktopSize
e2e_quiet_link a b
e2e_install a "$kelvra"
e2e_x11_desktop a $desktopSize
display=$DISPLAY

# send FROM ADDRESS COUNT SIZE: COUNT datagrams of SIZE bytes to a port nobody listens
# on; what the peer answers is counted by the kernel as well.
send() {
    e2e_exec "$1" python3 -c 'import socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
for _ in range(int(sys.argv[3])):
    s.sendto(bytes(int(sys.argv[4])), (sys.argv[1], int(sys.argv[2])))' "$2" $port "$3" "$4" ||
        e2e_fail "sending from $1 failed"
}

kernel() { e2e_exec a cat "/sys/class/net/a-eth0/statistics/$1"; }

# 1234567 -> 1,234,567
grouped() { echo "$1" | sed ':a; s/\B[0-9]\{3\}\>/,&/; ta'; }

# The one tray icon: Wine's taskbar runs along the bottom of the desktop, 20 pixels high,
# with the tray icons from its right end in cells of 20 (a small icon and a border of 2).
read -r screenW screenH <<<"${desktopSize/x/ }"
cell=20
iconX=$((screenW - cell / 2))
iconY=$((screenH - cell / 2))

# Parks the pointer on the empty desktop, away from the icon, and lets its tooltip go.
park() {
    xdotool mousemove $((screenW / 2)) $((screenH / 2))
    sleep 1
}

# The texts of the visible tooltips of the taskbar's process, line breaks as "|".
visible_tips() {
    e2e_inspect a windows tooltips_class32 |
        awk -F'\t' -v pid="$explorerPid" '$2 == 1 && $3 == pid { print $4 }' |
        sed 's/\\[rn]/|/g; s/||*/|/g'
}

# await_tip REGEX: hovers the icon until one of its visible tooltips matches, bounded by
# hoverSeconds; prints the match, or on failure what was seen.
await_tip() {
    local deadline=$((SECONDS + hoverSeconds)) tips
    while :; do
        park
        # Two steps: the tooltip starts on the pointer moving within the icon.
        xdotool mousemove $((iconX - 1)) $((iconY - 1))
        sleep 0.2
        xdotool mousemove $iconX $iconY
        # The tooltip shows after the hover delay, later on a busy machine: look a few times.
        for _ in 1 2 3 4 5 6; do
            sleep 0.6
            tips=$(visible_tips)
            if echo "$tips" | grep -E "$1"; then
                park
                return 0
            fi
        done
        if [ $SECONDS -ge $deadline ]; then
            echo "${tips//$'\n'/ / }"
            park
            return 1
        fi
    done
}

# red_pixels NAME: a picture of the icon's cell (pointer parked), kept in the work folder
# as NAME.png; prints how many of its pixels are clearly red. Fails on an empty cell.
red_pixels() {
    local png=$E2E_WORK/$1.png pixels
    import -display "$display" -window root -crop ${cell}x${cell}+$((screenW - cell))+$((screenH - cell)) +repage "$png" ||
        e2e_fail "cannot take a picture of $display"
    pixels=$(convert "$png" -depth 8 txt:- | grep -o '#[0-9A-Fa-f]\{6\}')
    [ "$(echo "$pixels" | sort -u | wc -l)" -gt 2 ] || e2e_fail "no icon in the tray cell ($png)"
    echo "$pixels" | awk '
        function channel(at) { return (index(hex, substr($1, at, 1)) - 1) * 16 + index(hex, substr($1, at + 1, 1)) - 1 }
        BEGIN { hex = "0123456789ABCDEF" }
        { $1 = toupper($1); if (channel(2) > 180 && channel(4) < 80 && channel(6) < 80) n++ }
        END { print n + 0 }'
}

t0=$SECONDS
e2e_wine_bg a explorer /desktop=kelvra,$desktopSize 'C:\kelvra\kelvra.exe'
windows=$(e2e_inspect a wait TStatsForm 1 "$E2E_START_WAIT") || e2e_fail "no status window within $E2E_START_WAIT s"
hwnd=$(echo "$windows" | cut -f1)
tray=$(e2e_inspect a wait Shell_TrayWnd 1 10) || e2e_fail "no taskbar on the desktop within 10 s"
explorerPid=$(echo "$tray" | head -n1 | cut -f3)
e2e_log "window $hwnd, taskbar of process $explorerPid after $((SECONDS - t0)) s"

# Traffic of known size both ways, then a few ticks for the program to count it.
send a 10.201.1.1 40 1000
send b 10.201.1.2 25 600
sleep 2.5
sent=$(kernel tx_bytes)
received=$(kernel rx_bytes)
e2e_log "the kernel counted $sent bytes sent, $received received"
if [ "$sent" -lt $((40 * (1000 + headerBytes))) ] || [ "$received" -lt $((25 * (600 + headerBytes))) ]; then
    e2e_fail "the datagrams did not cross the link"
fi

upTip=$(await_tip "^$connection\|速度: [^|]*\|发送: $(grouped "$sent") 字节\|收到: $(grouped "$received") 字节$") ||
    e2e_fail "with the link up the tooltip does not show the connection, its speed and $sent/$received bytes; seen: $upTip"
e2e_log "with the link up the tooltip reads '$upTip'"
upRed=$(red_pixels up) || exit 1
[ "$upRed" -eq 0 ] || e2e_fail "with the link up the tray icon has $upRed red pixels"

e2e_exec a ip link set dev a-eth0 down || e2e_fail "cannot take a-eth0 down"
t1=$SECONDS
sleep 2.5
downTip=$(await_tip "^$connection\|$unplugged$") ||
    e2e_fail "with the link down the tooltip does not say the cable is out; seen: $downTip"
e2e_log "with the link down the tooltip reads '$downTip' after $((SECONDS - t1)) s"
downRed=$(red_pixels down) || exit 1
[ "$downRed" -ge 10 ] || e2e_fail "with the link down the tray icon has $downRed red pixels, expected the unplugged icon"
e2e_log "the tray icon has $downRed red pixels with the link down, none with it up"

# The stop message ends the program; the desktop's process that started it may stay (it
# does under 64-bit Wine), so the program's end is seen by its windows going.
e2e_inspect a remote-send "$hwnd" 0x2C 0 0 >/dev/null || e2e_fail "the stop message did not reach $hwnd"
e2e_inspect a wait TStatsForm =0 30 >/dev/null || e2e_fail "the status window outlived the stop message"
e2e_log "passed in $((SECONDS - t0)) s"
