// The interface's row and the counters of the General page.
#include "StatForm/StatsForm.h"
#include "platform/Buffers.h"
#include "StatForm/Formats.h"
#include "platform/IpHelper.h"
#include "platform/Kernel.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstring>

bool TStatsForm::RefreshIfRow(bool bind) {
    // The table block is kept between ticks so the fetch neither allocates nor needs
    // a size query while the table keeps its size.
    auto call = [](BYTE* block, ULONG* size) {
        return platform::ipHelper().GetIfTable(reinterpret_cast<PMIB_IFTABLE>(block), size, TRUE);
    };
    ULONG lastSize = static_cast<ULONG>(InterfaceTable.size());
    if (platform::FetchBlock(call, lastSize, InterfaceTable) != NO_ERROR ||
        InterfaceTable.size() < sizeof(DWORD))
        return false;

    const auto* table = reinterpret_cast<const MIB_IFTABLE*>(InterfaceTable.data());
    // Never trust the count beyond what the block really holds.
    std::size_t capacity = (InterfaceTable.size() - offsetof(MIB_IFTABLE, table)) / sizeof(MIB_IFROW);
    std::size_t count = std::min<std::size_t>(table->dwNumEntries, capacity);

    if (bind) {
        // Position 0, the lowest index, is the loopback interface's.
        if (Ordinal >= count)
            return false;
        InterfaceIndex = table->table[Ordinal].dwIndex;
        FriendlyIndex = platform::ipHelper().GetFriendlyIfIndex(InterfaceIndex);
        Bound = true;
    }
    if (!Bound)
        return false;

    for (std::size_t i = 0; i < count; ++i)
        if (table->table[i].dwIndex == InterfaceIndex) {
            std::memcpy(&IfRow, &table->table[i], sizeof IfRow);
            return true;
        }
    return false;
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

constexpr wchar_t kHintSeparator[] = L"\n\r";
constexpr std::size_t kHintBytes = 255;
constexpr std::int64_t kWrap = 4294967296LL;

bool IsDialUpType(UINT type) {
    return type == MIB_IF_TYPE_PPP || type == MIB_IF_TYPE_SLIP;
}

void AppendHintPart(std::wstring& hint, const std::wstring& part) {
    if (!hint.empty())
        hint += kHintSeparator;
    hint += part;
}

} // namespace

// A raw counter below the previous one has wrapped (or restarted, which looks the same).
void TStatsForm::CountDirection(std::uint32_t raw, std::uint32_t& previous, std::uint16_t& wraps) {
    if (previous == 0)
        previous = raw;
    if (raw < previous)
        ++wraps;
}

void TStatsForm::UpdateTotal(std::int64_t total, std::int64_t& shown, std::uint32_t& delta,
                             widgets::Label& label) {
    label.SetCaption(formats::FormatBytes(DisplaySettings.OctetDisp, false, total));
    if (FirstSample)
        shown = total;
    delta = static_cast<std::uint32_t>(total) - static_cast<std::uint32_t>(shown);
    shown = total;
}

bool TStatsForm::IsConnected() const {
    if (IsDialUpType(AdapterInfo.Type) || platform::kernel().Version.IsWin2000OrLater())
        return IfRow.dwOperStatus > 2;
    return IfRow.dwOperStatus == 1;
}

