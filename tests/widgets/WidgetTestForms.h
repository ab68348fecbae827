#pragma once
#include "WidgetTestResources.h"
#include "widgets/CustomWindow.h"
#include "widgets/Form.h"

#include <functional>
#include <vector>

namespace widgets_test {

// A window of our own class that records what reaches its object.
class Probe : public widgets::CustomWindow {
public:
    static inline const WindowClass kWindowClass{L"TWidgetProbe"};
    Probe(widgets::Form& owner, int id) : CustomWindow(owner, id, kWindowClass) {}
    ~Probe() override { DestroyHandle(); }

    // The creation and end messages, and WM_APP.
    std::vector<UINT> Got;
    HWND HandleAtCreate = nullptr;
    std::function<void(UINT msg)> OnWindowMessage;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_NCCREATE || msg == WM_CREATE || msg == WM_NCDESTROY || msg == WM_APP)
            Got.push_back(msg);
        if (msg == WM_CREATE)
            HandleAtCreate = Handle();
        if (OnWindowMessage)
            OnWindowMessage(msg);
        return CustomWindow::WindowProc(msg, wParam, lParam);
    }
};

// The test template's form, with a hook for the messages a form handles itself.
class TestForm : public widgets::Form {
public:
    // The template holds a probe window: its class must exist before the form's window.
    TestForm() : Form(L"TWidgetTestForm", IDD_TestForm) {
        widgets::CustomWindow::Register(Probe::kWindowClass);
    }

    std::function<bool(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)> OnMessage;

protected:
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        return OnMessage && OnMessage(msg, wParam, lParam, result);
    }
};

} // namespace widgets_test
