// Operations whose behaviour has not been built yet. Each does nothing and shows
// nothing until its own file takes it over.
#include "StatForm/StatsForm.h"

void TStatsForm::CheckFirstTime() {
}
void TStatsForm::ShowStatistics() {
}
void TStatsForm::DisableLookups() {
}
