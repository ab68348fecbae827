#pragma once
#include "AboutForm/resource.h"
#include "URLLabel/URLLabel.h"
#include "platform/Handles.h"
#include "widgets/Controls.h"
#include "widgets/Form.h"
#include "widgets/ImageList.h"

// The about box: the program's icon, name and version, its maker with links to the web
// site and e-mail, and its developers. Shown without blocking; closing it ends it.
class TfrmAbout : public widgets::Form {
public:
    static constexpr const wchar_t* kClassName = L"TfrmAbout";
    static constexpr const wchar_t* kCaption = L"关于 Tarvelo";
    static constexpr const wchar_t* kMakerSite = L"https://www.quorvel.example/";
    static constexpr const wchar_t* kMakerMail = L"mailto:support@quorvel.example";
    static constexpr const wchar_t* kDeveloperMail = L"mailto:dev@tarvelo.example";

    TfrmAbout();
    ~TfrmAbout() override;

    widgets::Image Image1{*this, IDC_Image1};
    widgets::Label Label1{*this, IDC_AboutLabel1};
    widgets::Label Label6{*this, IDC_AboutLabel6};
    widgets::Label Label18{*this, IDC_AboutLabel18};
    TURLLabel URLLabel1{*this, IDC_URLLabel1};
    widgets::Label Label2{*this, IDC_AboutLabel2};
    widgets::Label Label3{*this, IDC_AboutLabel3};
    widgets::Label Label12{*this, IDC_AboutLabel12};
    widgets::Label Label13{*this, IDC_AboutLabel13};
    TURLLabel URLLabel2{*this, IDC_URLLabel2};
    widgets::Label Label4{*this, IDC_AboutLabel4};
    widgets::Label Label9{*this, IDC_AboutLabel9};
    widgets::Label Label10{*this, IDC_AboutLabel10};
    TURLLabel URLLabel3{*this, IDC_URLLabel3};
    widgets::Label Label11{*this, IDC_AboutLabel11};
    TURLLabel URLLabel4{*this, IDC_URLLabel4};
    widgets::Button Button1{*this, IDC_AboutButton1};

    void FormCreate() override;
    void Button1Click();

private:
    platform::UniqueGdiObject nameFont_;
    // The program's icon at the screen's scale, not the system's 32-pixel default.
    widgets::ImageList icon_;
};
