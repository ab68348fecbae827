#include "widgets/Application.h"

namespace widgets {

namespace {
constexpr wchar_t kAppWindowClass[] = L"KelvraApplication";

LRESULT CALLBACK AppWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}
} // namespace

Application& Application::Instance() {
    static Application app;
    return app;
}

Application::Application() : module_(::GetModuleHandleW(nullptr)) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&icc);
}

HWND Application::Handle() {
    if (!handle_) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = AppWindowProc;
        wc.hInstance = module_;
        wc.lpszClassName = kAppWindowClass;
        ::RegisterClassW(&wc);
        // A hidden popup that owns every form: owned windows get no taskbar button.
        handle_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, kAppWindowClass, title_.c_str(), WS_POPUP, 0, 0, 0, 0,
                                    nullptr, nullptr, module_, nullptr);
    }
    return handle_;
}

void Application::SetTitle(const std::wstring& title) {
    title_ = title;
    if (handle_)
        ::SetWindowTextW(handle_, title_.c_str());
}

std::wstring Application::Title() {
    return title_;
}

void Application::Dispatch(MSG& msg) {
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && ::IsDialogMessageW(root, &msg))
        return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

bool Application::HandleOneMessage() {
    MSG msg;
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        terminated_ = true;
        return false;
    }
    Dispatch(msg);
    return true;
}

void Application::Run() {
    while (!terminated_ && HandleOneMessage())
        CollectGarbage();
    CollectGarbage();
}

void Application::ProcessMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            break;
        }
        Dispatch(msg);
    }
    CollectGarbage();
}

void Application::Terminate() {
    if (!terminated_)
        ::PostQuitMessage(0);
    terminated_ = true;
}

void Application::HideTaskbarButton() {
    if (handle_)
        ::ShowWindow(handle_, SW_HIDE);
}

void Application::DeleteLater(std::shared_ptr<void> object) {
    if (handlerDepth_ > 0)
        pendingDeletes_.push_back(std::move(object));
}

void Application::CollectGarbage() {
    if (handlerDepth_ == 0) {
        // Deleting may run destructors that queue further deletes.
        while (!pendingDeletes_.empty()) {
            auto batch = std::move(pendingDeletes_);
            pendingDeletes_.clear();
            for (auto& object : batch)
                object.reset();
        }
    }
}

Application::HandlerScope::~HandlerScope() {
    --Instance().handlerDepth_;
}

} // namespace widgets
