// The binding to the probe library beside the program: which lookup an address text goes
// through, and a library of an earlier release (without the wide lookup) still serving IPv4.
#include "kelvradll/ProbeLibrary.h"
#include "platform/Text.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ProbeLibrary, IPv6TextsGoThroughTheWideLookupWhereTheLibraryHasIt) {
    fake::FakeKernel kernel;
    struct Case {
        const wchar_t* folder;
        bool loaded;
        bool wide;
    };
    for (const Case& c : {Case{L"probe_home\\", true, true}, Case{L"probe_v4only\\", true, false},
                          Case{L"probe_partial\\", false, false}}) {
        SCOPED_TRACE(platform::ToAnsi(c.folder, CP_UTF8));
        kernel.UseProgramFolder(c.folder);
        const kelvradll::ProbeLibrary probe = kelvradll::LoadProbeLibrary();
        EXPECT_EQ(probe.Loaded(), c.loaded);
        EXPECT_EQ(static_cast<bool>(probe.GetDNSLookupW), c.wide);
        EXPECT_EQ(kelvradll::LookUpHostName(probe, L"2001:db8::1%3"),
                  c.wide ? L"2001-db8--1-3.v6.test" : L"");
        EXPECT_EQ(kelvradll::LookUpHostName(probe, L"fd00:7e::1"), L"");
    }

    // Over a scripted library: dotted texts keep the record lookup, IPv6 texts never reach it.
    std::vector<std::string> dotted;
    std::vector<std::wstring> wide;
    kelvradll::ProbeLibrary probe;
    probe.GetDNSLookup = [&](LookupRequest* request) {
        dotted.emplace_back(request->address);
        std::strcpy(request->hostName, "four.example.test");
        return DWORD{0};
    };
    probe.GetDNSLookupW = [&](const wchar_t* address, wchar_t* name, DWORD capacity) {
        wide.emplace_back(address);
        EXPECT_GE(capacity, 256u);
        std::wcscpy(name, L"six.example.test");
        return DWORD{0};
    };
    EXPECT_EQ(kelvradll::LookUpHostName(probe, L"10.0.0.7"), L"four.example.test");
    EXPECT_EQ(kelvradll::LookUpHostName(probe, L"fe80::1%12"), L"six.example.test");
    EXPECT_EQ(dotted, std::vector<std::string>{"10.0.0.7"});
    EXPECT_EQ(wide, std::vector<std::wstring>{L"fe80::1%12"});
}

} // namespace
