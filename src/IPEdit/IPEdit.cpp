#include "IPEdit/IPEdit.h"
#include "IPEdit/OctetText.h"
#include "widgets/Form.h"

#include <algorithm>

namespace {
// The panel does not own this brush: it is a system colour's.
HBRUSH WindowBrush() {
    return ::GetSysColorBrush(COLOR_WINDOW);
}

// Width and height of a text in the font the window uses.
SIZE TextSize(HWND window, const wchar_t* text) {
    SIZE size{};
    HDC dc = ::GetDC(window);
    if (!dc)
        return size;
    auto font = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
    ::GetTextExtentPoint32W(dc, text, static_cast<int>(::lstrlenW(text)), &size);
    if (old)
        ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
    return size;
}
} // namespace

const TIPEdit::WindowClass TIPEdit::kWindowClass{L"TIPEdit", CS_DBLCLKS, IDC_ARROW, WindowBrush()};

TIPByteEdit::TIPByteEdit(widgets::Form& owner, int id, int position) : Edit(owner, id), Tag(position) {
    TextAlignment = Alignment::Center;
    SetMaxLength(3);
    SetCaption(L"0");
}

TIPEdit::TIPEdit(widgets::Form& owner, int id)
    : CustomWindow(owner, id, kWindowClass), octets_{TIPByteEdit{owner, id, 0}, TIPByteEdit{owner, id, 1},
                                                     TIPByteEdit{owner, id, 2}, TIPByteEdit{owner, id, 3}},
      dots_{widgets::Label{owner, id}, widgets::Label{owner, id}, widgets::Label{owner, id},
            widgets::Label{owner, id}} {
    for (TIPByteEdit& octet : octets_) {
        const int position = octet.Tag;
        octet.OnKeyPress = [this, position](wchar_t key) { return OctetKey(position, key); };
        octet.OnChange = [this] {
            if (OnChange)
                OnChange();
        };
        octet.OnClick = [this] { OctetClick(); };
        octet.OnDblClick = [this] {
            if (OnDblClick)
                OnDblClick();
        };
        octet.OnExit = [this, position] { OctetLeft(position); };
    }
    for (widgets::Label& dot : dots_) {
        dot.SetCaption(L".");
        dot.OnMouseDown = [this](UINT button, WPARAM) {
            if (button == WM_LBUTTONDOWN && OnClick)
                OnClick();
            else if (button == WM_LBUTTONDBLCLK && OnDblClick)
                OnDblClick();
        };
    }
    // Three dots show: the fourth stands after the last octet.
    dots_[3].SetCaption(L"");
    dots_[3].SetVisible(false);
}

TIPEdit::~TIPEdit() {
    DestroyHandle();
}

