// kv_inspect: looks at the windows of other programs in the same Wine session and sends
// them messages, for the end-to-end scripts. Every answer is one line per item, fields
// separated by tabs, text last and in UTF-8 (tabs and line breaks inside a text are
// escaped as \t, \r, \n so a line stays a line).
//
//   windows CLASS                        HWND VISIBLE PID TITLE per top-level window
//   wait CLASS [=]COUNT SECONDS          until at least (=: exactly) COUNT windows exist and
//                                        answer messages, then as `windows`; exit 1 on timeout
//   children HWND                        HWND ID CLASS VISIBLE ENABLED TEXT per descendant
//   control HWND ID                      the first descendant with that control id, as above
//   text HWND                            the window's text
//   pid HWND                             the process id that owns the window
//   rect HWND                            LEFT TOP RIGHT BOTTOM of the window on the screen
//   send HWND MSG WPARAM LPARAM [MS]     SendMessageTimeout; prints the result
//   post HWND MSG WPARAM LPARAM          PostMessage
//   notify HWND MSG WPARAM LPARAM        SendNotifyMessage
//   remote-send HWND MSG WPARAM LPARAM [MS]  SendMessage from inside the window's process;
//                                        prints the result, or "ended" when the process ended
//   regget [HKCU\|HKLM\]KEY VALUE        a registry value (HKCU unless named)
//   rows HWND                            a list view's rows: INDEX SELECTED CELL... per row
//
// Numbers take C syntax (0x2C, 44). Exit status: 0 done, 1 failed or timed out, 2 usage.
#include <windows.h>

#include <commctrl.h>
#include <tlhelp32.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr UINT kTextTimeoutMs = 2000;
constexpr UINT kDefaultSendTimeoutMs = 5000;
constexpr DWORD kPollIntervalMs = 100;

std::string Utf8(const std::wstring& text) {
    if (text.empty())
        return {};
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                          nullptr);
    return out;
}

std::wstring Escaped(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        switch (c) {
        case L'\t':
            out += L"\\t";
            break;
        case L'\r':
            out += L"\\r";
            break;
        case L'\n':
            out += L"\\n";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void Print(const std::wstring& line) {
    std::string bytes = Utf8(line + L"\n");
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

int Fail(const std::wstring& what) {
    std::string bytes = Utf8(L"kv_inspect: " + what + L"\n");
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    return 1;
}

int FailWithError(const std::wstring& what) {
    return Fail(what + L" (error " + std::to_wstring(::GetLastError()) + L")");
}

bool ParseNumber(const wchar_t* text, unsigned long long& value) {
    wchar_t* end = nullptr;
    value = std::wcstoull(text, &end, 0);
    return end != text && *end == L'\0';
}

std::wstring Hex(ULONG_PTR value) {
    wchar_t buffer[32];
    std::swprintf(buffer, 32, L"0x%08lx", static_cast<unsigned long>(value));
    return buffer;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = {};
    ::GetClassNameW(hwnd, name, 256);
    return name;
}

// WM_GETTEXT is marshalled between processes, unlike GetWindowText on a control. It is
// answered only while the owner's thread handles messages: false when it did not.
bool ReadText(HWND hwnd, std::wstring& text) {
    text.clear();
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTextTimeoutMs, &length))
        return false;
    std::vector<wchar_t> buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                               SMTO_ABORTIFHUNG, kTextTimeoutMs, &copied))
        return false;
    text.assign(buffer.data(), std::min<size_t>(copied, length));
    return true;
}

std::wstring TextOf(HWND hwnd) {
    std::wstring text;
    ReadText(hwnd, text);
    return text;
}

bool HasStyle(HWND hwnd, LONG style) {
    return (::GetWindowLongW(hwnd, GWL_STYLE) & style) != 0;
}

using Visitor = std::function<void(HWND)>;

BOOL CALLBACK VisitOne(HWND hwnd, LPARAM data) {
    (*reinterpret_cast<Visitor*>(data))(hwnd);
    return TRUE;
}

// Every top-level window of the session, or every descendant of parent.
void Enumerate(Visitor visit, HWND parent = nullptr) {
    if (parent)
        ::EnumChildWindows(parent, VisitOne, reinterpret_cast<LPARAM>(&visit));
    else
        ::EnumWindows(VisitOne, reinterpret_cast<LPARAM>(&visit));
}

