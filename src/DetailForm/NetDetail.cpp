#include "DetailForm/NetDetail.h"
#include "platform/Clipboard.h"
#include "platform/Kernel.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <utility>

namespace {
// Seconds from the FILETIME origin (1601-01-01) to 1970-01-01.
constexpr ULONGLONG kUnixEpochSeconds = 11644473600ULL;
constexpr ULONGLONG kTicksPerSecond = 10000000ULL;

template <std::size_t N> std::wstring FieldText(const char (&field)[N]) {
    return platform::FromAnsi(std::string(field, strnlen(field, N)), CP_ACP);
}
} // namespace

TNetDetail::TNetDetail(std::vector<DetailRow> rows)
    : Form(L"TNetDetail", IDD_TNetDetail, {339, 285}), rows_(std::move(rows)) {
    ListView1.SetColumns({{L"属性", 158}, {L"值", 157}});
    ListView1.HelpContext = IDH_NetDetailListView1;
    ListView1.OnContextMenu = [this](POINT at) { PopupMenu1.Popup(at); };
    Button1.HelpContext = IDH_NetDetailButton1;
    Button1.OnClick = [this] { Button1Click(); };
    Copy1.OnClick = [this] { Copy1Click(); };
}

TNetDetail::~TNetDetail() {
    DestroyHandle();
}

void TNetDetail::FormCreate() {
    CenterOnOwner();
    for (const DetailRow& row : rows_)
        AddRow(row.Name, row.Value);
}

void TNetDetail::AddRow(const std::wstring& name, const std::wstring& value) {
    ListView1.Add({{name, value}});
}

void TNetDetail::Copy1Click() {
    int selected = ListView1.NextSelected();
    if (selected < 0)
        return;
    platform::SetClipboardText(Handle(), ListView1.Text(selected, 1));
}

void TNetDetail::Button1Click() {
    SetModalResult(IDCANCEL);
}

SYSTEMTIME LeaseLocalTime(std::uint32_t seconds) {
    ULARGE_INTEGER ticks;
    ticks.QuadPart = (kUnixEpochSeconds + seconds) * kTicksPerSecond;
    FILETIME utcFile{ticks.LowPart, ticks.HighPart};
    SYSTEMTIME utc{};
    ::FileTimeToSystemTime(&utcFile, &utc);
    return platform::UtcToLocal(utc);
}

std::wstring LeaseTimeText(const SYSTEMTIME& local) {
    std::wstring text = platform::ShortDateText(local);
    if (local.wHour == 0 && local.wMinute == 0 && local.wSecond == 0)
        return text;
    return text + L" " + platform::LongTimeText(local);
}

std::vector<DetailRow> DetailRows(const DetailSources& s) {
    std::vector<DetailRow> rows;
    rows.push_back({L"主机名称", FieldText(s.NetworkParams.HostName)});
    rows.push_back({L"域名称", FieldText(s.NetworkParams.DomainName)});
    rows.push_back({L"", L""});

    // As many bytes as the adapter's address has: a MAC address shows six groups.
    std::wstring physical;
    const UINT length = std::min<UINT>(s.AdapterInfo.AddressLength, MAX_ADAPTER_ADDRESS_LENGTH);
    for (UINT i = 0; i < length; ++i) {
        wchar_t pair[4];
        std::swprintf(pair, 4, L"%02X", s.AdapterInfo.Address[i]);
        physical += (i ? L"-" : L"") + std::wstring(pair);
    }
    rows.push_back({L"物理地址", physical});

    for (const IP_ADDR_STRING* a = &s.AdapterInfo.IpAddressList; a; a = a->Next) {
        rows.push_back({L"IP 地址", FieldText(a->IpAddress.String)});
        rows.push_back({L"子网掩码", FieldText(a->IpMask.String)});
    }
    for (const std::wstring& address : s.Ipv6.Addresses)
        rows.push_back({L"IPv6 地址", address});
    rows.push_back({L"默认网关", s.Gateway});

    // The first server is in the record; further ones are chained inside the block the
    // platform filled, and only links that stay inside it are followed.
    rows.push_back({L"DNS 服务器", FieldText(s.NetworkParams.DnsServerList.IpAddress.String)});
    const BYTE* begin = s.NetworkParamsBuffer.data();
    const BYTE* end = begin + s.NetworkParamsBuffer.size();
    auto inside = [&](const IP_ADDR_STRING* p) {
        auto* b = reinterpret_cast<const BYTE*>(p);
        return p && b >= begin && b + sizeof *p <= end;
    };
    if (s.NetworkParamsBuffer.size() >= sizeof(FIXED_INFO)) {
        const auto* stored = reinterpret_cast<const FIXED_INFO*>(begin);
        std::size_t steps = s.NetworkParamsBuffer.size() / sizeof(IP_ADDR_STRING);
        for (const IP_ADDR_STRING* d = stored->DnsServerList.Next; inside(d) && steps-- > 0; d = d->Next)
            rows.push_back({L"", FieldText(d->IpAddress.String)});
    }
    for (const std::wstring& server : s.Ipv6.DnsServers)
        rows.push_back({L"", server});

    if (s.AdapterInfo.DhcpEnabled == 1) {
        rows.push_back({L"DHCP 服务器", FieldText(s.AdapterInfo.DhcpServer.IpAddress.String)});
        rows.push_back({L"获得了租约", LeaseTimeText(LeaseLocalTime(
                                           static_cast<std::uint32_t>(s.AdapterInfo.LeaseObtained)))});
        rows.push_back({L"租约过期", LeaseTimeText(LeaseLocalTime(
                                         static_cast<std::uint32_t>(s.AdapterInfo.LeaseExpires)))});
    }
    if (s.AdapterInfo.HaveWins) {
        rows.push_back({L"主 WINS 服务器", FieldText(s.AdapterInfo.PrimaryWinsServer.IpAddress.String)});
        rows.push_back({L"辅 WINS 服务器", FieldText(s.AdapterInfo.SecondaryWinsServer.IpAddress.String)});
    }
    rows.push_back({L"Admin 状态", s.IfRow.dwAdminStatus ? L"真" : L"假"});
    return rows;
}
