#include "kelvradll/ProbeLibrary.h"
#include "platform/Handles.h"
#include "platform/Kernel.h"
#include "platform/Text.h"

#include <cstring>
#include <cwchar>

namespace kelvradll {

namespace {

constexpr std::size_t kMaxHostName = 1025;

template <typename Pointer> Pointer Export(HMODULE library, const char* name) {
    FARPROC address = platform::kernel().GetProcAddress(library, name);
    return reinterpret_cast<Pointer>(reinterpret_cast<void*>(address));
}

} // namespace

ProbeLibrary LoadProbeLibrary() {
    ProbeLibrary binding;
    platform::UniqueModule library(
        platform::kernel().LoadLibraryW((platform::ModuleFolder() + L"kelvra.dll").c_str()));
    if (!library)
        return binding;
    auto trace = Export<TraceRouteFunction>(library.Get(), "TraceRoute");
    auto free = Export<FreeTraceRtFunction>(library.Get(), "FreeTraceRt");
    auto lookup = Export<GetDNSLookupFunction>(library.Get(), "GetDNSLookup");
    if (!trace || !free || !lookup)
        return binding;
    binding.TraceRoute = trace;
    binding.FreeTraceRt = free;
    binding.GetDNSLookup = lookup;
    // Libraries of earlier releases lack the wide lookup: they still serve IPv4.
    if (auto wide = Export<GetDNSLookupWFunction>(library.Get(), "GetDNSLookupW"))
        binding.GetDNSLookupW = wide;
    // Never released, not even at exit: a trace worker that outlived its stop bound may
    // still be inside it while the process is torn down.
    library.Release();
    return binding;
}

ProbeLibrary& probeLibrary() {
    static ProbeLibrary binding = LoadProbeLibrary();
    return binding;
}

std::wstring LookUpHostName(const std::wstring& address) {
    return LookUpHostName(probeLibrary(), address);
}

std::wstring LookUpHostName(const ProbeLibrary& probe, const std::wstring& address) {
    if (address.find(L':') != std::wstring::npos) {
        if (!probe.GetDNSLookupW)
            return {};
        // Room for the longest name a lookup can give.
        std::wstring name(kMaxHostName, L'\0');
        if (probe.GetDNSLookupW(address.c_str(), name.data(), static_cast<DWORD>(name.size())) != 0)
            return {};
        name.resize(wcsnlen(name.c_str(), name.size()));
        return name;
    }
    LookupRequest request{};
    request.size = sizeof request;
    const std::string text = platform::ToAnsi(address);
    if (!probe.GetDNSLookup || text.empty() || text.size() >= sizeof request.address)
        return {};
    std::memcpy(request.address, text.data(), text.size());
    if (probe.GetDNSLookup(&request) != 0)
        return {};
    request.hostName[sizeof request.hostName - 1] = '\0';
    return platform::FromAnsi(request.hostName);
}

std::wstring DottedAddress(DWORD address) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&address);
    return std::to_wstring(bytes[0]) + L'.' + std::to_wstring(bytes[1]) + L'.' + std::to_wstring(bytes[2]) +
           L'.' + std::to_wstring(bytes[3]);
}

} // namespace kelvradll
