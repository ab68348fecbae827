#pragma once
#include "platform/DialUp.h"
#include "platform/Dialogs.h"
#include "platform/IpHelper.h"
#include "platform/Kernel.h"
#include "platform/Registry.h"
#include "platform/Shell.h"

#include <optional>
#include <string>
#include <vector>

namespace fake {

// A row of the interface table as the platform would report it.
MIB_IFROW MakeIfRow(DWORD index, DWORD type, const std::string& description, DWORD operStatus = 5,
                    DWORD speed = 100000000);

// An adapter as the adapter list reports it.
struct FakeAdapter {
    DWORD index = 0;
    std::string name; // "{GUID}"
    std::string description;
    UINT type = MIB_IF_TYPE_ETHERNET;
    bool dhcp = true;
    // Address and mask pairs; the first always exists.
    std::vector<std::pair<std::string, std::string>> addresses{{"0.0.0.0", "0.0.0.0"}};
    std::string gateway;
    std::string dhcpServer;
};

// A dial-up connection as the dial-up library lists it.
platform::RasConnRecord MakeDialUp(const std::string& entry, const std::string& deviceType,
                                   const std::string& deviceName);

struct TrayCall {
    DWORD message;
    UINT flags;
    HWND window;
    HICON icon;
    std::wstring tip;
    std::wstring info;
    std::wstring infoTitle;
    UINT timeout;
    DWORD infoFlags;
};

struct MessageBoxCall {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
};

struct HelpCall {
    std::wstring file;
    UINT command;
    ULONG_PTR data;
};

// Gives each test its own HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE: scratch keys of
// the real registry, removed afterwards.
class ScratchRegistry {
public:
    ScratchRegistry();
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

private:
    std::wstring root_;
    HKEY user_ = nullptr;
    HKEY machine_ = nullptr;
};

// Replaces the platform bindings for its lifetime with a scripted machine: an
// interface table the test edits between ticks, the Windows version, the clock, and
// recorders for the tray, message boxes, help and debug output. Everything it
// replaced comes back when it goes.
class FakePlatform {
public:
    FakePlatform();
    ~FakePlatform();
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    // The machine's interfaces; by default the loopback (index 1) only.
    std::vector<MIB_IFROW> Interfaces;
    // Adds an adapter (interface row and adapter record) with the next free index and
    // returns that index.
    DWORD AddAdapter(const std::string& description = "veth", DWORD type = MIB_IF_TYPE_ETHERNET);
    void RemoveInterface(DWORD index);
    MIB_IFROW& Row(DWORD index);

    std::vector<FakeAdapter> Adapters;
    FakeAdapter& Adapter(DWORD index);
    DWORD AdaptersInfoError = NO_ERROR;

    // Interface names by index, as GetInterfaceInfo lists them; AddAdapter adds one.
    std::vector<std::pair<DWORD, std::wstring>> InterfaceNames;
    DWORD InterfaceInfoSizeAnswer = ERROR_INSUFFICIENT_BUFFER;
    DWORD InterfaceInfoError = NO_ERROR;

    std::vector<platform::RasConnRecord> DialUpConnections;

    struct AddressRequest {
        bool release;
        DWORD index;
        std::wstring name;
    };
    std::vector<AddressRequest> AddressRequests;

    DWORD NumberOfInterfacesError = NO_ERROR;
    DWORD IfTableError = NO_ERROR;
    int IfTableCalls = 0;

    DWORD NetworkParamsAnswer = NO_ERROR; // NO_ERROR, ERROR_BUFFER_OVERFLOW, ERROR_NOT_SUPPORTED, ...
    FIXED_INFO NetworkParams{};

    bool MutexAlreadyExists = false;
    double Now = 45000.5; // 2023-03-15 12:00
    std::vector<std::wstring> DebugOutput;

    int MessageBoxAnswer = IDOK;
    std::vector<MessageBoxCall> MessageBoxes;
    std::vector<HelpCall> HelpCalls;

    bool TrayAccepts = true;
    std::vector<TrayCall> TrayCalls;

    platform::WindowsVersion& Version() { return platform::kernel().Version; }

private:
    DWORD FillAdaptersInfo(PIP_ADAPTER_INFO info, PULONG size) const;
    ScratchRegistry registry_;
    platform::IpHelper savedIpHelper_;
    platform::Kernel savedKernel_;
    platform::Shell savedShell_;
    platform::Dialogs savedDialogs_;
    platform::Registry savedRegistry_;
    platform::DialUp savedDialUp_;
};

} // namespace fake
