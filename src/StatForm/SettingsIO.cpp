// The window's settings between runs: its own subkey below the settings key.
#include "StatForm/StatsForm.h"
#include "platform/Kernel.h"
#include "settings/DropShadow.h"
#include "settings/Settings.h"
#include "settings/StoredFont.h"

#include <string>

namespace {

constexpr wchar_t kDownloadLineColor[] = L"DownloadLineColor";
constexpr wchar_t kUploadLineColor[] = L"UploadLineColor";
constexpr wchar_t kDownloadLine[] = L"DownloadLine";
constexpr wchar_t kUploadLine[] = L"UploadLine";
constexpr wchar_t kShowGrid[] = L"ShowGrid";
constexpr wchar_t kShowLegend[] = L"ShowLegend";
constexpr wchar_t kGridFont[] = L"GridFont";
constexpr wchar_t kGridColor[] = L"GridColor";
constexpr wchar_t kGridBackColor[] = L"GridBackColor";
constexpr wchar_t kAoT[] = L"AoT";
constexpr wchar_t kDropShadow[] = L"DropShadow";
constexpr wchar_t kOctetDisp[] = L"OctetDisp";
constexpr wchar_t kPopupDisplayType[] = L"PopupDisplayType";
constexpr wchar_t kAdapterName[] = L"AdapterName";
constexpr wchar_t kIgnoreSystemPolicies[] = L"IgnoreSystemPolicies";

std::wstring ColumnValue(std::size_t column) {
    return L"CCon" + std::to_wstring(column);
}

// Windows 9x and NT 4 have no connection key of their own: the name lives with us.
bool KeepsAdapterName(const platform::WindowsVersion& os) {
    return os.IsWin9x() || os.IsNT4();
}

// The tray hint's choice is kept only where the balloon's system supports it.
bool KeepsPopupDisplayType(const platform::WindowsVersion& os) {
    return !os.IsWin95Or98() && !os.IsNT4();
}

// A stored number that its setting cannot hold counts as absent.
std::optional<std::int32_t> InRange(const settings::Stored<std::int32_t>& value, std::int32_t low,
                                    std::int32_t high) {
    if (value && *value >= low && *value <= high)
        return *value;
    return std::nullopt;
}

widgets::TColor ReadColor(const settings::RegistryAccessor& registry, const wchar_t* name,
                          widgets::TColor absent) {
    auto value = registry.ReadInteger(name);
    return value ? static_cast<widgets::TColor>(*value) : absent;
}

// Sets the box as stored; a change runs its click handler, as the user's would.
void LoadCheck(const settings::RegistryAccessor& registry, const wchar_t* name, widgets::CheckBox& box) {
    auto stored = registry.ReadBool(name);
    if (!stored || *stored == box.Checked())
        return;
    box.SetChecked(*stored);
    if (box.OnClick)
        box.OnClick();
}

} // namespace

void TStatsForm::LoadSettings() {
    const platform::WindowsVersion& os = platform::kernel().Version;
    settings::SettingsKeyReturn back(Registry);
    // The subkey lies below the settings key, whatever an earlier step left behind.
    // Without it (a first run) the window reads nothing and the defaults stand; the
    // subkey is made when there is something to write.
    Registry.SetRootKey(HKEY_CURRENT_USER);
    Registry.OpenKey(settings::WindowSubkeyPath(InterfaceName));

    Usage.cbDLColor.SetSelected(ReadColor(Registry, kDownloadLineColor, settings::kDefaultDownloadLineColor));
    Usage.cbULColor.SetSelected(ReadColor(Registry, kUploadLineColor, settings::kDefaultUploadLineColor));
    LoadCheck(Registry, kDownloadLine, Usage.cbShowDL);
    LoadCheck(Registry, kUploadLine, Usage.cbShowUL);
    if (auto grid = Registry.ReadBool(kShowGrid))
        Usage.UseChart.ShowGrid = *grid;
    if (auto legend = Registry.ReadBool(kShowLegend))
        Usage.UseChart.GridLegend = *legend;
    if (auto block = Registry.ReadBinary(kGridFont))
        if (std::optional<settings::TStoredFont> font = settings::TStoredFont::Decode(*block))
            font->ApplyTo(Usage.UseChart.Font());
    if (auto color = Registry.ReadInteger(kGridColor))
        Usage.UseChart.SetGridColor(static_cast<widgets::TColor>(*color));
    if (auto color = Registry.ReadInteger(kGridBackColor))
        Usage.UseChart.SetColor(static_cast<widgets::TColor>(*color));
    for (std::size_t column = 0; column < Connections.ConnectionColumnWidths.size(); ++column)
        if (std::optional<std::int32_t> width =
                InRange(Registry.ReadInteger(ColumnValue(column)), 0, INT32_MAX))
            Connections.ConnectionColumnWidths[column] = *width;
    for (std::size_t column = 0; column < Connections.ConnectionColumnWidths.size(); ++column)
        Connections.lvConnections.SetColumnWidth(static_cast<int>(column),
                                                 Connections.ConnectionColumnWidths[column]);
    if (auto onTop = Registry.ReadBool(kAoT))
        DisplaySettings.AoT = *onTop;

    DisplaySettings.PopupDisplayType = settings::kDefaultPopupDisplayType;
    if (KeepsPopupDisplayType(os))
        if (auto parts = InRange(Registry.ReadInteger(kPopupDisplayType), 0, settings::kAllPopupParts))
            DisplaySettings.PopupDisplayType = static_cast<std::uint8_t>(*parts);
    if (auto unit = InRange(Registry.ReadInteger(kOctetDisp), 0, settings::kLastOctetDisp))
        DisplaySettings.OctetDisp = static_cast<std::uint8_t>(*unit);

    if (KeepsAdapterName(os)) {
        if (auto name = Registry.ReadString(kAdapterName))
            DisplaySettings.AdapterName = *name;
        if (!DisplaySettings.AdapterName.empty()) {
            ConnectionName = DisplaySettings.AdapterName;
            SetWindowTitle(ConnectionName);
        } else {
            DisplaySettings.AdapterName = ConnectionName;
        }
    } else {
        DisplaySettings.AdapterName = ConnectionName;
    }

    DisplaySettings.IgnoreSystemPolicies = Registry.ReadBool(kIgnoreSystemPolicies).value_or(false);
    DisplaySettings.DropShadow = Registry.ReadBool(kDropShadow).value_or(false);
    settings::ApplyDropShadow(*this, DisplaySettings.DropShadow);
    // The history window changes the limit and writes it itself.
    *Quota = usage::ReadQuota(Registry);
}

