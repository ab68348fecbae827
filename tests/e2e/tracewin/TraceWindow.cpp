// kv_tracewin ADDRESS [ROWS]: opens one trace route window to ADDRESS from a status window
// that stays hidden, as the connections list would, with the real probe library beside
// the program. With ROWS, the window is closed as a user would once it lists that many
// rows or its trace has finished. When the window has closed, its rows are written to
// standard output (UTF-8, cells separated by TABs) and the program ends.
#include "StatForm/StatsForm.h"
#include "frmTrcRt/FrmTraceRt.h"
#include "platform/Text.h"
#include "widgets/Application.h"
#include "widgets/Timer.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {
void Print(const TFrmTraceRt& window) {
    std::string out;
    for (const auto& row : window.RouteList.Rows()) {
        for (std::size_t i = 0; i < row.cells.size(); ++i)
            out += (i ? "\t" : "") + platform::ToAnsi(row.cells[i], CP_UTF8);
        out += "\n";
    }
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written,
                nullptr);
}
} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    if (__argc < 2)
        return 2;
    const std::string text = platform::ToAnsi(__wargv[1], CP_UTF8);
    const unsigned long address = ::inet_addr(text.c_str());
    if (address == INADDR_NONE)
        return 2;
    const int closeAt = __argc > 2 ? std::wcstol(__wargv[2], nullptr, 10) : 0;
    widgets::Application& app = widgets::Application::Instance();
    {
        TStatsForm owner;
        bool closed = false;
        owner.TraceWindows.OnClosed = [&app, &closed](widgets::Form& window) {
            closed = true;
            Print(static_cast<TFrmTraceRt&>(window));
            app.Terminate();
        };
        TFrmTraceRt& window = owner.OpenTraceRoute(static_cast<DWORD>(address));
        widgets::Timer poll(owner, 200);
        poll.OnTimer = [&] {
            if (!closed && closeAt > 0 &&
                (window.RouteList.Count() >= closeAt || window.Caption() == L"追踪完成")) {
                poll.SetEnabled(false);
                window.Close();
            }
        };
        poll.SetEnabled(true);
        app.Run();
    }
    app.ProcessMessages();
    return 0;
}
