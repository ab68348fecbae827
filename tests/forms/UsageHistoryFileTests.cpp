// An interface's history file over the scripted file system: read at the start, written
// a minute apart while something changes and at a stop, and what happens when the disk
// says no.
#include "UsageHistory/HistoryFile.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

const std::wstring kFolder = std::wstring(fake::FakeFiles::kAppData) + L"\\Tarvelo\\history\\";
const std::wstring kFile = kFolder + L"{4D36E972}.csv";
const std::string kOldFile = "# Tarvelo usage history 1\r\n# interface: LAN\r\ndate,received,sent\r\n"
                             "2023-03-14,100,10\r\n";

class HistoryFile : public ::testing::Test {
protected:
    HistoryFile() { fake.TickStep = 0; }

    usage::InterfaceHistory Loaded() {
        usage::InterfaceHistory history(usage::HistoryFolder(), L"{4D36E972}", L"LAN");
        history.Load();
        return history;
    }
    // A tick `seconds` after the history was loaded.
    void TickAt(usage::InterfaceHistory& history, DWORD seconds, std::uint64_t received, std::uint64_t sent) {
        fake.TickCount = start + seconds * 1000;
        history.Tick(received, sent);
    }

    fake::FakePlatform fake;
    DWORD start = 0;
};

TEST_F(HistoryFile, WrittenAMinuteApartAndReadBack) {
    EXPECT_EQ(usage::HistoryFolder(), kFolder);
    // The tick count wraps within the first minute.
    start = fake.TickCount = 0xFFFFFFFFu - 20000;
    usage::InterfaceHistory history = Loaded();
    TickAt(history, 1, 1000, 100);
    TickAt(history, 59, 1000, 100);
    EXPECT_FALSE(fake.HasFile(kFile)) << "written before the minute";
    TickAt(history, 60, 1000, 100);
    ASSERT_TRUE(fake.HasFile(kFile)) << "the folder is made where missing";
    EXPECT_EQ(fake.FileBytes[kFile], "# Tarvelo usage history 1\r\n# interface: LAN\r\ndate,received,sent\r\n"
                                     "2023-03-15,3000,300\r\n");
    // Nothing new: nothing written, at the interval or at a stop.
    fake.FileBytes[kFile] = kOldFile;
    TickAt(history, 130, 0, 0);
    history.Flush();
    EXPECT_EQ(fake.FileBytes[kFile], kOldFile);

    // A stop writes what came since the last write; the next start goes on from there.
    TickAt(history, 100, 5, 5);
    fake.Now += 1; // past midnight
    TickAt(history, 110, 7, 7);
    EXPECT_EQ(fake.FileBytes[kFile], kOldFile);
    history.Rename(L"LAN 2");
    history.Flush();
    EXPECT_EQ(fake.OpenFiles(), 0u);
    EXPECT_EQ(fake.FilesStartingWith(kFolder).size(), 1u) << "no temporary file is left";
    usage::InterfaceHistory again = Loaded();
    ASSERT_EQ(again.Data().Days().size(), 2u);
    EXPECT_EQ(again.Data().Days()[0].Bytes.Received, 3005u);
    EXPECT_EQ(again.Data().Days()[1].Day, (usage::Date{2023, 3, 16}));
    EXPECT_EQ(again.Problem(), L"");
    EXPECT_NE(fake.FileBytes[kFile].find("# interface: LAN 2\r\n"), std::string::npos);
}