std::vector<HWND> TopLevelOfClass(const std::wstring& className) {
    std::vector<HWND> found;
    Enumerate([&](HWND hwnd) {
        if (ClassOf(hwnd) == className)
            found.push_back(hwnd);
    });
    return found;
}

// False when the window's thread did not answer for its title.
bool TopLevelLine(HWND hwnd, std::wstring& line) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    std::wstring title;
    bool answered = ReadText(hwnd, title);
    line = Hex(reinterpret_cast<ULONG_PTR>(hwnd)) + L"\t" + (HasStyle(hwnd, WS_VISIBLE) ? L"1" : L"0") +
           L"\t" + std::to_wstring(pid) + L"\t" + Escaped(title);
    return answered;
}

// Visible and enabled are the control's own flags, not inherited from its hidden parent.
std::wstring ControlLine(HWND hwnd) {
    return Hex(reinterpret_cast<ULONG_PTR>(hwnd)) + L"\t" + std::to_wstring(::GetDlgCtrlID(hwnd)) + L"\t" +
           ClassOf(hwnd) + L"\t" + (HasStyle(hwnd, WS_VISIBLE) ? L"1" : L"0") + L"\t" +
           (HasStyle(hwnd, WS_DISABLED) ? L"0" : L"1") + L"\t" + Escaped(TextOf(hwnd));
}

bool ParseWindow(const wchar_t* text, HWND& hwnd) {
    unsigned long long value = 0;
    if (!ParseNumber(text, value))
        return false;
    hwnd = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(value));
    return ::IsWindow(hwnd) != FALSE;
}

int Windows(const std::wstring& className) {
    std::wstring line;
    for (HWND hwnd : TopLevelOfClass(className)) {
        TopLevelLine(hwnd, line);
        Print(line);
    }
    return 0;
}

int Wait(const std::wstring& className, const wchar_t* countText, const wchar_t* secondsText) {
    bool exact = countText[0] == L'=';
    unsigned long long count = 0;
    unsigned long long seconds = 0;
    if (!ParseNumber(countText + (exact ? 1 : 0), count) || !ParseNumber(secondsText, seconds))
        return Fail(L"wait: COUNT and SECONDS must be numbers");
    DWORD start = ::GetTickCount();
    for (;;) {
        std::vector<HWND> found = TopLevelOfClass(className);
        // Done once the windows are there and their threads answer: a program still in
        // its start-up code answers nothing.
        if (exact ? found.size() == count : found.size() >= count) {
            std::vector<std::wstring> lines(found.size());
            bool answered = true;
            for (size_t i = 0; i < found.size(); ++i)
                answered = TopLevelLine(found[i], lines[i]) && answered;
            if (answered) {
                for (const std::wstring& line : lines)
                    Print(line);
                return 0;
            }
        }
        if (::GetTickCount() - start >= seconds * 1000)
            return Fail(L"wait: " + std::to_wstring(found.size()) + L" windows of class " + className +
                        L" after " + std::to_wstring(seconds) + L" s");
        ::Sleep(kPollIntervalMs);
    }
}

int Children(HWND parent) {
    Enumerate([](HWND hwnd) { Print(ControlLine(hwnd)); }, parent);
    return 0;
}

int Control(HWND parent, int id) {
    HWND match = nullptr;
    Enumerate(
        [&](HWND hwnd) {
            if (!match && ::GetDlgCtrlID(hwnd) == id)
                match = hwnd;
        },
        parent);
    if (!match)
        return Fail(L"control: no descendant with id " + std::to_wstring(id));
    Print(ControlLine(match));
    return 0;
}

