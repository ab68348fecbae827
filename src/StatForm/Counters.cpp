// The interface's row and the counters of the General page.
#include "StatForm/StatsForm.h"
#include "StatForm/Counting.h"
#include "StatForm/Formats.h"
#include "platform/IpHelper.h"
#include "platform/Kernel.h"

#include <algorithm>
#include <cstring>

bool TStatsForm::BindInterface() {
    const std::optional<DWORD> index = Samples->WatchedIndex(Ordinal);
    if (!index)
        return false;
    InterfaceIndex = *index;
    FriendlyIndex = platform::ipHelper().GetFriendlyIfIndex(InterfaceIndex);
    Bound = true;
    WideCounting = Samples->WideRow(InterfaceIndex) != nullptr;
    return true;
}

bool TStatsForm::RefreshIfRow(bool bind) {
    // Nothing about binding is final: a window whose interface was not in the table yet
    // looks for it again on every tick.
    if ((bind || !Bound) && !BindInterface())
        return false;
    const app::Sampler::InterfaceRows table = Samples->Interfaces();
    if (!table.fetched)
        return false;

    const MIB_IFROW* row = table.Find(InterfaceIndex);
    if (!row)
        return false;
    if (WideCounting) {
        // Counting goes on from the 64-bit row alone; a tick without it counts nothing.
        const MIB_IF_ROW2* wide = Samples->WideRow(InterfaceIndex);
        if (!wide)
            return false;
        WideRow = *wide;
    }
    IfRow = *row;
    return true;
}

namespace {

const wchar_t* const kStatusTextsFull[] = {L"无操作",   L"不可获得", L"已断开连接",
                                           L"正在连接", L"已连接",   L"操作"};
const wchar_t* const kStatusTextsNT5[] = {L"已断开连接", L"已断开连接", L"已断开连接",
                                          L"已连接",     L"已连接",     L"已连接"};
const wchar_t* const kStatusTextsOld[] = {L"已断开连接", L"已连接"};
// A status the tables do not know is shown as such rather than as a guess.
constexpr wchar_t kStatusUnknown[] = L"未知";

template <std::size_t N> std::wstring StatusText(const wchar_t* const (&table)[N], DWORD status) {
    return status < N ? table[status] : kStatusUnknown;
}

// What a driver reports for a link speed it does not know.
constexpr ULONG64 kUnknownLinkSpeed = ~0ULL;

bool IsDialUpType(UINT type) {
    return type == MIB_IF_TYPE_PPP || type == MIB_IF_TYPE_SLIP;
}

} // namespace

std::uint64_t TStatsForm::LinkSpeed() const {
    std::uint64_t speed = IfRow.dwSpeed;
    if (WideCounting)
        for (ULONG64 wide : {WideRow.TransmitLinkSpeed, WideRow.ReceiveLinkSpeed})
            if (wide != kUnknownLinkSpeed)
                speed = std::max<std::uint64_t>(speed, wide);
    return speed;
}

bool TStatsForm::IsConnected() const {
    if (IsDialUpType(AdapterInfo.Type) || platform::kernel().Version.IsWin2000OrLater())
        return IfRow.dwOperStatus > 2;
    return IfRow.dwOperStatus == 1;
}

std::pair<counting::Tick, counting::Tick> TStatsForm::CountBytes() {
    counting::Tick sent;
    counting::Tick received;
    if (WideCounting) {
        sent = SentCounting.Count64(WideRow.OutOctets, WideRow.OutDiscards, FirstSample);
        received = ReceivedCounting.Count64(WideRow.InOctets, WideRow.InDiscards, FirstSample);
    } else {
        sent = SentCounting.Count32(IfRow.dwOutOctets, IfRow.dwOutDiscards, FirstSample);
        received = ReceivedCounting.Count32(IfRow.dwInOctets, IfRow.dwInDiscards, FirstSample);
    }
    FirstSample = false;
    TickSentBytes = sent.Bytes;
    TickReceivedBytes = received.Bytes;
    return {sent, received};
}

