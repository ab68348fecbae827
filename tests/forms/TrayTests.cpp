// The tray icon: presence, balloons, re-adding after the taskbar comes back, its clicks.
#include "support/FakePlatform.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

namespace {

// Whether a menu was open when the timer came, which then closes it.
bool gMenuWasOpen = false;
void CALLBACK CloseOpenMenu(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    gMenuWasOpen = ::FindWindowW(L"#32768", nullptr) != nullptr;
    ::EndMenu();
}

class Tray : public ::testing::Test {
protected:
    Tray() { index = fake.AddAdapter("eth0"); }
    std::vector<fake::TrayCall> Calls(DWORD message) const {
        std::vector<fake::TrayCall> out;
        for (const auto& c : fake.TrayCalls)
            if (c.message == message)
                out.push_back(c);
        return out;
    }
    std::vector<fake::TrayCall> Balloons() const {
        std::vector<fake::TrayCall> out;
        for (const auto& c : Calls(NIM_MODIFY))
            if ((c.flags & NIF_INFO) && !c.info.empty())
                out.push_back(c);
        return out;
    }

    fake::FakePlatform fake;
    DWORD index = 0;
};

TEST_F(Tray, AnAdapterWithAnAddressGetsItsIconAndABalloon) {
    fake.Adapter(index).addresses = {{"192.168.0.5", "255.255.255.0"}};
    auto window = fake::BeginWindow();
    EXPECT_TRUE(window->TrayIcon.Visible());
    EXPECT_TRUE(window->BeganWithAddress);
    ASSERT_EQ(Calls(NIM_ADD).size(), 1u);
    EXPECT_EQ(Calls(NIM_ADD)[0].window, window->Handle());
    EXPECT_EQ(Calls(NIM_ADD)[0].icon, window->ImageList2.Icon(0));
    auto balloons = Balloons();
    ASSERT_EQ(balloons.size(), 1u);
    EXPECT_EQ(balloons[0].info, L"连接于 100.0 Mbps");
    EXPECT_EQ(balloons[0].infoTitle, L"{FAKE-2}");
    EXPECT_EQ(balloons[0].infoFlags, static_cast<DWORD>(NIIF_INFO));
    EXPECT_EQ(balloons[0].timeout, 10000u);
    // A balloon still shown is taken away first.
    auto modifies = Calls(NIM_MODIFY);
    ASSERT_GE(modifies.size(), 2u);
    EXPECT_TRUE(modifies[0].flags & NIF_INFO);
    EXPECT_TRUE(modifies[0].info.empty());
}

TEST_F(Tray, AnAdapterWithoutAnAddressGetsItsIconWithoutABalloon) {
    auto window = fake::BeginWindow();
    EXPECT_TRUE(window->TrayIcon.Visible());
    EXPECT_FALSE(window->BeganWithAddress);
    EXPECT_EQ(Calls(NIM_ADD).size(), 1u);
    EXPECT_TRUE(Balloons().empty());

    // The address comes later: shown once the window is open and refilled, the icon
    // is already there, so no balloon.
    fake.Adapter(index).addresses = {{"10.1.1.1", "255.0.0.0"}};
    window->TrayIconClick();
    window->Timer2Timer();
    EXPECT_TRUE(Balloons().empty());
}

TEST_F(Tray, TheStatusBalloonCarriesTheConnectionNameAndTheSpeed) {
    fake.Row(index).dwSpeed = 1000000;
    auto window = fake::BeginWindow();
    window->miStatusBalloon.Click();
    auto balloons = Balloons();
    ASSERT_EQ(balloons.size(), 1u);
    EXPECT_EQ(balloons[0].infoTitle, window->ConnectionName);
    EXPECT_EQ(balloons[0].info, L"连接于 1.0 Mbps");
    fake.Row(index).dwSpeed = 9999;
    window->Timer2Timer();
    window->miStatusBalloonClick();
    EXPECT_EQ(Balloons().back().info, L"连接于 9999 bps");
}

TEST_F(Tray, LongBalloonTextsAreCutByBytes) {
    fake.Adapter(index).addresses = {{"192.168.0.5", "255.255.255.0"}};
    auto window = fake::BeginWindow();
    window->ConnectionName = std::wstring(40, L'网');
    window->miStatusBalloonClick();
    EXPECT_EQ(Balloons().back().infoTitle, std::wstring(31, L'网'));
}

TEST_F(Tray, AfterTheTaskbarIsRecreatedTheIconComesBackAsItWas) {
    fake.Row(index).dwOutOctets = 100;
    auto window = fake::BeginWindow();
    fake.Row(index).dwOutOctets += 10;
    window->Timer2Timer();
    HICON icon = window->TrayIcon.Icon();
    std::wstring hint = window->TrayIcon.Hint();
    fake.TrayCalls.clear();

    ::SendMessageW(window->Handle(), platform::TaskbarCreatedMessage(), 0, 0);

    auto adds = Calls(NIM_ADD);
    ASSERT_EQ(adds.size(), 1u);
    EXPECT_EQ(adds[0].icon, icon);
    EXPECT_EQ(adds[0].tip, hint);
    EXPECT_EQ(icon, window->ImageList2.Icon(1));
}

TEST_F(Tray, TheIconGoesWithItsWindow) {
    auto window = fake::BeginWindow();
    HWND h = window->Handle();
    window.reset();
    auto deletes = Calls(NIM_DELETE);
    ASSERT_EQ(deletes.size(), 1u);
    EXPECT_EQ(deletes[0].window, h);
}

TEST_F(Tray, TheIconAlwaysShowsAndOnlyARealAddressBringsTheBalloon) {
    using Addresses = std::vector<std::pair<std::string, std::string>>;
    struct Case {
        Addresses addresses;
        bool unsupported;
        bool balloon;
    } cases[] = {
        {{{"0.0.0.0", "0.0.0.0"}}, false, false},
        // An unset first address beside a real one still counts as an address.
        {{{"0.0.0.0", "0.0.0.0"}, {"10.1.1.1", "255.0.0.0"}}, false, true},
        {{{"10.1.1.1", "255.0.0.0"}, {"10.1.1.2", "255.0.0.0"}}, false, true},
        // Where the helper cannot say, the empty item is no proof of no address.
        {{{"", ""}}, true, true},
        {{{"", ""}}, false, false},
    };
    for (const Case& c : cases) {
        fake.TrayCalls.clear();
        fake.Adapter(index).addresses = c.addresses;
        fake.AdaptersInfoError = c.unsupported ? ERROR_NOT_SUPPORTED : NO_ERROR;
        auto window = fake::BeginWindow();
        EXPECT_TRUE(window->TrayIcon.Visible()) << c.addresses.size() << c.unsupported;
        EXPECT_EQ(Balloons().size(), c.balloon ? 1u : 0u) << c.addresses.size() << c.unsupported;
    }
}

TEST_F(Tray, ARefusingShellIsIgnored) {
    fake.TrayAccepts = false;
    fake.Adapter(index).addresses = {{"192.168.0.5", "255.255.255.0"}};
    auto window = fake::BeginWindow();
    window->Timer2Timer();
    EXPECT_TRUE(window->TrayIcon.Visible());
}

TEST_F(Tray, ClicksAndTheMenu) {
    auto window = fake::BeginWindow();
    HWND h = window->Handle();
    ::SendMessageW(h, widgets::TrayIcon::kCallbackMessage, 1, WM_LBUTTONUP);
    EXPECT_TRUE(window->Visible());
    ::SendMessageW(h, widgets::TrayIcon::kCallbackMessage, 1, WM_LBUTTONUP);
    EXPECT_TRUE(window->Visible()); // a click never hides

    // A right click opens the tray menu (closed again from inside its loop).
    bool popped = false;
    window->PopupMenu1.OnPopup = [&] {
        popped = true;
        ::SetTimer(nullptr, 0, 1, CloseOpenMenu);
    };
    ::SendMessageW(h, widgets::TrayIcon::kCallbackMessage, 1, WM_RBUTTONUP);
    EXPECT_TRUE(popped);
    EXPECT_TRUE(gMenuWasOpen);
}

} // namespace