struct MessageArgs {
    HWND hwnd = nullptr;
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

bool ParseMessage(wchar_t** argv, MessageArgs& out) {
    unsigned long long msg = 0;
    unsigned long long wParam = 0;
    unsigned long long lParam = 0;
    if (!ParseWindow(argv[0], out.hwnd) || !ParseNumber(argv[1], msg) || !ParseNumber(argv[2], wParam) ||
        !ParseNumber(argv[3], lParam))
        return false;
    out.msg = static_cast<UINT>(msg);
    out.wParam = static_cast<WPARAM>(wParam);
    out.lParam = static_cast<LPARAM>(lParam);
    return true;
}

int Send(const MessageArgs& m, UINT timeoutMs) {
    DWORD_PTR result = 0;
    ::SetLastError(0);
    if (!::SendMessageTimeoutW(m.hwnd, m.msg, m.wParam, m.lParam, SMTO_ABORTIFHUNG, timeoutMs, &result))
        return FailWithError(L"send failed");
    Print(L"result\t" + std::to_wstring(result));
    return 0;
}

int Post(const MessageArgs& m) {
    if (!::PostMessageW(m.hwnd, m.msg, m.wParam, m.lParam))
        return FailWithError(L"post failed");
    Print(L"posted");
    return 0;
}

int Notify(const MessageArgs& m) {
    if (!::SendNotifyMessageW(m.hwnd, m.msg, m.wParam, m.lParam))
        return FailWithError(L"notify failed");
    Print(L"notified");
    return 0;
}

struct KeyCloser {
    void operator()(HKEY key) const { ::RegCloseKey(key); }
};
using Key = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

Handle Owned(HANDLE handle) {
    return Handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

BYTE* ModuleBaseIn(DWORD pid, const std::wstring& name) {
    Handle snapshot = Owned(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid));
    if (!snapshot)
        return nullptr;
    MODULEENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Module32FirstW(snapshot.get(), &entry); more;
         more = ::Module32NextW(snapshot.get(), &entry))
        if (::lstrcmpiW(entry.szModule, name.c_str()) == 0)
            return entry.modBaseAddr;
    return nullptr;
}

// Calls SendMessageW from a thread started inside the window's own process. A message
// sent there is not marshalled, so its parameters arrive exactly as given; Wine refuses to
// carry some messages across processes (0x2C with lParam 0 among them).
int RemoteSend(const MessageArgs& m, DWORD timeoutMs) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(m.hwnd, &pid);
    Handle process(::OpenProcess(PROCESS_CREATE_THREAD | PROCESS_VM_OPERATION | PROCESS_VM_WRITE |
                                     PROCESS_QUERY_INFORMATION | SYNCHRONIZE,
                                 FALSE, pid));
    if (!process)
        return FailWithError(L"remote-send: cannot open process " + std::to_wstring(pid));

    // SendMessageW lies at the same offset from user32's base in both processes.
    HMODULE local = ::GetModuleHandleW(L"user32.dll");
    BYTE* remoteBase = ModuleBaseIn(pid, L"user32.dll");
    if (!local || !remoteBase)
        return FailWithError(L"remote-send: user32 not found in process " + std::to_wstring(pid));
    auto offset =
        reinterpret_cast<BYTE*>(::GetProcAddress(local, "SendMessageW")) - reinterpret_cast<BYTE*>(local);
    auto function = reinterpret_cast<ULONG_PTR>(remoteBase + offset);

    std::vector<BYTE> code;
    // An instruction with an immediate operand of the pointer's size.
    auto emit = [&code](std::initializer_list<BYTE> opcode, ULONG_PTR value) {
        code.insert(code.end(), opcode);
        for (size_t i = 0; i < sizeof value; ++i)
            code.push_back(static_cast<BYTE>(value >> (8 * i)));
    };
#ifdef _WIN64
    // sub rsp, 40; mov rcx, hwnd; mov rdx, msg; mov r8, wParam; mov r9, lParam;
    // mov rax, SendMessageW; call rax; add rsp, 40; ret
    code.insert(code.end(), {0x48, 0x83, 0xEC, 0x28});
    emit({0x48, 0xB9}, reinterpret_cast<ULONG_PTR>(m.hwnd));
    emit({0x48, 0xBA}, m.msg);
    emit({0x49, 0xB8}, m.wParam);
    emit({0x49, 0xB9}, static_cast<ULONG_PTR>(m.lParam));
    emit({0x48, 0xB8}, function);
    code.insert(code.end(), {0xFF, 0xD0, 0x48, 0x83, 0xC4, 0x28, 0xC3});
#else
    // push lParam; push wParam; push msg; push hwnd; mov eax, SendMessageW; call eax; ret 4
    emit({0x68}, static_cast<ULONG_PTR>(m.lParam));
    emit({0x68}, m.wParam);
    emit({0x68}, m.msg);
    emit({0x68}, reinterpret_cast<ULONG_PTR>(m.hwnd));
    emit({0xB8}, function);
    code.insert(code.end(), {0xFF, 0xD0, 0xC2, 0x04, 0x00});
