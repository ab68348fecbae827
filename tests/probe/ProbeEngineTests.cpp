// The probe library over a scripted network: what each hop report carries, when the
// trace ends, what the caller gets back, and name lookups.
#include "ProbeEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

// What the network answers to the echo of one TTL.
struct Answer {
    std::string from; // empty: no answer (timed out)
    DWORD time = 0;
    IP_STATUS status = IP_TTL_EXPIRED_TRANSIT;
    DWORD error = IP_REQ_TIMED_OUT; // without an answer
};

struct Script {
    std::vector<Answer> answers; // by TTL - 1; past the end: no answer
    bool icmpOpens = true;
    std::vector<int> ttlsSent;
    std::vector<DWORD> timeouts;
    std::vector<WORD> sizes;
    int closes = 0;
    std::vector<std::pair<std::string, std::string>> names; // address, host
    int lookups = 0;
};

// Per thread, so that traces on several threads each have their own network.
thread_local Script* current = nullptr;
thread_local DWORD lastError = 0;
const HANDLE kIcmp = reinterpret_cast<HANDLE>(0x1234);

HANDLE WINAPI ScriptedCreate() {
    return current->icmpOpens ? kIcmp : INVALID_HANDLE_VALUE;
}
BOOL WINAPI ScriptedClose(HANDLE) {
    ++current->closes;
    return TRUE;
}
DWORD WINAPI ScriptedError() {
    return lastError;
}

// How the script names a socket address: dotted, or eight IPv6 groups and a non-zero zone
// ("fe80:0:0:0:0:0:0:1%12").
std::string Key(const sockaddr* where) {
    if (where->sa_family == AF_INET)
        return kvprobe::DottedText(reinterpret_cast<const sockaddr_in*>(where)->sin_addr.s_addr);
    const auto* in6 = reinterpret_cast<const sockaddr_in6*>(where);
    std::string key;
    for (int group = 0; group < 8; ++group) {
        char text[8];
        std::snprintf(text, sizeof text, "%s%x", group ? ":" : "",
                      in6->sin6_addr.s6_addr[group * 2] << 8 | in6->sin6_addr.s6_addr[group * 2 + 1]);
        key += text;
    }
    return in6->sin6_scope_id ? key + "%" + std::to_string(in6->sin6_scope_id) : key;
}

int WSAAPI ScriptedNameInfo(const sockaddr* where, socklen_t, char* host, DWORD hostSize, char*, DWORD,
                            int flags) {
    ++current->lookups;
    if (!(flags & NI_NAMEREQD))
        return WSAEINVAL;
    const std::string address = Key(where);
    for (const auto& [known, name] : current->names)
        if (known == address) {
            std::strncpy(host, name.c_str(), hostSize - 1);
            host[hostSize - 1] = '\0';
            return 0;
        }
    return WSAHOST_NOT_FOUND;
}

DWORD Send(WORD size, PIP_OPTION_INFORMATION options, LPVOID reply, DWORD replySize, DWORD timeout) {
    current->ttlsSent.push_back(options->Ttl);
    current->timeouts.push_back(timeout);
    current->sizes.push_back(size);
    const std::size_t at = static_cast<std::size_t>(options->Ttl) - 1;
    if (at >= current->answers.size() || current->answers[at].from.empty()) {
        lastError = at < current->answers.size() ? current->answers[at].error : IP_REQ_TIMED_OUT;
        return 0;
    }
    const Answer& answer = current->answers[at];
    EXPECT_GE(replySize, sizeof(ICMP_ECHO_REPLY) + size);
    auto* echo = static_cast<ICMP_ECHO_REPLY*>(reply);
    echo->Address = *kvprobe::ParseDotted(answer.from.c_str(), answer.from.size() + 1);
    echo->Status = answer.status;
    echo->RoundTripTime = answer.time;
    return 1;
}

