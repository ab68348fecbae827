#include "frmARPlst/ArpList.h"
#include "frmARP/AddARP.h"
#include "frmARPlst/ArpText.h"
#include "platform/Buffers.h"
#include "platform/Dialogs.h"
#include "platform/IpHelper.h"
#include "platform/Kernel.h"
#include "settings/DropShadow.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <utility>

namespace {
// The table's header and one row: enough to learn the size of a table of any length.
constexpr ULONG kFirstTableSize = offsetof(MIB_IPNETTABLE, table) + sizeof(MIB_IPNETROW);
static_assert(sizeof(MIB_IPNETROW) == 24);
} // namespace

TArpListForm::TArpListForm(Adapter adapter)
    : Form(kClassName, IDD_TArpListForm, {360, 255}), InterfaceIndex(adapter.InterfaceIndex),
      AdapterAddress(std::move(adapter.AdapterAddress)), ConnectionName(std::move(adapter.ConnectionName)),
      dropShadow_(adapter.DropShadow) {
    OnShow = [this] { FormShow(); };
    ARPList.SetColumns({{L"IP 地址", 100}, {L"物理地址", 150}, {L"类型", 80}});
    Button1.OnClick = [this] { Button1Click(); };
    Button2.OnClick = [this] { Button2Click(); };
    btnClearARP.OnClick = [this] { btnClearARPClick(); };
    Button4.OnClick = [this] { Button4Click(); };
    ARPList.HelpContext = IDH_ArpListARPList;
    Button1.HelpContext = IDH_ArpListButton1;
    Button2.HelpContext = IDH_ArpListButton2;
    btnClearARP.HelpContext = IDH_ArpListbtnClearARP;
    Button4.HelpContext = IDH_ArpListButton4;
}

TArpListForm::~TArpListForm() {
    DestroyHandle();
}

void TArpListForm::FormCreate() {
    CenterOnOwner();
    settings::ApplyDropShadow(*this, dropShadow_);
    btnClearARP.SetEnabled(platform::kernel().Version.IsWin2000OrLater());
}

void TArpListForm::FormShow() {
    lbInterface.SetCaption(arp::InterfaceHeader(AdapterAddress, InterfaceIndex));
    FillArpList();
}

void TArpListForm::FillArpList() {
    ARPList.Clear();
    std::vector<BYTE> block;
    auto call = [](BYTE* buffer, ULONG* size) {
        return platform::ipHelper().GetIpNetTable(reinterpret_cast<PMIB_IPNETTABLE>(buffer), size, TRUE);
    };
    if (platform::FetchBlock(call, kFirstTableSize, block) != NO_ERROR || block.size() < kFirstTableSize)
        return;
    const auto* table = reinterpret_cast<const MIB_IPNETTABLE*>(block.data());
    // Never more rows than the block holds, whatever the count says.
    const std::size_t fits = (block.size() - offsetof(MIB_IPNETTABLE, table)) / sizeof(MIB_IPNETROW);
    const std::size_t count = std::min<std::size_t>(table->dwNumEntries, fits);
    std::vector<widgets::ListView::Row> rows;
    for (std::size_t i = 0; i < count; ++i) {
        const MIB_IPNETROW& entry = table->table[i];
        rows.push_back(
            {{arp::AddressToDotted(entry.dwAddr),
              arp::PhysicalAddressText(entry.bPhysAddr, entry.dwPhysAddrLen), arp::TypeName(entry.dwType)}});
    }
    ARPList.Assign(rows);
}

void TArpListForm::Button1Click() {
    TAddARP dialog;
    settings::ApplyDropShadow(dialog, dropShadow_);
    dialog.SetStayOnTop(StayOnTop());
    if (dialog.ShowModal(*this) != IDOK)
        return;
    MIB_IPNETROW row;
    std::memset(&row, 0, sizeof row);
    row.dwIndex = InterfaceIndex;
    const std::array<BYTE, 8> physical = dialog.PhysicalAddress();
    std::memcpy(row.bPhysAddr, physical.data(), physical.size());
    row.dwPhysAddrLen = 6;
    row.dwAddr = ::htonl(dialog.Address());
    row.dwType = dialog.EntryType();
    if (platform::ipHelper().CreateIpNetEntry(&row) != NO_ERROR) {
        std::wstring text = L"为适配器添加项目到 ARP 表时发生错误\n\r" + ConnectionName;
        platform::dialogs().MessageBoxW(Handle(), text.c_str(), L"Error", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    FillArpList();
}

void TArpListForm::Button2Click() {
    for (int selected = ARPList.NextSelected(); selected >= 0; selected = ARPList.NextSelected(selected)) {
        MIB_IPNETROW row;
        std::memset(&row, 0, sizeof row);
        row.dwIndex = InterfaceIndex;
        row.dwPhysAddrLen = 6;
        row.dwAddr = arp::DottedToAddress(ARPList.Text(selected, 0));
        row.dwType = arp::TypeNumber(ARPList.Text(selected, 2));
        // A refused removal shows in the list that follows.
        platform::ipHelper().DeleteIpNetEntry(&row);
    }
    FillArpList();
}

void TArpListForm::btnClearARPClick() {
    // Looked up each time: systems before Windows 2000 have no such export.
    platform::UniqueModule library(platform::kernel().LoadLibraryW(L"iphlpapi.dll"));
    if (!library)
        return;
    FARPROC found = platform::kernel().GetProcAddress(library.Get(), "FlushIpNetTable");
    if (!found)
        return;
    using Flush = DWORD(WINAPI*)(DWORD);
    // The list keeps the old rows until it is next read.
    reinterpret_cast<Flush>(reinterpret_cast<void*>(found))(InterfaceIndex);
}

void TArpListForm::Button4Click() {
    Close();
}
