#include "kvPlug/PluginHost.h"
#include "platform/Kernel.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace kvplug {

namespace {

// Captions are the plug-in's own text, written in the system's ANSI code page (unlike
// codes 12 and 13, which hand out the program's own texts in code page 936).
constexpr UINT kCaptionCodePage = CP_ACP;

std::mutex& WindowsLock() {
    static std::mutex lock;
    return lock;
}

// The windows in the order they were made; the last answers.
std::vector<LatestWindow*>& Windows() {
    static std::vector<LatestWindow*> windows;
    return windows;
}

template <typename Function> Function Export(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(platform::kernel().GetProcAddress(library, name)));
}

} // namespace

std::optional<std::wstring> ReadCaption(const char* buffer, std::size_t size) {
    const char* end = static_cast<const char*>(std::memchr(buffer, '\0', size));
    if (!end)
        return std::nullopt;
    const int bytes = static_cast<int>(end - buffer);
    if (bytes == 0)
        return std::wstring();
    int chars = ::MultiByteToWideChar(kCaptionCodePage, 0, buffer, bytes, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(std::max(chars, 0)), L'\0');
    if (chars > 0)
        ::MultiByteToWideChar(kCaptionCodePage, 0, buffer, bytes, text.data(), chars);
    return text;
}

DWORD WINAPI PluginDataCallback(DWORD code, KvPlugValue* value) {
    static const char kVersion[] = KVPLUG_VERSION;
    if (!value)
        return KVPLUG_UNKNOWN_CODE;
    *value = 0;
    if (code == KVPLUG_NOTHING)
        return KVPLUG_OK;
    if (code == KVPLUG_VERSION_TEXT) {
        *value = reinterpret_cast<KvPlugValue>(kVersion);
        return KVPLUG_OK;
    }
    std::lock_guard<std::mutex> hold(WindowsLock());
    if (Windows().empty())
        return code <= KVPLUG_WINDOW_HANDLE ? KVPLUG_OK : KVPLUG_UNKNOWN_CODE;
    KvPlugValue answer = 0;
    if (!Windows().back()->answer_(code, answer))
        return KVPLUG_UNKNOWN_CODE;
    *value = answer;
    return KVPLUG_OK;
}

LatestWindow::LatestWindow(Answer answer) : answer_(std::move(answer)) {
    std::lock_guard<std::mutex> hold(WindowsLock());
    Windows().push_back(this);
}

LatestWindow::~LatestWindow() {
    std::lock_guard<std::mutex> hold(WindowsLock());
    std::erase(Windows(), this);
}

std::vector<AcceptedPlugin> PluginHost::Load(const std::wstring& folder) {
    std::vector<AcceptedPlugin> accepted;
    for (const std::wstring& name : platform::FindFiles(folder + L"kv_*.dll")) {
        // By full path only: a bare name would let the system search elsewhere.
        HMODULE library = platform::kernel().LoadLibraryW((folder + name).c_str());
        if (!library)
            continue;
        libraries_.emplace_back(library);
        if (auto plugin = Offer(library))
            accepted.push_back(std::move(*plugin));
    }
    return accepted;
}

std::optional<AcceptedPlugin> PluginHost::Offer(HMODULE library) {
    auto getDisplayName = Export<KvPlugGetDisplayName>(library, "GetDisplayName");
    auto execute = Export<KvPlugExecute>(library, "Execute");
    if (!getDisplayName || !execute)
        return std::nullopt;
    // One byte more than the plug-in is told of, always zero: a caption that fills the
    // whole buffer without its NUL is refused, not read past.
    char buffer[KVPLUG_CAPTION_SIZE + 1] = {};
    if (getDisplayName(KVPLUG_CAPTION_SIZE, buffer) != 0)
        return std::nullopt;
    std::optional<std::wstring> caption = ReadCaption(buffer, KVPLUG_CAPTION_SIZE);
    if (!caption)
        return std::nullopt;
    auto callbackRequest = Export<KvPlugCallbackRequest>(library, "CallbackRequest");
    auto getFlags = Export<KvPlugGetFlags>(library, "GetFlags");
    if (!callbackRequest || !getFlags)
        return std::nullopt;
    callbackRequest(PluginDataCallback);
    const WORD flags = static_cast<WORD>(getFlags() & 0xFFFF);
    plugins_.push_back({execute, flags});
    return AcceptedPlugin{std::move(*caption), flags};
}

void PluginHost::Execute(std::size_t position, HWND window) const {
    if (position < plugins_.size())
        plugins_[position].Execute(window);
}

void PluginHost::Unload() {
    plugins_.clear();
    libraries_.clear();
}

} // namespace kvplug