DWORD WINAPI ScriptedSend(HANDLE, HANDLE, kvprobe::IcmpApcRoutine, PVOID, IPAddr, LPVOID, WORD size,
                          PIP_OPTION_INFORMATION options, LPVOID reply, DWORD replySize, DWORD timeout) {
    return Send(size, options, reply, replySize, timeout);
}

// Puts the scripted network in place for the calling thread; other threads bring
// scripts of their own.
struct ScopedSeam {
    explicit ScopedSeam(Script& script) : saved(kvprobe::seam()) {
        current = &script;
        auto& s = kvprobe::seam();
        s.IcmpCreateFile = ScriptedCreate;
        s.IcmpCloseHandle = ScriptedClose;
        s.GetLastError = ScriptedError;
        s.IcmpSendEcho2 = ScriptedSend;
        s.getnameinfo = ScriptedNameInfo;
    }
    ~ScopedSeam() {
        kvprobe::seam() = saved;
        current = nullptr;
    }
    kvprobe::Seam saved;
};

// Text into a record's fixed field, cut to leave its terminator.
void Fill(char* field, std::size_t size, const std::string& text) {
    std::memset(field, 0, size);
    std::memcpy(field, text.data(), std::min(text.size(), size - 1));
}

TraceRequest Request(const char* target, DWORD cookie = 77) {
    TraceRequest request{};
    request.size = sizeof request;
    Fill(request.target, sizeof request.target, target);
    request.maxHops = 30;
    request.hopTimeoutMs = 2000;
    request.packetSize = 16;
    request.cookie = cookie;
    return request;
}

// What the callback saw, and when to write -1 into the stop variable.
struct Seen {
    std::vector<HopReport> reports;
    int stopAfter = 0;
};
thread_local Seen* seen = nullptr;
void WINAPI Collect(const HopReport* report, LONG* stop) {
    seen->reports.push_back(*report);
    if (seen->stopAfter && static_cast<int>(seen->reports.size()) == seen->stopAfter)
        *stop = -1;
}

struct TraceRun {
    DWORD status = 0;
    TraceResult* result = nullptr;
    Seen hops;
    ~TraceRun() { kvprobe::FreeResult(&result); }
};

void Trace(TraceRun& run, const TraceRequest& request) {
    seen = &run.hops;
    run.result = reinterpret_cast<TraceResult*>(0x1); // the library must overwrite it
    run.status = kvprobe::Trace(&request, &run.result, Collect);
    seen = nullptr;
}

Answer Router(const char* from, DWORD time) {
    return {from, time, IP_TTL_EXPIRED_TRANSIT, 0};
}
Answer Target(const char* from, DWORD time) {
    return {from, time, IP_SUCCESS, 0};
}

