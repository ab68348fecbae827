// form_preview: shows one of the program's dialogs on its own, for screenshots.
//   form_preview options PAGE   the options dialog on page 0, 1 or 2
//   form_preview about          the about box
//   form_preview help NUMBER    the compiled help beside the program at that number
#include "AboutForm/TfrmAbout.h"
#include "frmOptns/TFrmOptions.h"
#include "platform/Dialogs.h"
#include "platform/Kernel.h"
#include "widgets/Application.h"

#include <htmlhelp.h>

#include <cwchar>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const std::wstring what = argc > 1 ? argv[1] : L"options";
    const int number = argc > 2 ? static_cast<int>(std::wcstol(argv[2], nullptr, 10)) : 0;
    ::LocalFree(argv);
    widgets::Application& app = widgets::Application::Instance();

    if (what == L"about") {
        TfrmAbout box;
        box.CreateHandle(nullptr);
        box.CenterOnScreen();
        box.Show();
        app.Run();
        return 0;
    }
    if (what == L"help") {
        const std::wstring file = platform::ModuleFolder() + L"kelvra.chm";
        platform::dialogs().HtmlHelpW(nullptr, file.c_str(), HH_HELP_CONTEXT, static_cast<DWORD_PTR>(number));
        app.Run();
        return 0;
    }
    TDisplaySettings record;
    record.AdapterName = L"本地连接";
    record.PopupDisplayType = 13;
    TFrmOptions dialog(record);
    dialog.OnShow = [&] {
        dialog.FormShow();
        dialog.PageControl1.SetActivePageIndex(number);
    };
    // Alone it has no window to be modal over: shown as any window, closing it ends.
    dialog.OnHide = [&app] { app.Terminate(); };
    dialog.CreateHandle();
    dialog.Show();
    app.Run();
    return 0;
}