#endif

    void* remote = ::VirtualAllocEx(process.get(), nullptr, code.size(), MEM_COMMIT | MEM_RESERVE,
                                    PAGE_EXECUTE_READWRITE);
    if (!remote)
        return FailWithError(L"remote-send: cannot allocate in process " + std::to_wstring(pid));
    if (!::WriteProcessMemory(process.get(), remote, code.data(), code.size(), nullptr))
        return FailWithError(L"remote-send: cannot write to process " + std::to_wstring(pid));
    Handle thread(::CreateRemoteThread(
        process.get(), nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(remote), nullptr, 0, nullptr));
    if (!thread)
        return FailWithError(L"remote-send: cannot start a thread in process " + std::to_wstring(pid));
    if (::WaitForSingleObject(thread.get(), timeoutMs) != WAIT_OBJECT_0)
        return Fail(L"remote-send: no answer within " + std::to_wstring(timeoutMs) + L" ms");

    // A stop request may end the process before the call returns: say so.
    DWORD result = 0;
    ::GetExitCodeThread(thread.get(), &result);
    if (::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) {
        Print(L"ended");
        return 0;
    }
    ::VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    Print(L"result\t" + std::to_wstring(result));
    return 0;
}

int RegGet(std::wstring path, const std::wstring& valueName) {
    HKEY root = HKEY_CURRENT_USER;
    if (path.rfind(L"HKLM\\", 0) == 0) {
        root = HKEY_LOCAL_MACHINE;
        path.erase(0, 5);
    } else if (path.rfind(L"HKCU\\", 0) == 0) {
        path.erase(0, 5);
    }
    while (!path.empty() && path.front() == L'\\')
        path.erase(0, 1);

    HKEY raw = nullptr;
    LONG status = ::RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &raw);
    if (status != ERROR_SUCCESS)
        return Fail(L"regget: cannot open " + path + L" (error " + std::to_wstring(status) + L")");
    Key key(raw);
    DWORD type = 0;
    DWORD size = 0;
    status = ::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size);
    if (status != ERROR_SUCCESS)
        return Fail(L"regget: no value " + valueName + L" (error " + std::to_wstring(status) + L")");
    std::vector<BYTE> data(size + sizeof(wchar_t), 0);
    status = ::RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, data.data(), &size);
    if (status != ERROR_SUCCESS)
        return Fail(L"regget: cannot read " + valueName + L" (error " + std::to_wstring(status) + L")");

    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0')
            text.pop_back();
        Print(Escaped(text));
    } else if (type == REG_DWORD) {
        DWORD value = 0;
        std::memcpy(&value, data.data(), sizeof value);
        Print(std::to_wstring(value));
    } else {
        std::wstring hex;
        for (DWORD i = 0; i < size; ++i) {
            wchar_t pair[4];
            std::swprintf(pair, 4, L"%02x", data[i]);
            hex += pair;
        }
        Print(hex);
    }
    return 0;
}

