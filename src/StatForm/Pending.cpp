// Operations whose behaviour has not been built yet. Each does nothing and shows
// nothing until its own file takes it over.
#include "StatForm/StatsForm.h"

void TStatsForm::UpdateGeneral() {
}
void TStatsForm::GetAdapterInfo() {
}
void TStatsForm::AssignLabels() {
}
void TStatsForm::cbIPChange() {
}
void TStatsForm::GetAdapterNetworkName() {
}
void TStatsForm::GetRasInformation() {
}
void TStatsForm::SetWindowTitle(const std::wstring& /*name*/) {
}
void TStatsForm::UpdateUsage() {
}
void TStatsForm::SetChartEnabled(bool /*on*/) {
}
void TStatsForm::GetNetworkList() {
}
void TStatsForm::ReleaseNodeResources() {
}
void TStatsForm::CheckFirstTime() {
}
void TStatsForm::LoadSettings() {
}
void TStatsForm::SaveSettings() {
}
void TStatsForm::LoadPlugins() {
}
void TStatsForm::UnloadPlugins() {
}
void TStatsForm::FetchStatistics() {
}
void TStatsForm::miStatusBalloonClick() {
}