void TStatsForm::UpdateGeneral() {
    const platform::WindowsVersion& os = platform::kernel().Version;
    const int mode = DisplaySettings.OctetDisp;

    const std::wstring speed = formats::LinkSpeedText(IfRow.dwSpeed);
    lbSpeed.SetCaption(speed);

    const DWORD status = IfRow.dwOperStatus;
    if (IsDialUpType(AdapterInfo.Type)) {
        lbStatus.SetCaption(StatusText(kStatusTextsFull, status));
        lbStatus2.SetCaption(StatusText(kStatusTextsFull, status));
    } else if (os.IsWin2000OrLater()) {
        MediaDisconnected = status < 3;
        lbStatus.SetCaption(StatusText(kStatusTextsNT5, status));
        lbStatus2.SetCaption(StatusText(kStatusTextsFull, status));
    } else {
        lbStatus.SetCaption(StatusText(kStatusTextsOld, status));
        lbStatus2.SetCaption(StatusText(kStatusTextsOld, status));
    }

    // Counter arithmetic is unsigned 32-bit and wraps, as the platform's counters do.
    SentPackets = IfRow.dwOutUcastPkts + IfRow.dwOutNUcastPkts - IfRow.dwOutDiscards - IfRow.dwOutErrors -
                  SentPacketsBase;
    ReceivedPackets = IfRow.dwInUcastPkts + IfRow.dwInNUcastPkts - IfRow.dwInDiscards - IfRow.dwInErrors -
                      IfRow.dwInUnknownProtos - ReceivedPacketsBase;
    lbPackSent.SetCaption(formats::PacketCountText(SentPackets));
    lbPackRecd.SetCaption(formats::PacketCountText(ReceivedPackets));

    const std::uint32_t sentRaw = IfRow.dwOutOctets - IfRow.dwOutDiscards;
    const std::uint32_t receivedRaw = IfRow.dwInOctets - IfRow.dwInDiscards;
    CountDirection(sentRaw, PrevSentOctets, SentWraps);
    CountDirection(receivedRaw, PrevReceivedOctets, ReceivedWraps);
    UpdateTotal(SentWraps * kWrap + sentRaw - SentBytesBase, SentTotal, SentDelta, lbByteSent);
    UpdateTotal(ReceivedWraps * kWrap + receivedRaw - ReceivedBytesBase, ReceivedTotal, ReceivedDelta,
                lbByteRecd);
    if (std::optional<std::wstring> unit = formats::ByteUnitCaption(mode))
        Label15.SetCaption(*unit);

    FirstSample = false;

    if (FirstUpdate) {
        SetActivityImage(0);
        FirstUpdate = false;
    } else {
        ActivityState = 0;
        if (sentRaw != PrevSentOctets)
            ActivityState += 1;
        if (receivedRaw != PrevReceivedOctets)
            ActivityState += 2;
        if (MediaDisconnected)
            ActivityState = 4;
        SetActivityImage(ActivityState);
        TrayIcon.SetIcon(ImageList2.Icon(ActivityState));
    }

    if (os.IsWin2000OrLater() || os.IsWinMe()) {
        const std::uint8_t bits = DisplaySettings.PopupDisplayType;
        std::wstring hint;
        if (bits & 8)
            AppendHintPart(hint, ConnectionName);
        if (bits & 4)
            AppendHintPart(hint, L"速度: " + speed);
        if (bits & 1)
            AppendHintPart(hint, L"发送: " + formats::FormatBytes(mode, true, SentTotal) + kHintSeparator +
                                     L"收到: " + formats::FormatBytes(mode, true, ReceivedTotal));
        if (bits & 2)
            AppendHintPart(hint, L"IP: " + cbIP.Item(0));
        SetTrayHint(hint);
    } else {
        SetTrayHint(ConnectionName);
    }

    PrevReceivedOctets = receivedRaw;
    PrevSentOctets = sentRaw;
}

void TStatsForm::SetTrayHint(const std::wstring& text) {
    std::wstring hint = MediaDisconnected ? ConnectionName + kHintSeparator + L"网络电缆未插好。" : text;
    TrayIcon.SetHint(platform::CutToBytes(hint, kHintBytes));
}

void TStatsForm::SetActivityImage(int state) {
    Image2.SetIcon(ImageList1.Icon(state + IconOffset));
}

void TStatsForm::ShowDuration() {
    if (!IsConnected()) {
        lbDuration.SetCaption(L"");
        return;
    }
    lbDuration.SetCaption(formats::DurationText(platform::kernel().Now() - StartTime));
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
    if (button == WM_LBUTTONDOWN)
        ++wraps;
    else if (button == WM_RBUTTONDOWN || (button == WM_MBUTTONDOWN && !sentSide))
        --wraps;
}
