#pragma once
// The plug-in host: finds and loads the plug-in libraries of a status window, keeps
// them until the window goes, and answers the plug-ins' data requests for the status
// window created last.
// The program's view of the system headers comes first.
#include "platform/Handles.h"

#include "kvPlug/kvplug.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kvplug {

// The caption a plug-in wrote into its buffer, as text in the system's ANSI code page;
// nothing when the buffer holds no NUL (the plug-in wrote past what it was given).
std::optional<std::wstring> ReadCaption(const char* buffer, std::size_t size);

// The data function handed to every plug-in.
DWORD WINAPI PluginDataCallback(DWORD code, KvPlugValue* value);

// Makes its window the one the data function answers for, from its construction until
// a later one is made; when the latest goes, the one made before it answers again.
// The answer runs under a lock that the destructor takes too, so a window never goes
// while a plug-in's request reads it.
class LatestWindow {
public:
    // Stores a known code's value and returns true; false for an unknown code.
    using Answer = std::function<bool(DWORD code, KvPlugValue& value)>;
    explicit LatestWindow(Answer answer);
    ~LatestWindow();
    LatestWindow(const LatestWindow&) = delete;
    LatestWindow& operator=(const LatestWindow&) = delete;

private:
    friend DWORD WINAPI PluginDataCallback(DWORD, KvPlugValue*);
    Answer answer_;
};

// An accepted plug-in: its command's caption and its flags (low 16 bits).
struct AcceptedPlugin {
    std::wstring caption;
    WORD flags = 0;
};

struct PluginEntry {
    KvPlugExecute Execute = nullptr;
    WORD Flags = 0;
};

class PluginHost {
public:
    PluginHost() = default;
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Loads the "kv_*.dll" libraries of the folder (with its trailing backslash), by
    // full path, and returns the accepted ones in load order; an accepted plug-in's
    // position is its place in PluginList.
    std::vector<AcceptedPlugin> Load(const std::wstring& folder);
    // Runs the plug-in at a position of PluginList for a window.
    void Execute(std::size_t position, HWND window) const;
    void Unload();

    const std::vector<PluginEntry>& PluginList() const { return plugins_; }
    std::size_t LibraryCount() const { return libraries_.size(); }

private:
    std::optional<AcceptedPlugin> Offer(HMODULE library);

    // Every library that loaded, accepted or not: all stay until Unload.
    std::vector<platform::UniqueModule> libraries_;
    std::vector<PluginEntry> plugins_;
};

} // namespace kvplug
