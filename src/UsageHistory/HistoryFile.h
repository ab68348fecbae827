#pragma once
// Where an interface's history lives between runs, and when it is written.
#include "UsageHistory/History.h"

#include <cstdint>
#include <optional>
#include <string>

namespace usage {

// %APPDATA%\Tarvelo\history\ with its trailing backslash (not created here); empty when
// the system names no application data folder.
std::wstring HistoryFolder();

// Milliseconds between the writes while something changes.
constexpr std::uint32_t kWriteInterval = 60 * 1000;

// The history of one interface, kept in <folder><adapter id>.csv: loaded once, added to on
// every tick, written by replacing the whole file (a temporary file, flushed, then moved
// over the old one) every minute while something changed and at every stop.
class InterfaceHistory {
public:
    InterfaceHistory(std::wstring folder, std::wstring adapterId, std::wstring connectionName);

    // Reads the file. A missing file starts an empty history; one that cannot be read is
    // renamed to <name>.bad-YYYYMMDD-HHMMSS and a new history starts.
    void Load();
    // Adds a tick's bytes to the current local day (the kernel binding's clock) and writes
    // the file when the last write is a minute old and something changed.
    void Tick(std::uint64_t received, std::uint64_t sent);
    // Writes now if anything changed since the last write (every stop calls it).
    void Flush();

    const History& Data() const { return Days; }
    // The connection's name written into the file's second line.
    void Rename(std::wstring connectionName) { ConnectionName = std::move(connectionName); }
    // What the history window says under its list: the unreadable file moved aside, or a
    // folder that cannot be written (the history then lives in memory). Empty when all is well.
    std::wstring Problem() const;
    // <folder><adapter id>.csv, the characters a file name cannot hold in the id made "_".
    std::wstring Path() const;

private:
    bool Write();

    std::wstring Folder;
    std::wstring AdapterId;
    std::wstring ConnectionName;
    History Days;
    bool Changed = false;
    bool WriteFailed = false;
    std::optional<std::wstring> MovedAsideTo;
    std::uint32_t LastWriteTick = 0;
    // The file could be neither read nor moved aside: it is never written over.
    bool Blocked = false;
};

} // namespace usage
