// connections_bench: what the Connections page costs with a huge table, over the scripted
// platform: the rebuild of the list when the page comes into view, and heading sorts.
//
//   connections_bench [ROWS]          (default 10000)
#include "StatForm/StatsForm.h"
#include "support/FakePlatform.h"
#include "support/Windows.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

double Milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int rows = argc > 1 ? std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : 10000;
    fake::FakePlatform fake;
    fake.AddAdapter("eth0");
    for (int i = 0; i < rows; ++i) {
        MIB_TCPROW row{};
        row.dwState = static_cast<DWORD>(1 + i % 12);
        row.dwLocalAddr = static_cast<DWORD>(0x0100000A + ((i % 250) << 24));
        row.dwLocalPort = static_cast<DWORD>(((1024 + i) & 0xFF) << 8 | ((1024 + i) >> 8));
        row.dwRemoteAddr = static_cast<DWORD>(0x0000A8C0 + (i * 7919) % 65536 * 65536);
        row.dwRemotePort = static_cast<DWORD>(((i * 31) & 0xFF) << 8 | ((i * 31 >> 8) & 0xFF));
        fake.TcpRows.push_back(row);
    }
    auto window = fake::BeginWindow();
    window->Show();
    const double first = Milliseconds([&] { window->PageControl1.SetActivePage(window->tsConnect); });
    window->PageControl1.SetActivePage(window->tsGeneral);
    const double again = Milliseconds([&] { window->PageControl1.SetActivePage(window->tsConnect); });
    const double byPort = Milliseconds([&] { window->lvConnectionsColumnClick(1); });
    const double byRemote = Milliseconds([&] { window->lvConnectionsColumnClick(2); });
    const double reversed = Milliseconds([&] { window->lvConnectionsColumnClick(2); });
    std::printf("connections rows=%d rebuild_first_ms=%.1f rebuild_again_ms=%.1f sort_port_ms=%.1f "
                "sort_remote_ms=%.1f sort_reverse_ms=%.1f shown=%d\n",
                rows, first, again, byPort, byRemote, reversed, window->Connections.lvConnections.Count());
    return window->Connections.lvConnections.Count() == rows ? 0 : 1;
}
