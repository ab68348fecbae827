#pragma once
#include "DetailForm/AdapterIpv6.h"
#include "DetailForm/resource.h"
#include "platform/Win32.h"
#include "widgets/Controls.h"
#include "widgets/Form.h"
#include "widgets/ListView.h"
#include "widgets/Menu.h"

#include <string>
#include <vector>

struct DetailRow {
    std::wstring Name;
    std::wstring Value;
};

// The full IP configuration of one adapter as rows of a property and its value. Made
// afresh for each showing from the status window's records.
class TNetDetail : public widgets::Form {
public:
    explicit TNetDetail(std::vector<DetailRow> rows);
    ~TNetDetail() override;

    widgets::Label Label1{*this, IDC_NetDetailLabel1};
    widgets::ListView ListView1{*this, IDC_NetDetailListView1};
    widgets::Button Button1{*this, IDC_NetDetailButton1};
    widgets::PopupMenu PopupMenu1{*this, IDM_NetDetailPopupMenu1};
    widgets::MenuItem Copy1{PopupMenu1, IDM_NetDetailCopy1};

    void FormCreate() override;
    void AddRow(const std::wstring& name, const std::wstring& value);
    void Copy1Click();
    void Button1Click();

private:
    std::vector<DetailRow> rows_;
};

// What the window shows of one adapter, from the status window's records.
struct DetailSources {
    const FIXED_INFO& NetworkParams;
    // The block GetNetworkParams filled, holding the chain of further DNS servers.
    const std::vector<BYTE>& NetworkParamsBuffer;
    const IP_ADAPTER_INFO& AdapterInfo;
    const MIB_IFROW& IfRow;
    std::wstring Gateway; // as the Support page shows it
    AdapterIpv6 Ipv6;     // after the IPv4 addresses and after the IPv4 DNS servers
};

std::vector<DetailRow> DetailRows(const DetailSources& sources);

// A lease time (seconds since 1970-01-01 UTC) in the machine's time zone.
SYSTEMTIME LeaseLocalTime(std::uint32_t seconds);
// The user's short date, a blank and the long time; the date alone at midnight.
std::wstring LeaseTimeText(const SYSTEMTIME& local);
