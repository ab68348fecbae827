# A TCP socket for the end-to-end scripts, held open for HOLD seconds at most:
#   tcp.py listen ADDRESS PORT READY HOLD   listens and holds every connection it accepts
#   tcp.py connect ADDRESS PORT READY HOLD  holds one connection
# READY is written once the socket is ready; for a connection it holds the local port.
# ADDRESS is IPv4 or IPv6 text.
import os
import socket
import sys
import time

mode, address, port, ready, hold = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4], float(sys.argv[5])
end = time.time() + hold
held = []
if mode == "listen":
    s = socket.socket(socket.AF_INET6 if ":" in address else socket.AF_INET, socket.SOCK_STREAM)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    s.bind((address, port))
    s.listen(8)
    open(ready, "w").close()
    s.settimeout(1)
    while time.time() < end:
        try:
            held.append(s.accept()[0])
        except socket.timeout:
            pass
else:
    s = socket.create_connection((address, port), timeout=5)
    with open(ready + ".tmp", "w") as f:
        f.write(str(s.getsockname()[1]))
    os.rename(ready + ".tmp", ready)
    while time.time() < end:
        time.sleep(0.5)