void TIPEdit::CreateChildren() {
    // A template made the panel; its parts go in it now, before the form attaches them.
    HWND panel = widgets::DescendantById(Owner().Handle(), Id());
    if (!panel)
        return;
    LPARAM font = static_cast<LPARAM>(::SendMessageW(Owner().Handle(), WM_GETFONT, 0, 0));
    RECT nowhere{0, 0, 1, 1};
    for (std::size_t i = 0; i < octets_.size(); ++i) {
        octets_[i].Create(panel, nowhere);
        dots_[i].CreateChild(panel, L"STATIC", SS_CENTER | SS_NOTIFY | (i < 3 ? WS_VISIBLE : 0), nowhere,
                             dots_[i].Caption());
        ::SendMessageW(octets_[i].Handle(), WM_SETFONT, static_cast<WPARAM>(font), FALSE);
        ::SendMessageW(dots_[i].Handle(), WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    }
    ::SendMessageW(panel, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
}

void TIPEdit::Attached() {
    Layout();
}

void TIPEdit::Layout() {
    HWND panel = Handle();
    if (!panel || !octets_[0].Handle())
        return;
    RECT outer{}, client{};
    ::GetWindowRect(panel, &outer);
    ::GetClientRect(panel, &client);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const int border = width - client.right;
    const int w3 = TextSize(octets_[0].Handle(), L"000").cx;
    const int h = TextSize(octets_[0].Handle(), L"0").cy;
    const int dot = TextSize(dots_[0].Handle(), L".").cx + 2;

    const int octet = std::max((width - border - 3 * dot) / 4, w3);
    auto resize = [&](int w, int hh) {
        ::SetWindowPos(panel, nullptr, 0, 0, w, hh, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    // A panel too small grows; its resize lays the parts out.
    if (height < h + border)
        return resize(width, h + border);
    if (width < border + 4 * octet + 3 * dot)
        return resize(border + 4 * octet + 3 * dot, height);
    const int top = (client.bottom - h) / 2;
    for (std::size_t i = 0; i < octets_.size(); ++i) {
        const int left = static_cast<int>(i) * (dot + octet);
        octets_[i].SetBounds(left, top, octet, h);
        dots_[i].SetBounds(left + octet, top, dot, h);
    }
}

std::wstring TIPEdit::Text() const {
    std::wstring text = octets_[0].Text();
    for (std::size_t i = 1; i < octets_.size(); ++i)
        text += L"." + octets_[i].Text();
    return text;
}

void TIPEdit::SetText(const std::wstring& text) {
    auto parts = ipedit::OctetsFromText(text);
    for (std::size_t i = 0; i < octets_.size(); ++i)
        if (parts[i])
            octets_[i].SetText(*parts[i]);
}

std::uint32_t TIPEdit::Value() const {
    std::uint32_t value = 0;
    for (const TIPByteEdit& octet : octets_)
        value = (value << 8) + ipedit::WholeNumber(octet.Text()).value_or(0);
    return value;
}

void TIPEdit::SetValue(std::uint32_t value) {
    for (int i = 3; i >= 0; --i, value >>= 8)
        octets_[static_cast<std::size_t>(i)].SetText(std::to_wstring(value & 0xFF));
}

bool TIPEdit::ValidIP() const {
    return std::all_of(octets_.begin(), octets_.end(), [](const TIPByteEdit& octet) {
        auto number = ipedit::WholeNumber(octet.Text());
        return number && *number <= 255;
    });
}

void TIPEdit::SetEnabled(bool on) {
    Control::SetEnabled(on);
    for (std::size_t i = 0; i < octets_.size(); ++i) {
        octets_[i].SetEnabled(on);
        dots_[i].SetEnabled(on);
    }
}

bool TIPEdit::OctetKey(int position, wchar_t key) {
    if (key == VK_BACK || (key >= L'0' && key <= L'9'))
        return true;
    // Only "." moves on; three digits never do by themselves.
    if (key == L'.' && position < 3) {
        dotJump_ = true;
        Octet(position + 1).Focus();
    }
    return false;
}

void TIPEdit::OctetClick() {
    if (dotJump_) {
        dotJump_ = false;
        return;
    }
    if (OnClick)
        OnClick();
}

void TIPEdit::OctetLeft(int position) {
    TIPByteEdit& octet = Octet(position);
    octet.SetText(ipedit::LeftOctet(octet.Text()));
    HWND focus = ::GetFocus();
    if (OnExit && (!focus || (focus != Handle() && ::GetParent(focus) != Handle())))
        OnExit();
}

LRESULT TIPEdit::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        Layout();
        return 0;
    case WM_SETFOCUS:
        Octet(0).Focus();
        if (OnEnter)
            OnEnter();
        return 0;
    case WM_CTLCOLORSTATIC: {
        // The dots and disabled octets stand on the panel's window colour.
        auto dc = reinterpret_cast<HDC>(wParam);
        ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(WindowBrush());
    }
    case WM_COMMAND:
    case WM_NOTIFY:
        // The parts' notifications reach their control objects as the form's do.
        if (Owner().Dispatch(Handle(), msg, wParam, lParam))
            return 0;
        break;
    default:
        break;
    }
    return CustomWindow::WindowProc(msg, wParam, lParam);
}