void TStatsForm::UpdateGeneral() {
    const platform::WindowsVersion& os = platform::kernel().Version;
    const int mode = DisplaySettings.OctetDisp;

    const std::wstring speed = formats::LinkSpeedText(LinkSpeed());
    General.lbSpeed.SetCaption(speed);

    const DWORD status = IfRow.dwOperStatus;
    if (IsDialUpType(AdapterInfo.Type)) {
        General.lbStatus.SetCaption(StatusText(kStatusTextsFull, status));
        Support.lbStatus2.SetCaption(StatusText(kStatusTextsFull, status));
    } else if (os.IsWin2000OrLater()) {
        MediaDisconnected = status < 3;
        General.lbStatus.SetCaption(StatusText(kStatusTextsNT5, status));
        Support.lbStatus2.SetCaption(StatusText(kStatusTextsFull, status));
    } else {
        General.lbStatus.SetCaption(StatusText(kStatusTextsOld, status));
        Support.lbStatus2.SetCaption(StatusText(kStatusTextsOld, status));
    }

    // Counter arithmetic is unsigned 32-bit and wraps, as the platform's counters do.
    SentPackets = IfRow.dwOutUcastPkts + IfRow.dwOutNUcastPkts - IfRow.dwOutDiscards - IfRow.dwOutErrors -
                  SentPacketsBase;
    ReceivedPackets = IfRow.dwInUcastPkts + IfRow.dwInNUcastPkts - IfRow.dwInDiscards - IfRow.dwInErrors -
                      IfRow.dwInUnknownProtos - ReceivedPacketsBase;
    General.lbPackSent.SetCaption(formats::PacketCountText(SentPackets));
    General.lbPackRecd.SetCaption(formats::PacketCountText(ReceivedPackets));

    const auto [sent, received] = CountBytes();
    General.lbByteSent.SetCaption(formats::FormatBytes(mode, false, SentTotal));
    General.lbByteRecd.SetCaption(formats::FormatBytes(mode, false, ReceivedTotal));
    if (std::optional<std::wstring> unit = formats::ByteUnitCaption(mode))
        General.Label15.SetCaption(*unit);

    if (FirstUpdate) {
        SetActivityImage(0);
        FirstUpdate = false;
    } else {
        ActivityState = counting::ActivityState(sent.Moved, received.Moved, MediaDisconnected);
        SetActivityImage(ActivityState);
        TrayIcon.SetIcon(ImageList2.Icon(ActivityState));
    }

    counting::HintFacts hint{.Lines = os.IsWin2000OrLater() || os.IsWinMe(),
                             .PopupDisplayType = DisplaySettings.PopupDisplayType,
                             .OctetDisp = mode,
                             .MediaDisconnected = MediaDisconnected,
                             .ConnectionName = ConnectionName,
                             .Speed = speed,
                             .SentTotal = SentTotal,
                             .ReceivedTotal = ReceivedTotal};
    if (hint.ShowsAddress())
        hint.Address = Support.cbIP.Item(0);
    TrayIcon.SetHint(counting::TrayHint(hint));
}

void TStatsForm::SetActivityImage(int state) {
    General.Image2.SetIcon(ImageList1.Icon(state + IconOffset));
}

void TStatsForm::ShowDuration() {
    if (!IsConnected()) {
        General.lbDuration.SetCaption(L"");
        return;
    }
    General.lbDuration.SetCaption(formats::DurationText(platform::kernel().Now() - StartTime));
}

void TStatsForm::Button3Click() {
    ReceivedBytesBase += ReceivedTotal;
    SentBytesBase += SentTotal;
    ReceivedPacketsBase += ReceivedPackets;
    SentPacketsBase += SentPackets;
    UpdateGeneral();
    ClearChart();
}

void TStatsForm::RestoreTotals() {
    SentBytesBase = 0;
    ReceivedBytesBase = 0;
    SentPacketsBase = 0;
    ReceivedPacketsBase = 0;
    UpdateGeneral();
}

void TStatsForm::CorrectWraps(bool sentSide, UINT button, WPARAM keys) {
    if ((keys & (MK_CONTROL | MK_SHIFT)) != (MK_CONTROL | MK_SHIFT))
        return;
    std::uint16_t& wraps = sentSide ? SentWraps : ReceivedWraps;
    // The second press of a quick pair arrives as a double click: it counts as a press.
    if (button == WM_LBUTTONDOWN || button == WM_LBUTTONDBLCLK)
        ++wraps;
    else if (button == WM_RBUTTONDOWN || button == WM_RBUTTONDBLCLK ||
             ((button == WM_MBUTTONDOWN || button == WM_MBUTTONDBLCLK) && !sentSide))
        --wraps;
}
