// An example plug-in: its command opens a small window that shows, once a second, what
// the host's data callback answers for every code.
#include <winsock2.h>

#include "kvPlug/kvplug.h"

#include <iphlpapi.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

KvPlugDataCallback gAsk = nullptr;
HINSTANCE gModule = nullptr;
constexpr wchar_t kClassName[] = L"TKvExample";
constexpr UINT_PTR kRefreshTimer = 1;
constexpr int kTextId = 100;

template <typename T> const T* Block(DWORD code) {
    KvPlugValue value = 0;
    if (!gAsk || gAsk(code, &value) != KVPLUG_OK)
        return nullptr;
    return reinterpret_cast<const T*>(value);
}

std::wstring Widen(const char* text, UINT codePage) {
    if (!text || !*text)
        return L"";
    int n = ::MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1)
        ::MultiByteToWideChar(codePage, 0, text, -1, wide.data(), n);
    return wide;
}

std::wstring Number(unsigned long long n) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%llu", n);
    return text;
}

void Line(std::wstring& out, const wchar_t* label, const std::wstring& value) {
    out += label;
    out += L": ";
    out += value;
    out += L"\r\n";
}

std::wstring Report() {
    std::wstring out;
    Line(out, L"Version", Widen(Block<char>(KVPLUG_VERSION_TEXT), CP_ACP));
    Line(out, L"Connection", Widen(Block<char>(KVPLUG_CONNECTION_NAME), 936));
    Line(out, L"Interface", Widen(Block<char>(KVPLUG_INTERFACE_NAME), 936));
    if (const DWORD* index = Block<DWORD>(KVPLUG_INTERFACE_INDEX))
        Line(out, L"Index", Number(index[0]));
    if (const auto* adapter = Block<IP_ADAPTER_INFO>(KVPLUG_ADAPTER_INFO)) {
        Line(out, L"Adapter", Widen(adapter->Description, CP_ACP));
        for (const IP_ADDR_STRING* a = &adapter->IpAddressList; a; a = a->Next)
            Line(out, L"Address",
                 Widen(a->IpAddress.String, CP_ACP) + L" / " + Widen(a->IpMask.String, CP_ACP));
        Line(out, L"Gateway", Widen(adapter->GatewayList.IpAddress.String, CP_ACP));
    }
    if (const auto* params = Block<FIXED_INFO>(KVPLUG_NETWORK_PARAMS))
        Line(out, L"Host", Widen(params->HostName, CP_ACP));
    if (const auto* row = Block<MIB_IFROW>(KVPLUG_IF_ROW)) {
        Line(out, L"Bytes in", Number(row->dwInOctets));
        Line(out, L"Bytes out", Number(row->dwOutOctets));
        Line(out, L"Packets in", Number(row->dwInUcastPkts + row->dwInNUcastPkts));
        Line(out, L"Packets out", Number(row->dwOutUcastPkts + row->dwOutNUcastPkts));
    }
    if (const auto* table = Block<MIB_IFTABLE>(KVPLUG_INTERFACE_TABLE))
        Line(out, L"Interfaces", Number(table->dwNumEntries));
    if (const auto* tcp = Block<MIB_TCPSTATS>(KVPLUG_TCP_STATS)) {
        Line(out, L"TCP established", Number(tcp->dwCurrEstab));
        Line(out, L"TCP segments in", Number(tcp->dwInSegs));
    }
    if (const auto* ip = Block<MIB_IPSTATS>(KVPLUG_IP_STATS))
        Line(out, L"IP datagrams in", Number(ip->dwInReceives));
    if (const auto* udp = Block<MIB_UDPSTATS>(KVPLUG_UDP_STATS))
        Line(out, L"UDP datagrams in", Number(udp->dwInDatagrams));
    if (const auto* icmp = Block<MIB_ICMP>(KVPLUG_ICMP_STATS))
        Line(out, L"ICMP messages in", Number(icmp->stats.icmpInStats.dwMsgs));
    KvPlugValue window = 0;
    if (gAsk && gAsk(KVPLUG_WINDOW_HANDLE, &window) == KVPLUG_OK)
        Line(out, L"Window", Number(window));
    return out;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE: {
        HWND text = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                      WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 0, 0,
                                      0, 0, hwnd, reinterpret_cast<HMENU>(kTextId), gModule, nullptr);
        ::SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), TRUE);
        ::SetTimer(hwnd, kRefreshTimer, 1000, nullptr);
        ::SendMessageW(hwnd, WM_TIMER, kRefreshTimer, 0);
        return 0;
    }
    case WM_SIZE:
        ::MoveWindow(::GetDlgItem(hwnd, kTextId), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_TIMER:
        ::SetDlgItemTextW(hwnd, kTextId, Report().c_str());
        return 0;
    case WM_DESTROY:
        ::KillTimer(hwnd, kRefreshTimer);
        return 0;
    default:
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

} // namespace

extern "C" {

__declspec(dllexport) DWORD WINAPI GetDisplayName(DWORD size, char* buffer) {
    // 8-bit text in the system's ANSI code page, which the host reads it in; plain ASCII
    // reads the same in all of them.
    static const char kCaption[] = "Plug-in data example";
    if ((size & 0xFFFF) < sizeof kCaption)
        return 1;
    std::memcpy(buffer, kCaption, sizeof kCaption);
    return 0;
}

__declspec(dllexport) DWORD WINAPI CallbackRequest(KvPlugDataCallback callback) {
    gAsk = callback;
    return 0;
}

__declspec(dllexport) DWORD WINAPI GetFlags(void) {
    return KVPLUG_ENABLED | KVPLUG_VISIBLE;
}

__declspec(dllexport) DWORD WINAPI Execute(HWND window) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = WindowProc;
    cls.hInstance = gModule;
    cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = kClassName;
    ::RegisterClassExW(&cls); // fails harmlessly once registered
    HWND shown = ::CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"Plug-in data example", WS_OVERLAPPEDWINDOW,
                                   CW_USEDEFAULT, CW_USEDEFAULT, 360, 420, window, nullptr, gModule, nullptr);
    if (shown)
        ::ShowWindow(shown, SW_SHOWNORMAL);
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        gModule = module;
    if (reason == DLL_PROCESS_DETACH && gModule)
        ::UnregisterClassW(kClassName, gModule);
    return TRUE;
}

} // extern "C"
