#pragma once
#include "platform/Win32.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace widgets {

// The process-wide user-interface object: a hidden owner window (which keeps the forms
// off the taskbar and carries the application title), the message loop, and the rule
// that an object is not deleted while one of its own handlers is still running.
class Application {
public:
    static Application& Instance();

    HINSTANCE Module() const { return module_; }
    HWND Handle();

    void SetTitle(const std::wstring& title);
    std::wstring Title();

    std::wstring HelpFile = L"";

    // Runs the message loop until Terminate.
    void Run();
    // Waits for the next message and handles it; false once the program is to end.
    bool HandleOneMessage();
    // Handles the messages that are waiting, then returns.
    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return terminated_; }

    // Hides the taskbar button of the hidden owner window, if the shell made one.
    void HideTaskbarButton();

    // True while any form handler is on the call stack.
    bool InHandler() const { return handlerDepth_ > 0; }

    // Deletes the object now, or, when a handler is running, once control is back in
    // the message loop (so that no handler outlives its own object).
    void DeleteLater(std::shared_ptr<void> object);

    // Used by forms around every message they handle.
    class HandlerScope {
    public:
        HandlerScope() { ++Instance().handlerDepth_; }
        ~HandlerScope();
        // Objects handed to DeleteLater go when the message loop regains control.
        HandlerScope(const HandlerScope&) = delete;
        HandlerScope& operator=(const HandlerScope&) = delete;
    };

private:
    Application();
    void Dispatch(MSG& msg);
    void CollectGarbage();

    HINSTANCE module_;
    HWND handle_ = nullptr;
    std::wstring title_;
    bool terminated_ = false;
    int handlerDepth_ = 0;
    std::vector<std::shared_ptr<void>> pendingDeletes_;
};

} // namespace widgets