// A list view keeps its texts in its own process: the request and the text buffer are
// placed there, and the answer read back.
int Rows(HWND list) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(list, &pid);
    Handle process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    if (!process)
        return FailWithError(L"rows: cannot open process " + std::to_wstring(pid));
    constexpr SIZE_T kTextChars = 1024;
    struct Remote {
        LVITEMW item;
        wchar_t text[kTextChars];
    };
    auto* remote = static_cast<Remote*>(
        ::VirtualAllocEx(process.get(), nullptr, sizeof(Remote), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!remote)
        return FailWithError(L"rows: cannot allocate in process " + std::to_wstring(pid));
    std::unique_ptr<Remote, std::function<void(Remote*)>> release(
        remote, [&](Remote* r) { ::VirtualFreeEx(process.get(), r, 0, MEM_RELEASE); });

    auto sendTimed = [&](UINT msg, WPARAM wParam, LPARAM lParam) {
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(list, msg, wParam, lParam, SMTO_ABORTIFHUNG, kTextTimeoutMs, &result);
        return static_cast<LRESULT>(result);
    };
    HWND header = reinterpret_cast<HWND>(sendTimed(LVM_GETHEADER, 0, 0));
    int columns = header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 1;
    int count = static_cast<int>(sendTimed(LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        bool selected = sendTimed(LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED;
        std::wstring line = std::to_wstring(row) + L"\t" + (selected ? L"1" : L"0");
        for (int column = 0; column < std::max(columns, 1); ++column) {
            LVITEMW item = {};
            item.iSubItem = column;
            item.pszText = remote->text;
            item.cchTextMax = static_cast<int>(kTextChars);
            if (!::WriteProcessMemory(process.get(), &remote->item, &item, sizeof item, nullptr))
                return FailWithError(L"rows: cannot write to process " + std::to_wstring(pid));
            auto got = static_cast<SIZE_T>(sendTimed(LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                                     reinterpret_cast<LPARAM>(&remote->item)));
            std::wstring cell(std::min(got, kTextChars - 1), L'\0');
            if (!cell.empty() && !::ReadProcessMemory(process.get(), remote->text, cell.data(),
                                                      cell.size() * sizeof(wchar_t), nullptr))
                return FailWithError(L"rows: cannot read from process " + std::to_wstring(pid));
            line += L"\t" + Escaped(cell);
        }
        Print(line);
    }
    return 0;
}

int Usage() {
    Fail(L"usage: kv_inspect windows CLASS | wait CLASS [=]COUNT SECONDS | children HWND | "
         L"control HWND ID | text HWND | pid HWND | send HWND MSG WPARAM LPARAM [MS] | "
         L"remote-send HWND MSG WPARAM LPARAM [MS] | post HWND MSG WPARAM LPARAM | notify HWND MSG WPARAM "
         L"LPARAM | regget KEY VALUE | rows HWND | rect HWND");
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    if (argc < 3)
        return Usage();
    std::wstring command = argv[1];
    HWND hwnd = nullptr;
    MessageArgs message;
    unsigned long long number = 0;

    if (command == L"windows" && argc == 3)
        return Windows(argv[2]);
    if (command == L"wait" && argc == 5)
        return Wait(argv[2], argv[3], argv[4]);
    if (command == L"regget" && argc == 4)
        return RegGet(argv[2], argv[3]);

    bool needsWindow = command == L"children" || command == L"control" || command == L"text" ||
                       command == L"pid" || command == L"rows" || command == L"rect";
    if (needsWindow && !ParseWindow(argv[2], hwnd))
        return Fail(std::wstring(L"no such window: ") + argv[2]);
    if (command == L"children" && argc == 3)
        return Children(hwnd);
    if (command == L"rows" && argc == 3)
        return Rows(hwnd);
    if (command == L"control" && argc == 4 && ParseNumber(argv[3], number))
        return Control(hwnd, static_cast<int>(number));
    std::wstring text;
    if (command == L"text" && argc == 3) {
        if (!ReadText(hwnd, text))
            return FailWithError(L"text: no answer");
        Print(Escaped(text));
        return 0;
    }
    if (command == L"pid" && argc == 3) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hwnd, &pid);
        Print(std::to_wstring(pid));
        return 0;
    }

    if (command == L"rect" && argc == 3) {
        RECT r = {};
        if (!::GetWindowRect(hwnd, &r))
            return FailWithError(L"rect: no rectangle");
        Print(std::to_wstring(r.left) + L"\t" + std::to_wstring(r.top) + L"\t" + std::to_wstring(r.right) +
              L"\t" + std::to_wstring(r.bottom));
        return 0;
    }

    bool isMessage =
        command == L"send" || command == L"remote-send" || command == L"post" || command == L"notify";
    if (!isMessage || argc < 6)
        return Usage();
    if (!ParseMessage(argv + 2, message))
        return Fail(L"bad window or numbers in the message");
    if (command == L"send" || command == L"remote-send") {
        unsigned long long timeoutMs = kDefaultSendTimeoutMs;
        if (argc > 7 || (argc == 7 && !ParseNumber(argv[6], timeoutMs)))
            return Usage();
        if (command == L"send")
            return Send(message, static_cast<UINT>(timeoutMs));
        return RemoteSend(message, static_cast<DWORD>(timeoutMs));
    }
    if (argc != 6)
        return Usage();
    return command == L"post" ? Post(message) : Notify(message);
}
