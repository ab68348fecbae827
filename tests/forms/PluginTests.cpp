// Plug-ins: real libraries in the program's "Plugins" folder become commands of the
// extra-commands menu, and their data requests are answered for the latest window.
#include "kvPlug/PluginHost.h"
#include "platform/Text.h"
#include "support/FakePlatform.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace {

using LastWindowFunction = HWND(WINAPI*)();
using AskFunction = DWORD(WINAPI*)(DWORD, KvPlugValue*);

class Plugins : public ::testing::Test {
protected:
    Plugins() {
        fake.AddAdapter("Ethernet");
        fake.AddAdapter("Wireless");
        fake.UseProgramFolder(L"plugin_home\\");
    }
    static HMODULE Loaded(const wchar_t* name) {
        return ::GetModuleHandleW((fake::TestFolder() + L"plugin_home\\Plugins\\" + name).c_str());
    }
    template <typename F> static F Export(const wchar_t* library, const char* name) {
        return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(Loaded(library), name)));
    }
    // The plug-in commands of a window's menu by caption.
    static std::map<std::wstring, const widgets::PopupMenu::Entry*> Commands(const TStatsForm& window) {
        std::map<std::wstring, const widgets::PopupMenu::Entry*> commands;
        for (const auto& entry : window.Support.pmCommands.Entries())
            if (entry.runtime)
                commands[entry.caption] = &entry;
        return commands;
    }

    fake::FakePlatform fake;
};

} // namespace

TEST(PluginCaption, NeedsItsNulWithinTheBuffer) {
    const char tools[] = "Tools";
    EXPECT_EQ(kvplug::ReadCaption(tools, sizeof tools), L"Tools");
    char full[KVPLUG_CAPTION_SIZE];
    std::memset(full, 'x', sizeof full);
    EXPECT_EQ(kvplug::ReadCaption(full, sizeof full), std::nullopt);
    full[sizeof full - 1] = '\0';
    EXPECT_EQ(kvplug::ReadCaption(full, sizeof full)->size(), 254u);
}

TEST_F(Plugins, FlagsMakeTheItemsAndRefusedFilesAddNothing) {
    auto window = fake::BeginWindow();
    auto commands = Commands(*window);
    ASSERT_EQ(commands.size(), 4u);
    struct Expected {
        const wchar_t* caption;
        bool enabled, visible, checked;
    };
    for (const Expected& e :
         {Expected{L"Flags 0", false, false, false}, Expected{L"Flags 103", true, true, true},
          Expected{L"Flags 10003", true, true, false}, Expected{L"Caf\u00e9", true, true, false}}) {
        ASSERT_TRUE(commands.count(e.caption)) << platform::ToAnsi(e.caption, CP_UTF8);
        const auto& entry = *commands[e.caption];
        EXPECT_EQ(entry.enabled, e.enabled);
        EXPECT_EQ(entry.visible, e.visible);
        EXPECT_EQ(entry.checked, e.checked);
    }
    EXPECT_TRUE(window->Support.PlugSep.Visible());
    // The hidden one still has its place in the list; every library that loaded stays.
    EXPECT_EQ(window->Plugins.PluginList().size(), 4u);
    EXPECT_EQ(window->Plugins.LibraryCount(), 7u);
    EXPECT_NE(Loaded(L"kv_noexecute.dll"), nullptr);
    EXPECT_NE(Loaded(L"kv_declines.dll"), nullptr);

    window.reset();
    EXPECT_EQ(Loaded(L"kv_noexecute.dll"), nullptr);
    EXPECT_EQ(Loaded(L"kv_flags103.dll"), nullptr);
}

TEST_F(Plugins, WithoutAPluginsFolderTheSeparatorStaysHidden) {
    fake.UseProgramFolder(L"no_such_home\\");
    auto window = fake::BeginWindow();
    EXPECT_TRUE(Commands(*window).empty());
    EXPECT_FALSE(window->Support.PlugSep.Visible());
}

TEST_F(Plugins, TheCallbackAnswersEveryCode) {
    auto window = fake::BeginWindow();
    window->ConnectionName = L"本地连接";
    auto ask = Export<AskFunction>(L"kv_flags103.dll", "Ask");
    ASSERT_NE(ask, nullptr);
    KvPlugValue value = 99;

    EXPECT_EQ(ask(0xFFFF, &value), 0u);
    EXPECT_STREQ(reinterpret_cast<const char*>(value), "1.22");
    EXPECT_EQ(ask(15, &value), 8233u);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(ask(0, &value), 0u);
    EXPECT_EQ(value, 0u);

    struct Code {
        DWORD code;
        const void* expected;
    };
    for (const Code& c : {Code{2, window.get()}, Code{4, &window->AdapterInfo}, Code{5, &window->TcpStats},
                          Code{6, &window->IpStats}, Code{7, &window->UdpStats}, Code{8, &window->IcmpStats},
                          Code{9, window->Samples->Table()}, Code{10, &window->IfRow},
                          Code{11, &window->InterfaceIndex}, Code{14, window->Handle()}}) {
        EXPECT_EQ(ask(c.code, &value), 0u) << c.code;
        EXPECT_EQ(reinterpret_cast<const void*>(value), c.expected) << c.code;
    }
    EXPECT_EQ(ask(3, &value), 0u);
    EXPECT_EQ(reinterpret_cast<const void*>(value), window->NetworkParamsBuffer.data());
    EXPECT_EQ(ask(1, &value), 0u);
    EXPECT_NE(value, 0u);
    EXPECT_EQ(ask(13, &value), 0u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(value)), "\xB1\xBE\xB5\xD8\xC1\xAC\xBD\xD3");
    window->InterfaceName.clear();
    EXPECT_EQ(ask(12, &value), 0u);
    EXPECT_EQ(value, 0u);
}

TEST_F(Plugins, ACommandRunsForItsWindowWhileTheCallbackAnswersForTheLatest) {
    auto first = fake::BeginWindow(1);
    auto second = fake::BeginWindow(2);
    auto commands = Commands(*first);
    ASSERT_TRUE(commands.count(L"Flags 103"));
    commands[L"Flags 103"]->item->Click();

    EXPECT_EQ(Export<LastWindowFunction>(L"kv_flags103.dll", "LastWindow")(), first->Handle());
    KvPlugValue value = 0;
    EXPECT_EQ(Export<AskFunction>(L"kv_flags103.dll", "Ask")(14, &value), 0u);
    EXPECT_EQ(reinterpret_cast<HWND>(value), second->Handle());

    // The latest gone, the one before it answers.
    second.reset();
    EXPECT_EQ(Export<AskFunction>(L"kv_flags103.dll", "Ask")(14, &value), 0u);
    EXPECT_EQ(reinterpret_cast<HWND>(value), first->Handle());
}
