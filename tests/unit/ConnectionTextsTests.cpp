// The connections list's texts and the order its heading clicks give.
#include "StatForm/ConnectionTexts.h"
#include "StatForm/Owners.h"

#include <gtest/gtest.h>

using connections::CompareRows;
using Row = widgets::ListView::Row;

namespace {

// A table field as the platform stores it: the bytes in network order, in memory order.
DWORD Bytes(BYTE a, BYTE b, BYTE c, BYTE d) {
    return static_cast<DWORD>(a | (b << 8) | (c << 16) | (d << 24));
}

Row Connection(const std::wstring& local, const std::wstring& localPort, const std::wstring& remote,
               const std::wstring& remotePort, const std::wstring& state) {
    return Row{{local, localPort, remote, remotePort, state}, 0};
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

} // namespace

TEST(ConnectionTexts, AddressesPortsAndStatesOfATableEntry) {
    MIB_TCPROW entry{};
    entry.dwState = MIB_TCP_STATE_ESTAB;
    entry.dwLocalAddr = Bytes(192, 168, 0, 1);
    entry.dwLocalPort = Bytes(0x00, 0x50, 0, 0); // 80
    entry.dwRemoteAddr = Bytes(10, 0, 0, 200);
    entry.dwRemotePort = Bytes(0x04, 0x01, 0xAB, 0xCD); // 1025, upper half ignored
    const Row row = connections::ConnectionRow(entry);
    EXPECT_EQ(row.cells,
              (std::vector<std::wstring>{L"192.168.0.1", L"80", L"10.0.0.200", L"1025", L"ESTABLISHED"}));
    EXPECT_EQ(static_cast<DWORD>(row.data), entry.dwRemoteAddr);

    EXPECT_EQ(connections::PortText(Bytes(0xFF, 0xFF, 0x12, 0x34)), L"65535");
    EXPECT_EQ(connections::PortText(0), L"0");

    EXPECT_EQ(connections::StateName(2).value_or(L""), L"LISTEN");
    EXPECT_EQ(connections::StateName(12).value_or(L""), L"DELETE_TCB");
    EXPECT_FALSE(connections::StateName(0));
    EXPECT_FALSE(connections::StateName(13));
    entry.dwState = 13;
    EXPECT_EQ(connections::ConnectionRow(entry).cells.size(), 4u) << "no fifth column";

    // With the owners: the id and the name after the state, whose cell stays empty.
    const connections::ProcessNames owners(
        {{0, L"[System Process]"}, {1200, L"firefox.exe"}, {1200, L"late"}});
    MIB_TCPROW_OWNER_PID owned{
        13, entry.dwLocalAddr, entry.dwLocalPort, entry.dwRemoteAddr, entry.dwRemotePort, 3000};
    EXPECT_EQ(connections::ConnectionRow(owned, owners).cells,
              (std::vector<std::wstring>{L"192.168.0.1", L"80", L"10.0.0.200", L"1025", L"", L"3000", L""}));
    EXPECT_EQ(static_cast<DWORD>(connections::ConnectionRow(owned, owners).data), entry.dwRemoteAddr);
    EXPECT_EQ(owners.NameOf(0), L"[System Process]");
    EXPECT_EQ(owners.NameOf(1200), L"firefox.exe") << "an id listed twice keeps its first name";
    EXPECT_EQ(owners.NameOf(3000), L"") << "a process the snapshot does not know";

    MIB_TCP6ROW_OWNER_PID v6{};
    v6.ucLocalAddr[0] = 0xFE;
    v6.ucLocalAddr[1] = 0x80;
    v6.ucLocalAddr[15] = 1;
    v6.dwLocalScopeId = 12;
    v6.dwLocalPort = Bytes(0x01, 0xBB, 0, 0); // 443
    v6.ucRemoteAddr[0] = 0x20;
    v6.ucRemoteAddr[1] = 0x01;
    v6.ucRemoteAddr[2] = 0x0D;
    v6.ucRemoteAddr[3] = 0xB8;
    v6.ucRemoteAddr[15] = 0x01;
    v6.dwRemoteScopeId = 5;                          // only a link-local address names its scope
    v6.dwRemotePort = Bytes(0xC3, 0x50, 0x12, 0x34); // 50000, upper half ignored
    v6.dwState = MIB_TCP_STATE_TIME_WAIT;
    v6.dwOwningPid = 1200;
    const Row row6 = connections::ConnectionRow(v6, owners);
    EXPECT_EQ(row6.cells, (std::vector<std::wstring>{L"fe80::1%12", L"443", L"2001:db8::1", L"50000",
                                                     L"TIME_WAIT", L"1200", L"firefox.exe"}));
    EXPECT_TRUE(connections::IsIpv6Row(row6.data));
    EXPECT_FALSE(connections::IsIpv6Row(row.data));
}

TEST(ConnectionTexts, PortAndProcessIdColumnsCompareAsPaddedNumbers) {
    struct Case {
        std::wstring a, b;
        int sign; // of a against b, ascending
    } const cases[] = {
        {L"445", L"1025", -1}, // 000445 before 001025
        {L"x", L"445", -1},    // text that is no number counts as 0
        {L"", L"0", 0},        // and so does no text
        {L"445", L"0445", 0},  // the same number
        {L"1025", L"1025", 0},
    };
    for (std::uint8_t column : {connections::kLocalPort, connections::kRemotePort, connections::kProcessId})
        for (const Case& c : cases) {
            Row a = Connection(L"", L"0", L"", L"0", L"");
            a.cells.resize(connections::kColumnCount);
            Row b = a;
            a.cells[column] = c.a;
            b.cells[column] = c.b;
            EXPECT_EQ(Sign(CompareRows(a, b, column, true)), c.sign) << int(column);
            EXPECT_EQ(Sign(CompareRows(a, b, column, false)), -c.sign) << int(column);
        }
    // Ten digits for a process id: every id sorts as its number (six would put 1000004 first).
    Row a = Connection(L"", L"0", L"", L"0", L"");
    a.cells.resize(connections::kColumnCount);
    Row b = a;
    a.cells[connections::kProcessId] = L"999996";
    b.cells[connections::kProcessId] = L"1000004";
    EXPECT_LT(CompareRows(a, b, connections::kProcessId, true), 0);
}

TEST(ConnectionTexts, OtherColumnsCompareAsOrdinalTextFoldingOnlyAsciiLetters) {
    struct Case {
        std::wstring a, b;
        int sign; // of a against b, ascending
    } const cases[] = {
        {L"10.0.0.2", L"9.1.1.1", -1}, // as text, not as addresses
        {L"Host.Example", L"host.example", 0}, {L"alpha", L"BETA", -1}, {L"abc", L"ab", 1},
        {L"\u00C4x", L"\u00E4x", -1}, // only A..Z are folded
    };
    for (std::uint8_t column : {connections::kLocalAddress, connections::kRemoteAddress, connections::kState,
                                connections::kProcessName})
        for (const Case& c : cases) {
            Row a = Connection(L"", L"0", L"", L"0", L"");
            a.cells.resize(connections::kColumnCount);
            Row b = a;
            a.cells[column] = c.a;
            b.cells[column] = c.b;
            EXPECT_EQ(Sign(CompareRows(a, b, column, true)), c.sign) << int(column) << " " << c.a.size();
            EXPECT_EQ(Sign(CompareRows(a, b, column, false)), -c.sign);
        }
    // A row without a state sorts before one with.
    EXPECT_LT(CompareRows(Row{{L"a", L"1", L"b", L"2"}, 0}, Connection(L"a", L"1", L"b", L"2", L"LISTEN"),
                          connections::kState, true),
              0);
}

TEST(ConnectionTexts, AddressesAreToldFromHostNames) {
    for (const wchar_t* address : {L"0.0.0.0", L"192.168.0.1", L"255.255.255.255"})
        EXPECT_TRUE(connections::IsDottedAddress(address)) << address;
    for (const wchar_t* other : {L"", L"host.example", L"1.2.3", L"1.2.3.4.5", L"256.1.1.1", L"1..2.3",
                                 L"1.2.3.4 ", L"1234.1.1.1", L"a.b.c.d", L"::1"})
        EXPECT_FALSE(connections::IsDottedAddress(other)) << other;
    for (const wchar_t* address :
         {L"::", L"::1", L"2001:db8::1", L"fe80::1%12", L"1:2:3:4:5:6:7:8", L"1::", L"::ffff:192.168.0.1",
          L"64:ff9b::1.2.3.4", L"1:2:3:4:5:6:1.2.3.4", L"FE80::A"})
        EXPECT_TRUE(connections::IsIpv6Address(address)) << address;
    for (const wchar_t* other : {L"", L":", L":1", L"1:", L"1:2:3:4:5:6:7", L"1:2:3:4:5:6:7:8:9", L"1::2::3",
                                 L"12345::1", L"fe80::1%", L"::1 ", L"dead", L"face.example", L"host.example",
                                 L"::ffff:1.2.3", L"1:2:3:4:5:6:7:1.2.3.4", L"g::1", L"1:2:3:4:5:6:7:8::"})
        EXPECT_FALSE(connections::IsIpv6Address(other)) << other;
}
