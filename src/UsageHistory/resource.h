#pragma once
// Resource ids of the usage history window (6400-6499).
#define IDD_TUsageHistory 6400
#define IDC_HislbView 6401
#define IDC_HiscbView 6402
#define IDC_HisChart 6403
#define IDC_HislvHistory 6404
#define IDC_HislbProblem 6405
#define IDC_HisgbQuota 6406
#define IDC_HislbQuota 6407
#define IDC_HisedQuota 6408
#define IDC_HislbStartDay 6409
#define IDC_HiscbStartDay 6410
#define IDC_HiscbAlert 6411
#define IDC_HislbPeriod 6412
#define IDC_HisbtnExport 6413
#define IDC_HisbtnClose 6414
