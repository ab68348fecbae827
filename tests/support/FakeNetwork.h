#pragma once
#include "platform/Network.h"
#include "platform/Shell.h"
#include "platform/Spooler.h"
#include "support/Override.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace fake {

// One entry of a container as the provider lists it.
struct NetEntry {
    DWORD type = RESOURCETYPE_ANY;
    DWORD displayType = RESOURCEDISPLAYTYPE_GENERIC;
    DWORD usage = RESOURCEUSAGE_CONNECTABLE;
    std::optional<std::wstring> remote;
    std::optional<std::wstring> provider;
    std::optional<std::wstring> comment;
};

// What opening and reading a container gives.
struct NetContainer {
    DWORD openError = NO_ERROR;
    DWORD enumError = NO_ERROR; // asked for when it has entries
    std::vector<NetEntry> entries;
};

struct NetInformation {
    DWORD answer = NO_ERROR;
    WORD netType = 0;
    DWORD status = NO_ERROR;
};

struct ConnectDialogCall {
    DWORD size;
    HWND owner;
    DWORD flags;
    DWORD devNum;
    std::optional<std::wstring> remote; // of the resource handed in; none without one
    DWORD type;
};

// The network provider, the spooler and the shell's execute, scripted. Containers are
// found by the remote name of the resource opened, or its provider's name when it has
// none (the provider's whole network). The enumeration runs on the browse worker's
// thread: everything it reads is set before the browse starts, and a test may hold it
// at a container with Hold.
class FakeNetwork {
public:
    FakeNetwork();

    std::map<DWORD, std::wstring> Providers; // by network type
    std::map<std::wstring, NetContainer> Containers;
    std::map<std::wstring, NetInformation> Information; // missing: no network
    std::wstring LastErrorText;

    // Opening the container `key` waits until Release, or until another is held.
    void Hold(const std::wstring& key);
    void Release();
    // Blocks until the worker has come to a held container `count` times (bounded).
    bool WaitForHolds(int count);
    int OpenEnumerations() const { return opened_; }
    int ClosedEnumerations() const { return closed_; }

    std::vector<ConnectDialogCall> ConnectDialogs;
    int PrinterDialogs = 0;
    HANDLE PrinterAnswer = nullptr;
    std::vector<HANDLE> ClosedPrinters;

private:
    DWORD Open(LPNETRESOURCEW resource, LPHANDLE handle);
    DWORD Enumerate(HANDLE handle, LPDWORD count, LPVOID buffer, LPDWORD size);

    BindingOverride<platform::Network> network_{platform::network()};
    BindingOverride<platform::Spooler> spooler_{platform::spooler()};
    std::mutex lock_;
    std::condition_variable changed_;
    std::optional<std::wstring> held_;
    int holdsReached_ = 0;
    std::atomic<int> opened_{0};
    std::atomic<int> closed_{0};
    std::vector<std::unique_ptr<std::wstring>> handles_;
};

} // namespace fake
