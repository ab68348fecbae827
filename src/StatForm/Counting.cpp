#include "StatForm/Counting.h"
#include "platform/Text.h"

namespace counting {

namespace {

constexpr std::int64_t kWrap = 4294967296LL;
constexpr wchar_t kHintSeparator[] = L"\n\r";
constexpr std::size_t kHintBytes = 255;

void AppendHintPart(std::wstring& hint, const std::wstring& part) {
    if (!hint.empty())
        hint += kHintSeparator;
    hint += part;
}

} // namespace

// The discard counts are packet counts, taken from the octet counts as they are. A previous
// raw value of 0 takes the new one, so a counter that starts at 0 shows no activity on its
// first change, though its bytes are counted.
Tick Direction::Count32(std::uint32_t octets, std::uint32_t discards, bool firstSample) {
    const std::uint32_t raw = octets - discards;
    const std::uint32_t before = figures_.PrevOctets;
    std::uint32_t& previous = figures_.PrevOctets;
    if (previous == 0)
        previous = raw;
    if (raw < previous)
        ++figures_.Wraps;
    const bool moved = raw != previous;
    previous = raw;
    // Unsigned arithmetic: across a wrap the difference comes out right by itself.
    const std::uint32_t bytes = raw - before;
    return Show(figures_.Wraps * kWrap + raw, moved, bytes, firstSample);
}

Tick Direction::Count64(std::uint64_t octets, std::uint64_t discards, bool firstSample) {
    const std::uint64_t raw = octets - discards;
    const std::uint64_t before = prevOctets64_;
    if (prevOctets64_ == 0)
        prevOctets64_ = raw;
    const bool restarted = raw < prevOctets64_;
    if (restarted)
        beforeRestart_ += prevOctets64_;
    const bool moved = raw != prevOctets64_;
    prevOctets64_ = raw;
    figures_.PrevOctets = static_cast<std::uint32_t>(raw);
    // A restarted counter began again from 0 during the tick.
    const std::uint64_t bytes = restarted ? raw : raw - before;
    return Show(static_cast<std::int64_t>(raw + beforeRestart_) + figures_.Wraps * kWrap, moved, bytes,
                firstSample);
}

Tick Direction::Show(std::int64_t count, bool moved, std::uint64_t bytes, bool firstSample) {
    const std::int64_t total = count - figures_.BytesBase;
    if (firstSample)
        figures_.Total = total;
    figures_.Delta = static_cast<std::uint32_t>(total) - static_cast<std::uint32_t>(figures_.Total);
    figures_.Total = total;
    return {count, moved, firstSample ? 0 : bytes};
}

std::uint8_t ActivityState(bool sentMoved, bool receivedMoved, bool mediaDisconnected) {
    if (mediaDisconnected)
        return 4;
    return static_cast<std::uint8_t>((sentMoved ? 1 : 0) + (receivedMoved ? 2 : 0));
}

std::wstring TrayHint(const HintFacts& facts, const formats::NumberSeparators& separators) {
    std::wstring hint;
    if (facts.MediaDisconnected) {
        hint = facts.ConnectionName + kHintSeparator + L"网络电缆未插好。";
    } else if (!facts.Lines) {
        hint = facts.ConnectionName;
    } else {
        const std::uint8_t bits = facts.PopupDisplayType;
        if (bits & kHintName)
            AppendHintPart(hint, facts.ConnectionName);
        if (bits & kHintSpeed)
            AppendHintPart(hint, L"速度: " + facts.Speed);
        if (bits & kHintTotals)
            AppendHintPart(
                hint, L"发送: " + formats::FormatBytes(facts.OctetDisp, true, facts.SentTotal, separators) +
                          kHintSeparator + L"收到: " +
                          formats::FormatBytes(facts.OctetDisp, true, facts.ReceivedTotal, separators));
        if (bits & kHintAddress)
            AppendHintPart(hint, L"IP: " + facts.Address);
    }
    return platform::CutToBytes(hint, kHintBytes);
}

std::wstring TrayHint(const HintFacts& facts) {
    return TrayHint(facts, formats::UserSeparators());
}

} // namespace counting
