#pragma once
#include "frmARPlst/resource.h"
#include "widgets/Controls.h"
#include "widgets/Form.h"
#include "widgets/ListView.h"

#include <string>

// The machine's ARP cache, with adding, removing and flushing entries of one adapter.
// A tool window: closing it ends it.
class TArpListForm : public widgets::Form {
public:
    static constexpr const wchar_t* kClassName = L"TArpListForm";

    // What the status window hands over; fixed for the window's life.
    struct Adapter {
        DWORD InterfaceIndex = 0;
        std::wstring AdapterAddress; // only shown
        std::wstring ConnectionName; // names the adapter in the add error
        bool DropShadow = false;     // the status window's setting, for the add dialog
    };

    explicit TArpListForm(Adapter adapter);
    ~TArpListForm() override;

    const DWORD InterfaceIndex;
    const std::wstring AdapterAddress;
    const std::wstring ConnectionName;

    widgets::Label lbInterface{*this, IDC_ArpListlbInterface};
    widgets::ListView ARPList{*this, IDC_ArpListARPList};
    widgets::Button Button1{*this, IDC_ArpListButton1};
    widgets::Button Button2{*this, IDC_ArpListButton2};
    widgets::Button btnClearARP{*this, IDC_ArpListbtnClearARP};
    widgets::Button Button4{*this, IDC_ArpListButton4};

    void FormCreate() override;
    void FormShow();
    void FillArpList();
    void Button1Click();
    void Button2Click();
    void btnClearARPClick();
    void Button4Click();

private:
    bool dropShadow_;
};
