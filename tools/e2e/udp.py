# UDP datagrams between the test namespaces (tools/e2e/lib.sh: e2e_udp_send).
#   udp.py recv ADDRESS PORT COUNT READY_FILE: receives COUNT datagrams at most, giving up
#     after 10 s of silence; creates READY_FILE once bound; prints how many came.
#   udp.py send ADDRESS PORT COUNT SIZE: sends COUNT datagrams of SIZE zero bytes.
import socket
import sys

mode, address, port, count = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
if mode == "recv":
    s.bind((address, port))
    s.settimeout(10)
    open(sys.argv[5], "w").close()
    got = 0
    try:
        while got < count:
            s.recv(65536)
            got += 1
    except socket.timeout:
        pass
    print(got)
else:
    for _ in range(count):
        s.sendto(bytes(int(sys.argv[5])), (address, port))
