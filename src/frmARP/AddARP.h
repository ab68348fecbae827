#pragma once
#include "HexEdit/HexEdit.h"
#include "IPEdit/IPEdit.h"
#include "frmARP/resource.h"
#include "widgets/Controls.h"
#include "widgets/Form.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// The dialog that asks for a new ARP entry: physical address, IP address and type.
class TAddARP : public widgets::Form {
public:
    // Made for one use, by the window that shows it.
    TAddARP();
    ~TAddARP() override;

    widgets::Label Label1{*this, IDC_AddArpLabel1};
    THexEdit Edit1{*this, IDC_AddArpEdit1};
    widgets::Label Label2{*this, IDC_AddArpLabel2};
    TIPEdit IPEdit1{*this, IDC_AddArpIPEdit1};
    widgets::Label Label3{*this, IDC_AddArpLabel3};
    widgets::ComboBox cbType{*this, IDC_AddArpcbType};
    widgets::Button btnOK{*this, IDC_AddArpbtnOK};
    widgets::Button btnCancel{*this, IDC_AddArpbtnCancel};

    void FormCreate() override;
    void FormShow();
    void CheckOK();

    // The results, read after OK.
    std::array<BYTE, 8> PhysicalAddress() const;
    std::uint32_t Address() const { return IPEdit1.Value(); }
    DWORD EntryType() const;

    // Sixteen hexadecimal characters as eight bytes, the first character the high half
    // of the first byte; nothing for any other text.
    static std::optional<std::array<BYTE, 8>> HexBytes(const std::wstring& text);
    // The platform's entry type of a position in the type list.
    static DWORD TypeAt(int position);
};
