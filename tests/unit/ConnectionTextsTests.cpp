// The connections list's texts and the order its heading clicks give.
#include "StatForm/ConnectionTexts.h"

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
}

TEST(ConnectionTexts, PortColumnsCompareAsPaddedNumbers) {
    const Row low = Connection(L"1.1.1.1", L"445", L"2.2.2.2", L"445", L"");
    const Row high = Connection(L"1.1.1.1", L"1025", L"2.2.2.2", L"1025", L"");
    const Row notNumber = Connection(L"1.1.1.1", L"x", L"2.2.2.2", L"", L"");
    for (std::uint8_t column : {connections::kLocalPort, connections::kRemotePort}) {
        EXPECT_LT(CompareRows(low, high, column, true), 0) << int(column);
        EXPECT_GT(CompareRows(low, high, column, false), 0) << int(column);
        EXPECT_LT(CompareRows(notNumber, low, column, true), 0) << "text that is no number counts as 0";
        EXPECT_EQ(CompareRows(low, low, column, false), 0);
    }
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
    for (std::uint8_t column : {connections::kLocalAddress, connections::kRemoteAddress, connections::kState})
        for (const Case& c : cases) {
            Row a = Connection(L"", L"0", L"", L"0", L"");
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

TEST(ConnectionTexts, DottedAddressesAreToldFromHostNames) {
    for (const wchar_t* address : {L"0.0.0.0", L"192.168.0.1", L"255.255.255.255"})
        EXPECT_TRUE(connections::IsDottedAddress(address)) << address;
    for (const wchar_t* other : {L"", L"host.example", L"1.2.3", L"1.2.3.4.5", L"256.1.1.1", L"1..2.3",
                                 L"1.2.3.4 ", L"1234.1.1.1", L"a.b.c.d"})
        EXPECT_FALSE(connections::IsDottedAddress(other)) << other;
}
