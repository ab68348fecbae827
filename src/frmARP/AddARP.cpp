#include "frmARP/AddARP.h"

namespace {
constexpr std::size_t kPhysicalAddressChars = 16;
// Positions of the type list: static, dynamic, invalid, other.
constexpr std::array<DWORD, 4> kTypes{4, 3, 2, 1};

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}
} // namespace

TAddARP::TAddARP() : Form(L"TAddARP", IDD_TAddARP, {255, 135}) {
    OnShow = [this] { FormShow(); };
    Edit1.SetMaxLength(static_cast<int>(kPhysicalAddressChars));
    Edit1.OnChange = [this] { CheckOK(); };
    IPEdit1.OnChange = [this] { CheckOK(); };
    cbType.OnChange = [this] { CheckOK(); };
    btnOK.OnClick = [this] { SetModalResult(IDOK); };
    btnCancel.OnClick = [this] { SetModalResult(IDCANCEL); };
    Edit1.HelpContext = IDH_AddArpEdit1;
    IPEdit1.HelpContext = IDH_AddArpIPEdit1;
    cbType.HelpContext = IDH_AddArpcbType;
    btnOK.HelpContext = IDH_AddArpbtnOK;
    btnCancel.HelpContext = IDH_AddArpbtnCancel;
}

TAddARP::~TAddARP() {
    DestroyHandle();
}

void TAddARP::FormCreate() {
    CenterOnOwner();
    for (const wchar_t* type : {L"静态", L"动态", L"无效", L"其他"})
        cbType.Add(type);
    IPEdit1.SetText(L"0.0.0.0");
    IPEdit1.SetValue(0);
    btnOK.SetEnabled(false);
    Edit1.Focus();
}

void TAddARP::FormShow() {
    cbType.SetItemIndex(1);
    CheckOK();
}

void TAddARP::CheckOK() {
    // Only hex digits make an address; a pasted text of other characters does not.
    btnOK.SetEnabled(HexBytes(Edit1.Text()).has_value() && IPEdit1.ValidIP());
}

std::optional<std::array<BYTE, 8>> TAddARP::HexBytes(const std::wstring& text) {
    if (text.size() != kPhysicalAddressChars)
        return std::nullopt;
    std::array<BYTE, 8> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        int high = HexValue(text[2 * i]);
        int low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes[i] = static_cast<BYTE>(high * 16 + low);
    }
    return bytes;
}

std::array<BYTE, 8> TAddARP::PhysicalAddress() const {
    return HexBytes(Edit1.Text()).value_or(std::array<BYTE, 8>{});
}

DWORD TAddARP::TypeAt(int position) {
    return position >= 0 && position < static_cast<int>(kTypes.size())
               ? kTypes[static_cast<std::size_t>(position)]
               : 0;
}

DWORD TAddARP::EntryType() const {
    return TypeAt(cbType.ItemIndex());
}