TEST_F(HistoryFile, AFailedWriteKeepsTheOldFileAndTheCount) {
    const std::wstring kFailed = L"无法写入历史文件夹，流量统计仅保存在内存中。";
    struct Case {
        const char* name;
        std::function<void(fake::FakeFiles&)> fail, mend;
    } cases[] = {
        {"read-only folder",
         [](fake::FakeFiles& f) { f.ReadOnlyFolders.insert(kFolder.substr(0, kFolder.size() - 1)); },
         [](fake::FakeFiles& f) { f.ReadOnlyFolders.clear(); }},
        {"full disk", [](fake::FakeFiles& f) { f.FreeBytes = 40; },
         [](fake::FakeFiles& f) { f.FreeBytes = 1 << 20; }},
        {"failed move", [](fake::FakeFiles& f) { f.MovesFail = true; },
         [](fake::FakeFiles& f) { f.MovesFail = false; }},
        {"no folder", [](fake::FakeFiles& f) { f.ReadOnlyFolders.insert(fake::FakeFiles::kAppData); },
         [](fake::FakeFiles& f) { f.ReadOnlyFolders.clear(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake::FakeFiles scene;
        if (std::string(c.name) != "no folder")
            scene.AddFile(kFile, kOldFile);
        usage::InterfaceHistory history(usage::HistoryFolder(), L"{4D36E972}", L"LAN");
        history.Load();
        c.fail(scene);
        history.Tick(50, 5);
        fake.TickCount += 60000;
        history.Tick(50, 5);
        if (std::string(c.name) != "no folder") {
            EXPECT_EQ(scene.FileBytes[kFile], kOldFile);
        }
        EXPECT_EQ(scene.FilesStartingWith(kFile).size(), std::string(c.name) == "no folder" ? 0u : 1u);
        EXPECT_EQ(history.Problem(), kFailed);
        EXPECT_EQ(history.Data().Days().back().Bytes.Received, 100u);
        // Tried again at the next interval, not before; a success clears the line.
        c.mend(scene);
        fake.TickCount += 30000;
        history.Tick(0, 0);
        EXPECT_EQ(history.Problem(), kFailed);
        fake.TickCount += 30000;
        history.Tick(0, 0);
        EXPECT_EQ(history.Problem(), L"");
        EXPECT_NE(scene.FileBytes[kFile].find("2023-03-15,100,10\r\n"), std::string::npos);
    }
}

TEST_F(HistoryFile, AnUnreadableFileIsMovedAsideAndANewHistoryStarts) {
    const std::string kBad[] = {"garbage", kOldFile + "2023-03-13,1,1\r\n", std::string(70u << 20, '#')};
    for (const std::string& bad : kBad) {
        fake::FakeFiles scene;
        scene.AddFile(kFile, bad);
        usage::InterfaceHistory history(usage::HistoryFolder(), L"{4D36E972}", L"LAN");
        history.Load();
        EXPECT_TRUE(history.Data().Days().empty());
        EXPECT_FALSE(scene.HasFile(kFile));
        ASSERT_TRUE(scene.HasFile(kFile + L".bad-20230315-120000"));
        EXPECT_EQ(scene.FileBytes[kFile + L".bad-20230315-120000"].size(), bad.size());
        EXPECT_EQ(history.Problem(),
                  L"历史文件无法读取，已另存为 {4D36E972}.csv.bad-20230315-120000，已开始新的记录。");
        history.Tick(1, 1);
        history.Flush();
        EXPECT_TRUE(scene.HasFile(kFile));
    }
    // A second bad file within the same second does not replace the first one kept.
    fake.AddFile(kFile + L".bad-20230315-120000", "first");
    fake.AddFile(kFile, "second");
    Loaded();
    EXPECT_EQ(fake.FileBytes[kFile + L".bad-20230315-120000"], "first");
    EXPECT_EQ(fake.FileBytes[kFile + L".bad-20230315-120000-2"], "second");

    // One that can be neither read nor moved is never written over.
    fake::FakeFiles locked;
    locked.AddFile(kFile, kOldFile);
    locked.LockedFiles.insert(kFile);
    usage::InterfaceHistory held = Loaded();
    held.Tick(1, 1);
    held.Flush();
    EXPECT_EQ(locked.FileBytes[kFile], kOldFile);
    EXPECT_EQ(held.Problem(), L"历史文件无法读取，也无法另存，流量统计仅保存在内存中。");
    EXPECT_EQ(held.Data().Days().size(), 1u);
}

} // namespace
