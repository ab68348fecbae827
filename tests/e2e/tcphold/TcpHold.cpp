// kv_tcphold: a Windows program that holds one TCP connection, for the end-to-end scripts
// that look for the program behind a connection.
//
//   kv_tcphold ADDRESS PORT SECONDS   connects to ADDRESS (IPv4 or IPv6 text) and PORT,
//                                     sends one byte, prints "PID LOCALPORT" and holds the
//                                     connection SECONDS seconds at most
//
// Exit status: 0 held and closed, 1 could not connect, 2 usage.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fputs("usage: kv_tcphold ADDRESS PORT SECONDS\n", stderr);
        return 2;
    }
    const long seconds = std::wcstol(argv[3], nullptr, 10);
    if (seconds <= 0 || seconds > 600) {
        std::fputs("kv_tcphold: SECONDS must be 1 to 600\n", stderr);
        return 2;
    }
    std::string address, port;
    for (const wchar_t* c = argv[1]; *c; ++c)
        address += static_cast<char>(*c);
    for (const wchar_t* c = argv[2]; *c; ++c)
        port += static_cast<char>(*c);

    WSADATA data{};
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return 1;
    addrinfo hints{};
    hints.ai_flags = AI_NUMERICHOST;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (::getaddrinfo(address.c_str(), port.c_str(), &hints, &found) != 0 || !found) {
        std::fputs("kv_tcphold: not an address\n", stderr);
        return 1;
    }
    SOCKET s = ::socket(found->ai_family, SOCK_STREAM, IPPROTO_TCP);
    const bool connected =
        s != INVALID_SOCKET && ::connect(s, found->ai_addr, static_cast<int>(found->ai_addrlen)) == 0;
    ::freeaddrinfo(found);
    if (!connected) {
        std::fprintf(stderr, "kv_tcphold: cannot connect (%d)\n", ::WSAGetLastError());
        return 1;
    }
    // One byte, so that this process itself holds the socket: Wine keeps a socket only in
    // its server until the program first sends or receives on it, and then reports no owner
    // for the connection (process id 0), as for the sockets of native programs.
    if (::send(s, "k", 1, 0) != 1) {
        std::fprintf(stderr, "kv_tcphold: cannot send (%d)\n", ::WSAGetLastError());
        return 1;
    }
    sockaddr_storage local{};
    int length = sizeof local;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&local), &length);
    const unsigned short localPort = local.ss_family == AF_INET6
                                         ? reinterpret_cast<sockaddr_in6*>(&local)->sin6_port
                                         : reinterpret_cast<sockaddr_in*>(&local)->sin_port;
    std::printf("%lu %u\n", static_cast<unsigned long>(::GetCurrentProcessId()), ::ntohs(localPort));
    std::fflush(stdout);
    ::Sleep(static_cast<DWORD>(seconds) * 1000);
    ::closesocket(s);
    ::WSACleanup();
    return 0;
}
