// The interface's row and the counters of the General page.
#include "StatForm/StatsForm.h"
#include "StatForm/Formats.h"
#include "platform/IpHelper.h"
#include "platform/Kernel.h"
#include "platform/Text.h"

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

constexpr wchar_t kHintSeparator[] = L"\n\r";
constexpr std::size_t kHintBytes = 255;
constexpr std::int64_t kWrap = 4294967296LL;
// What a driver reports for a link speed it does not know.
constexpr ULONG64 kUnknownLinkSpeed = ~0ULL;

bool IsDialUpType(UINT type) {
    return type == MIB_IF_TYPE_PPP || type == MIB_IF_TYPE_SLIP;
}

void AppendHintPart(std::wstring& hint, const std::wstring& part) {
    if (!hint.empty())
        hint += kHintSeparator;
    hint += part;
}

} // namespace

// A 32-bit raw counter below the previous one has wrapped (or restarted, which looks the
// same). Answers what the interface has counted, wraps included.
std::int64_t TStatsForm::CountDirection(std::uint32_t raw, std::uint32_t& previous, std::uint16_t& wraps) {
    if (previous == 0)
        previous = raw;
    if (raw < previous)
        ++wraps;
    return wraps * kWrap + raw;
}

// A 64-bit counter does not wrap: one below the previous value has restarted with its
// interface, and what it had counted before stays in the total. The wrap count is then
// only the hidden correction's.
std::int64_t TStatsForm::CountDirection(std::uint64_t raw, std::uint64_t& previous,
                                        std::uint64_t& beforeRestart, std::uint16_t wraps) {
    if (previous == 0)
        previous = raw;
    if (raw < previous)
        beforeRestart += previous;
    return static_cast<std::int64_t>(raw + beforeRestart) + wraps * kWrap;
}

void TStatsForm::UpdateTotal(std::int64_t total, std::int64_t& shown, std::uint32_t& delta,
                             widgets::Label& label) {
    label.SetCaption(formats::FormatBytes(DisplaySettings.OctetDisp, false, total));
    if (FirstSample)
        shown = total;
    delta = static_cast<std::uint32_t>(total) - static_cast<std::uint32_t>(shown);
    shown = total;
}

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

    // The discard counts are packet counts, taken from the octet counts as they are.
    std::uint32_t sentRaw = IfRow.dwOutOctets - IfRow.dwOutDiscards;
    std::uint32_t receivedRaw = IfRow.dwInOctets - IfRow.dwInDiscards;
    std::int64_t sentCount = 0;
    std::int64_t receivedCount = 0;
    bool sentMoved = false;
    bool receivedMoved = false;
    if (WideCounting) {
        const std::uint64_t sent = WideRow.OutOctets - WideRow.OutDiscards;
        const std::uint64_t received = WideRow.InOctets - WideRow.InDiscards;
        sentCount = CountDirection(sent, PrevSentOctets64, SentBeforeRestart, SentWraps);
        receivedCount = CountDirection(received, PrevReceivedOctets64, ReceivedBeforeRestart, ReceivedWraps);
        sentMoved = sent != PrevSentOctets64;
        receivedMoved = received != PrevReceivedOctets64;
        PrevSentOctets64 = sent;
        PrevReceivedOctets64 = received;
        sentRaw = static_cast<std::uint32_t>(sent);
        receivedRaw = static_cast<std::uint32_t>(received);
    } else {
        sentCount = CountDirection(sentRaw, PrevSentOctets, SentWraps);
        receivedCount = CountDirection(receivedRaw, PrevReceivedOctets, ReceivedWraps);
        sentMoved = sentRaw != PrevSentOctets;
        receivedMoved = receivedRaw != PrevReceivedOctets;
    }
    UpdateTotal(sentCount - SentBytesBase, SentTotal, SentDelta, General.lbByteSent);
    UpdateTotal(receivedCount - ReceivedBytesBase, ReceivedTotal, ReceivedDelta, General.lbByteRecd);
    if (std::optional<std::wstring> unit = formats::ByteUnitCaption(mode))
        General.Label15.SetCaption(*unit);

    FirstSample = false;

    if (FirstUpdate) {
        SetActivityImage(0);
        FirstUpdate = false;
    } else {
        ActivityState = 0;
        if (sentMoved)
            ActivityState += 1;
        if (receivedMoved)
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
            AppendHintPart(hint, L"IP: " + Support.cbIP.Item(0));
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
