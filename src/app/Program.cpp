#include "app/Program.h"
#include "platform/Dialogs.h"
#include "platform/Kernel.h"
#include "settings/RegistryAccessor.h"
#include "widgets/Application.h"

#include <algorithm>

void Program::RecordInstallPath() {
    settings::RegistryAccessor registry;
    if (!registry.ValueExists(L"InstallPath") && registry.ReturnToSettingsKey(settings::KeyAccess::Write))
        registry.WriteString(L"InstallPath", platform::ModuleFolder());
}

int Program::Run() {
    RecordInstallPath();

    platform::UniqueKernelHandle mutex(platform::kernel().CreateMutexW(nullptr, TRUE, L"kelvra"));
    if (platform::kernel().GetLastError() == ERROR_ALREADY_EXISTS)
        return 0; // another instance runs in this session

    try {
        auto& app = widgets::Application::Instance();
        app.HelpFile = L"kelvra.chm";
        CreateWindows([this] { AddNewWindows(); });
        // A stop during the start (the first-run question waits in a message loop) leaves
        // its windows to the loop, which, told to end, only destroys them.
        if (app.Terminated() || !WindowList.empty())
            app.Run();
    } catch (...) {
        // Whatever went wrong, the mutex is released and the program ends.
    }
    WindowList.clear();
    if (mutex)
        platform::kernel().ReleaseMutex(mutex.Get());
    return 0;
}

TStatsForm& Program::AddWindow(std::uint32_t ordinal, const std::function<void()>& addNewWindows) {
    WindowList.push_back(MakeWindow());
    TStatsForm& window = *WindowList.back();
    window.ShutDownAll = [this] { ShutDownAll(); };
    window.AddNewWindows = addNewWindows;
    window.Ordinal = ordinal;
    window.Samples = Samples;
    return window;
}

// Holds deletions while the window begins: a stop that arrives while its start sequence
// waits in a message loop (the first-run question) must not delete it under that sequence.
void Program::Begin(TStatsForm& window, bool first) {
    widgets::Application::HandlerScope holdDeletes;
    window.BeginForm(first);
}

void Program::CreateWindows(const std::function<void()>& addNewWindows) {
    const std::optional<DWORD> watched = Samples->WatchedCount();
    bool counted = watched.has_value();
    InterfaceCount = watched.value_or(0);
    WindowList.clear();

    if (counted && InterfaceCount == 0) {
        platform::dialogs().MessageBoxW(nullptr, L"当前没有安装网络适配器.", L"启动错误",
                                        MB_ICONERROR | MB_OK);
        widgets::Application::Instance().Terminate();
        return;
    }
    if (!counted)
        return; // nothing to watch; the program ends without a word

    InterfaceCount = std::min(InterfaceCount, kMaxWindows);
    for (std::uint32_t k = 1; k <= InterfaceCount && !stopping_; ++k)
        Begin(AddWindow(k, addNewWindows), k == 1);
    AlignClocks();
}

// Each window begins its clocks as it begins, so n windows would tick at n moments of a
// second and wake the program n times for each of their clocks. Started together they
// run in step.
void Program::AlignClocks() {
    for (auto& window : WindowList)
        window->AlignClocks();
}

void Program::AddNewWindows() {
    if (stopping_)
        return;
    const std::optional<DWORD> watched = Samples->WatchedCount();
    // A failed query tells nothing about the interfaces: keep what we have.
    if (!watched)
        return;
    std::uint32_t m = std::min<std::uint32_t>(*watched, kMaxWindows);
    if (m <= InterfaceCount)
        return;
    std::uint32_t from = InterfaceCount + 1;
    // Set first: a window begun below ticks no earlier than the message loop, but a
    // nested call must not open the same windows twice.
    InterfaceCount = m;
    for (std::uint32_t k = from; k <= m && !stopping_; ++k) {
        TStatsForm& window = AddWindow(k, [this] { AddNewWindows(); });
        Begin(window, false);
        window.miStatusBalloonClick();
    }
    AlignClocks();
}

void Program::ShutDownAll() {
    if (stopping_)
        return;
    stopping_ = true;
    CloseAllWindows();
    WindowList.clear();
    widgets::Application::Instance().Terminate();
}

void Program::CloseAllWindows() {
    auto& app = widgets::Application::Instance();
    while (!WindowList.empty()) {
        std::unique_ptr<TStatsForm> window = std::move(WindowList.back());
        WindowList.pop_back();
        try {
            // A window saves only settings it loaded, under the name of an interface it
            // found: otherwise it would overwrite the stored ones with its defaults.
            if (window->Begun && window->Bound)
                window->SaveSettings();
            window->Close();
            // A window whose own handler called us is destroyed once that handler
            // has returned; the others go now.
            if (app.InHandler())
                app.DeleteLater(std::shared_ptr<TStatsForm>(std::move(window)));
            else
                window.reset();
        } catch (...) {
            // One window failing does not keep the others from being saved and closed.
            if (window && app.InHandler())
                app.DeleteLater(std::shared_ptr<TStatsForm>(std::move(window)));
        }
    }
}