void TStatsForm::SaveSettings() {
    settings::FirstFailure failure;
    WriteSettings(failure);
    failure.Report(L"the settings of " + ConnectionName);
}

void TStatsForm::WriteSettings(settings::FirstFailure& failure) {
    const platform::WindowsVersion& os = platform::kernel().Version;
    settings::SettingsKeyReturn back(Registry);
    Registry.SetRootKey(HKEY_CURRENT_USER);
    const std::wstring subkey = settings::WindowSubkeyPath(InterfaceName);
    // Nothing of the window's may land in the settings key itself.
    if (!failure.Note(subkey, Registry.CreateKey(subkey, settings::KeyAccess::Write)))
        return;
    auto write = [&](const std::wstring& name, settings::RegStatus status) { failure.Note(name, status); };

    write(kDownloadLineColor,
          Registry.WriteInteger(kDownloadLineColor, static_cast<std::int32_t>(Usage.cbDLColor.Selected())));
    write(kUploadLineColor,
          Registry.WriteInteger(kUploadLineColor, static_cast<std::int32_t>(Usage.cbULColor.Selected())));
    write(kDownloadLine, Registry.WriteBool(kDownloadLine, Usage.cbShowDL.Checked()));
    write(kUploadLine, Registry.WriteBool(kUploadLine, Usage.cbShowUL.Checked()));
    write(kShowGrid, Registry.WriteBool(kShowGrid, Usage.UseChart.ShowGrid));
    write(kShowLegend, Registry.WriteBool(kShowLegend, Usage.UseChart.GridLegend));
    write(kGridFont,
          Registry.WriteBinary(kGridFont, settings::TStoredFont::FromFont(Usage.UseChart.Font()).Encode()));
    write(kGridColor,
          Registry.WriteInteger(kGridColor, static_cast<std::int32_t>(Usage.UseChart.GridColor())));
    write(kGridBackColor,
          Registry.WriteInteger(kGridBackColor, static_cast<std::int32_t>(Usage.UseChart.Color())));
    // The widths as the user left them.
    for (std::size_t column = 0; column < Connections.ConnectionColumnWidths.size(); ++column)
        Connections.ConnectionColumnWidths[column] =
            Connections.lvConnections.ColumnWidth(static_cast<int>(column));
    for (std::size_t column = 0; column < Connections.ConnectionColumnWidths.size(); ++column)
        write(ColumnValue(column),
              Registry.WriteInteger(ColumnValue(column), Connections.ConnectionColumnWidths[column]));
    write(kAoT, Registry.WriteBool(kAoT, DisplaySettings.AoT));
    write(kDropShadow, Registry.WriteBool(kDropShadow, DisplaySettings.DropShadow));
    write(kOctetDisp, Registry.WriteInteger(kOctetDisp, DisplaySettings.OctetDisp));
    if (KeepsAdapterName(os))
        write(kAdapterName, Registry.WriteString(kAdapterName, DisplaySettings.AdapterName));
    if (KeepsPopupDisplayType(os))
        write(kPopupDisplayType, Registry.WriteInteger(kPopupDisplayType, DisplaySettings.PopupDisplayType));
}
