#include "AboutForm/TfrmAbout.h"
#include "res/resource.h"
#include "res/version.h"
#include "widgets/Application.h"

namespace {
constexpr int kClientWidth = 430;
constexpr int kClientHeight = 163;
constexpr int kNameFontHeight = -19; // 14 points
} // namespace

TfrmAbout::TfrmAbout()
    : Form(kClassName, IDD_TfrmAbout, {kClientWidth, kClientHeight}),
      icon_({IDI_KELVRA}, widgets::ScalePixels(32)) {
    Button1.OnClick = [this] { Button1Click(); };
    Button1.SetHint(L"关闭窗口");
    URLLabel1.URL = kMakerSite;
    URLLabel2.URL = kDeveloperMail;
    URLLabel3.URL = kMakerSite;
    URLLabel4.URL = kMakerMail;
}

TfrmAbout::~TfrmAbout() {
    DestroyHandle();
}

void TfrmAbout::FormCreate() {
    Image1.SetIcon(icon_.Icon(0));
    Label6.SetCaption(kVersionText);
    const int nameHeight = widgets::ScalePixels(kNameFontHeight);
    nameFont_.Reset(::CreateFontW(nameHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
    Label1.SetFont(static_cast<HFONT>(nameFont_.Get()));
}

void TfrmAbout::Button1Click() {
    Close();
}
