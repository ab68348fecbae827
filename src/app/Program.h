#pragma once
#include "StatForm/StatsForm.h"
#include "app/Sampler.h"
#include "platform/Handles.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The program-wide state: the status windows, one per interface but the loopback,
// and the start and stop of the whole program.
class Program {
public:
    // Windows hold ordinals in 8 bits.
    static constexpr std::uint32_t kMaxWindows = 255;

    // Makes a status window; tests supply their own.
    std::function<std::unique_ptr<TStatsForm>()> MakeWindow = [] { return std::make_unique<TStatsForm>(); };

    std::vector<std::unique_ptr<TStatsForm>> WindowList;
    std::uint32_t InterfaceCount = 0;
    // The machine's figures, fetched once per period for all windows.
    std::shared_ptr<app::Sampler> Samples = std::make_shared<app::Sampler>();

    // The program entry: install path, single instance, windows, message loop.
    int Run();

    // Records the install path under the settings key, once.
    static void RecordInstallPath();
    void CreateWindows(const std::function<void()>& addNewWindows);
    void AddNewWindows();
    void ShutDownAll();
    void CloseAllWindows();

private:
    TStatsForm& AddWindow(std::uint32_t ordinal, const std::function<void()>& addNewWindows);
    void AlignClocks();
    void Begin(TStatsForm& window, bool first);
    bool stopping_ = false;
};
