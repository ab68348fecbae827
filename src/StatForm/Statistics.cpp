// The Details page: the machine's TCP and IP statistics, as the last fetch left them.
#include "StatForm/StatsForm.h"

#include <string>

namespace {
// Counters are unsigned 32-bit: plain digits, never a sign or grouping.
std::wstring CounterText(DWORD value) {
    return std::to_wstring(value);
}
} // namespace

void TStatsForm::ShowStatistics() {
    Details.lbActCon.SetCaption(CounterText(TcpStats.dwActiveOpens));
    Details.lbPasCon.SetCaption(CounterText(TcpStats.dwPassiveOpens));
    Details.lbCon.SetCaption(CounterText(TcpStats.dwCurrEstab));
    Details.lbReset.SetCaption(CounterText(TcpStats.dwEstabResets));
    Details.lbFailed.SetCaption(CounterText(TcpStats.dwAttemptFails));
    Details.lbTTL.SetCaption(CounterText(IpStats.dwDefaultTTL));
    Details.lbDatagram.SetCaption(CounterText(IpStats.dwInReceives));
    // The two error counts add up in 32 bits, as the counters themselves wrap.
    Details.lbDGError.SetCaption(CounterText(IpStats.dwInHdrErrors + IpStats.dwInAddrErrors));
}