TEST(ProbeTrace, ReportsEachHopInOrderUntilTheTargetAnswers) {
    Script script;
    script.answers = {Router("10.201.1.1", 0), Answer{}, Target("10.201.2.2", 12345)};
    ScopedSeam seam(script);
    TraceRun run;
    Trace(run, Request("10.201.2.2", 0xCAFEF00D));

    EXPECT_EQ(run.status, KVPROBE_OK);
    ASSERT_EQ(run.hops.reports.size(), 3u);
    const HopReport& first = run.hops.reports[0];
    EXPECT_EQ(first.hop, 1);
    EXPECT_STREQ(first.address, "10.201.1.1");
    EXPECT_EQ(first.timeMs, 0u);
    const HopReport& silent = run.hops.reports[1];
    EXPECT_EQ(silent.hop, 2);
    EXPECT_STREQ(silent.address, "");
    EXPECT_EQ(silent.timeMs, KVPROBE_NO_ANSWER);
    EXPECT_EQ(run.hops.reports[2].timeMs, 12345u);
    for (const HopReport& report : run.hops.reports)
        EXPECT_EQ(report.cookie, 0xCAFEF00Du);

    EXPECT_EQ(script.ttlsSent, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(script.timeouts, (std::vector<DWORD>{2000, 2000, 2000}));
    EXPECT_EQ(script.sizes, (std::vector<WORD>{16, 16, 16}));
    EXPECT_EQ(script.closes, 1);
    ASSERT_NE(run.result, nullptr);
    EXPECT_EQ(run.result->lastHop, 3);
}

TEST(ProbeTrace, StopVariableEndsTheTraceBeforeTheNextProbe) {
    Script script;
    script.answers = {Router("10.0.0.1", 1), Router("10.0.0.2", 2), Router("10.0.0.3", 3),
                      Target("10.0.0.4", 4)};
    ScopedSeam seam(script);
    TraceRun run;
    run.hops.stopAfter = 2;
    Trace(run, Request("10.0.0.4"));

    EXPECT_EQ(run.hops.reports.size(), 2u);
    EXPECT_EQ(script.ttlsSent, (std::vector<int>{1, 2}));
    EXPECT_EQ(run.status, KVPROBE_OK);
    EXPECT_EQ(run.result->lastHop, 2);
}

TEST(ProbeTrace, EndsAtTheHopLimitOrWhereTheRouteEnds) {
    Script silent; // nothing ever answers
    {
        ScopedSeam seam(silent);
        TraceRun run;
        Trace(run, Request("10.9.9.9"));
        EXPECT_EQ(run.status, KVPROBE_OK);
        EXPECT_EQ(run.hops.reports.size(), 30u);
        EXPECT_EQ(run.result->lastHop, 30);
    }
    Script unreachable;
    unreachable.answers = {Router("10.0.0.1", 1), {"10.0.0.1", 2, IP_DEST_HOST_UNREACHABLE, 0}};
    {
        ScopedSeam seam(unreachable);
        TraceRun run;
        Trace(run, Request("10.9.9.9"));
        EXPECT_EQ(run.status, KVPROBE_OK);
        EXPECT_EQ(run.hops.reports.size(), 2u);
        EXPECT_EQ(unreachable.ttlsSent.size(), 2u);
    }
}

TEST(ProbeTrace, InvalidTargetsGiveStatusSixWithoutProbing) {
    const std::vector<std::string> targets = {
        "",       "1.2.3",    "1.2.3.4.5", "256.1.1.1",       "a.b.c.d",
        "1..2.3", "1.2.3.4 ", "0.0.0.0",   "255.255.255.255", "1.2.3.1234"};
    Script script;
    ScopedSeam seam(script);
    for (const std::string& target : targets) {
        TraceRun run;
        Trace(run, Request(target.c_str()));
        EXPECT_EQ(run.status, KVPROBE_BAD_TARGET) << target;
        EXPECT_EQ(run.result, nullptr) << target;
    }
    // A target field filled to its end without a terminator.
    TraceRequest unterminated = Request("1.2.3.4");
    std::memset(unterminated.target, '1', sizeof unterminated.target);
    TraceRun run;
    Trace(run, unterminated);
    EXPECT_EQ(run.status, KVPROBE_BAD_TARGET);
    EXPECT_TRUE(script.ttlsSent.empty());
}

TEST(ProbeTrace, FailuresStillHandBackABlockNamingTheLastHop) {
    Script closed;
    closed.icmpOpens = false;
    {
        ScopedSeam seam(closed);
        TraceRun run;
        Trace(run, Request("10.0.0.9"));
        EXPECT_EQ(run.status, KVPROBE_FAILED);
        ASSERT_NE(run.result, nullptr);
        EXPECT_EQ(run.result->lastHop, 0);
    }
    Script broken; // the third echo cannot be sent at all
    broken.answers = {Router("10.0.0.1", 1), Answer{}, Answer{"", 0, 0, ERROR_NETWORK_UNREACHABLE}};
    {
        ScopedSeam seam(broken);
        TraceRun run;
        Trace(run, Request("10.0.0.9"));
        EXPECT_EQ(run.status, KVPROBE_FAILED);
        EXPECT_EQ(run.hops.reports.size(), 2u);
        EXPECT_EQ(run.result->lastHop, 3);
    }
    // Freeing is safe on a null block and on a null address.
    TraceResult* none = nullptr;
    kvprobe::FreeResult(&none);
    kvprobe::FreeResult(nullptr);
    TraceRequest small = Request("10.0.0.9");
    small.size = 20;
    TraceRun run;
    Trace(run, small);
    EXPECT_EQ(run.status, KVPROBE_FAILED);
}

TEST(ProbeTrace, ConcurrentTracesKeepTheirOwnHops) {
    Script unused;
    ScopedSeam seam(unused);
    struct Worker {
        const char* router;
        DWORD cookie;
        std::vector<HopReport> reports;
        DWORD failures = 0;
    };
    std::vector<Worker> workers = {{"10.1.0.1", 1, {}}, {"10.2.0.1", 2, {}}, {"10.3.0.1", 3, {}}};
    std::vector<std::thread> threads;
    for (Worker& worker : workers)
        threads.emplace_back([&worker] {
            Script script;
            script.answers = {Router(worker.router, 1), Answer{}, Target("10.0.9.9", 2)};
            current = &script;
            for (int i = 0; i < 40; ++i) {
                TraceRun run;
                Trace(run, Request("10.0.9.9", worker.cookie));
                worker.failures += run.status;
                worker.reports.insert(worker.reports.end(), run.hops.reports.begin(), run.hops.reports.end());
            }
            current = nullptr;
        });
    for (std::thread& thread : threads)
        thread.join();
    for (const Worker& worker : workers) {
        EXPECT_EQ(worker.failures, 0u);
        ASSERT_EQ(worker.reports.size(), 120u);
        for (std::size_t i = 0; i < worker.reports.size(); i += 3) {
            EXPECT_STREQ(worker.reports[i].address, worker.router);
            EXPECT_EQ(worker.reports[i + 1].timeMs, KVPROBE_NO_ANSWER);
            EXPECT_EQ(worker.reports[i + 2].cookie, worker.cookie);
        }
    }
}

TEST(ProbeLookup, NamesFoundMissingOrNotAsked) {
    Script script;
    script.names = {{"10.201.2.2", "far.example.test"}, {"10.0.0.7", std::string(300, 'x')}};
    ScopedSeam seam(script);
    auto lookup = [](const char* address, DWORD& result) {
        LookupRequest request{};
        request.size = sizeof request;
        Fill(request.address, sizeof request.address, address);
        result = kvprobe::Lookup(&request);
        return std::string(request.hostName);
    };
    DWORD result = 1;
    EXPECT_EQ(lookup("10.201.2.2", result), "far.example.test");
    EXPECT_EQ(result, 0u);
    EXPECT_EQ(lookup("10.201.2.3", result), "");
    EXPECT_NE(result, 0u);
    EXPECT_EQ(lookup("10.0.0.7", result), std::string(255, 'x')); // cut to the field
    EXPECT_EQ(result, 0u);
    const int asked = script.lookups;
    EXPECT_EQ(lookup("far.example.test", result), "");
    EXPECT_NE(result, 0u);
    EXPECT_EQ(script.lookups, asked); // text that is no address is not looked up
}

TEST(ProbeLookup, WideTextsOfBothFamiliesAndWhatIsNoAddress) {
    Script script;
    script.names = {{"10.0.0.7", "seven.example.test"},
                    {"2001:db8:0:0:0:0:0:1", "v6.example.test"},
                    {"fe80:0:0:0:0:0:0:1%12", "link.example.test"},
                    {"0:0:0:0:0:0:0:1", "localhost"},
                    {"0:0:0:0:0:ffff:a00:7", "mapped.example.test"},
                    {"1:2:3:4:5:6:7:8", "full.example.test"},
                    {"1:0:0:0:0:0:0:0", "gap.example.test"}};
    ScopedSeam seam(script);
    struct Case {
        const wchar_t* address;
        const wchar_t* name; // null: not looked up at all
    };
    const Case cases[] = {
        {L"10.0.0.7", L"seven.example.test"},
        {L"2001:db8::1", L"v6.example.test"},
        {L"2001:DB8:0:0:0:0:0:1", L"v6.example.test"},
        {L"fe80::1%12", L"link.example.test"},
        {L"::1", L"localhost"},
        {L"::ffff:10.0.0.7", L"mapped.example.test"},
        {L"1:2:3:4:5:6:7:8", L"full.example.test"},
        {L"1::", L"gap.example.test"},
        {L"2001:db8::2", L""}, // an address without a name
        {L"", nullptr},
        {L"far.example.test", nullptr},
        {L"2001:db8:::1", nullptr},
        {L"1::2::3", nullptr},
        {L"12345::1", nullptr},
        {L"g::1", nullptr},
        {L"1:2:3:4:5:6:7:8:9", nullptr},
        {L"1:2:3:4:5:6:7:8::", nullptr},
        {L":1::", nullptr},
        {L"1:", nullptr},
        {L"1.2.3.4::", nullptr},
        {L"::1.2.3", nullptr},
        {L"fe80::1%", nullptr},
        {L"fe80::1%x", nullptr},
        {L"fe80::1%4294967296", nullptr},
        {L"10.0.0.7%1", nullptr},
        {L"::1 ", nullptr},
        {L"\x4e2d::1", nullptr},
    };
    for (const Case& c : cases) {
        const int asked = script.lookups;
        wchar_t name[64];
        std::wmemset(name, L'#', 64);
        const DWORD result = kvprobe::LookupWide(c.address, name, 64);
        std::string shown; // for the messages
        for (const wchar_t* w = c.address; *w; ++w)
            shown += *w < 0x80 ? static_cast<char>(*w) : '?';
        EXPECT_EQ(std::wstring(name), c.name ? c.name : L"") << shown;
        EXPECT_EQ(result == 0, c.name && *c.name) << shown;
        EXPECT_EQ(script.lookups, asked + (c.name ? 1 : 0)) << shown;
    }
}

TEST(ProbeLookup, WideNamesAreCutToTheCapacityAndBadArgumentsWriteNothingOutside) {
    Script script;
    script.names = {{"0:0:0:0:0:0:0:1", "localhost"}, {"10.0.0.9", std::string(2000, 'n')}};
    ScopedSeam seam(script);
    // The guard around the room the caller gives must stay as it was.
    wchar_t buffer[8];
    auto lookup = [&](const wchar_t* address, DWORD capacity) {
        std::wmemset(buffer, L'#', 8);
        return kvprobe::LookupWide(address, buffer + 1, capacity);
    };
    EXPECT_EQ(lookup(L"::1", 5), 0u);
    EXPECT_EQ(std::wstring(buffer, 8), std::wstring(L"#loca\0##", 8));
    EXPECT_EQ(lookup(L"::1", 1), 0u);
    EXPECT_EQ(std::wstring(buffer, 3), std::wstring(L"#\0#", 3));
    EXPECT_EQ(lookup(L"10.0.0.9", 6), 0u);
    EXPECT_EQ(std::wstring(buffer, 8), std::wstring(L"#nnnnn\0#", 8));
    EXPECT_NE(lookup(L"::1", 0), 0u);
    EXPECT_EQ(std::wstring(buffer, 8), L"########");
    EXPECT_NE(lookup(nullptr, 6), 0u);
    EXPECT_EQ(std::wstring(buffer, 3), std::wstring(L"#\0#", 3));
    EXPECT_NE(kvprobe::LookupWide(L"::1", nullptr, 6), 0u);
    // A text longer than any address is none.
    std::wstring unterminated(kvprobe::kMaxAddressText + 1, L'1');
    EXPECT_NE(lookup(unterminated.c_str(), 6), 0u);
}

} // namespace
