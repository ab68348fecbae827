#pragma once
// Resource ids of the status window (1000-1999).

#define IDD_TStatsForm 1000
#define IDD_tsGeneral 1001
#define IDD_tsSupport 1002
#define IDD_tsDetails 1003
#define IDD_tsNetwork 1004
#define IDD_tsUsage 1005
#define IDD_tsConnect 1006

#define IDC_PageControl1 1010
#define IDC_Button1 1011
#define IDC_MainProg 1012

// General page
#define IDC_GroupBox2 1100
#define IDC_lbStatusCaption 1101
#define IDC_lbStatus 1102
#define IDC_lbDurationCaption 1103
#define IDC_lbDuration 1104
#define IDC_lbSpeedCaption 1105
#define IDC_lbSpeed 1106
#define IDC_GroupBox3 1107
#define IDC_lbSentHead 1108
#define IDC_lbRecdHead 1109
#define IDC_Label15 1110
#define IDC_lbByteSent 1111
#define IDC_lbByteRecd 1112
#define IDC_lbPacketsCaption 1113
#define IDC_lbPackSent 1114
#define IDC_lbPackRecd 1115
#define IDC_Image2 1116
#define IDC_Shape1 1117
#define IDC_Shape2 1118
#define IDC_Shape3 1119
#define IDC_Button3 1120

// Support page
#define IDC_GroupBox1 1200
#define IDC_Label1 1201
#define IDC_cbIP 1202
#define IDC_Label5 1203
#define IDC_Label6 1204
#define IDC_Label3 1205
#define IDC_Label4 1206
#define IDC_Label17 1207
#define IDC_lbStatus2 1208
#define IDC_Label21 1209
#define IDC_Label18 1210
#define IDC_Label8 1211
#define IDC_Label7 1212
#define IDC_Label9 1213
#define IDC_Label10 1214
#define IDC_btnDetails 1215
#define IDC_btnRel 1216
#define IDC_btnRen 1217
#define IDC_btnCommands 1218
#define IDC_lbNicName 1219
#define IDC_lbRelRenText 1220
#define IDC_lbNT 1221

// Details page
#define IDC_GroupBox5 1230
#define IDC_Label27 1231
#define IDC_lbActCon 1232
#define IDC_Label29 1233
#define IDC_lbPasCon 1234
#define IDC_Label30 1235
#define IDC_lbCon 1236
#define IDC_Label31 1237
#define IDC_lbReset 1238
#define IDC_Label32 1239
#define IDC_lbFailed 1240
#define IDC_Label33 1241
#define IDC_lbTTL 1242
#define IDC_Label35 1243
#define IDC_lbDatagram 1244
#define IDC_Label36 1245
#define IDC_lbDGError 1246

// Usage page
#define IDC_GroupBox4 1300
#define IDC_UseChart 1301
#define IDC_Label22 1302
#define IDC_lbDL 1303
#define IDC_Label24 1304
#define IDC_lbUL 1305
#define IDC_Label23 1306
#define IDC_lbDLA 1307
#define IDC_Label26 1308
#define IDC_lbULA 1309
#define IDC_Label25 1310
#define IDC_lbDLM 1311
#define IDC_Label28 1312
#define IDC_lbULM 1313
#define IDC_cbShowDL 1314
#define IDC_cbShowUL 1315
#define IDC_cbDLColor 1316
#define IDC_cbULColor 1317

// Network page
#define IDC_cbNetworkList 1400
#define IDC_tbNetwork 1401
#define IDC_lbNetStat 1402

// Tray menu
#define IDM_PopupMenu1 1500
#define IDM_miStatusBalloon 1501
#define IDM_About1 1502
#define IDM_Exit1 1503
#define IDM_N2 1504
#define IDM_Hide1 1505
#define IDM_N1 1506
#define IDM_OpenNetConnection1 1507

// Extra commands menu of the Support page
#define IDM_pmCommands 1520
#define IDM_AddARPEntry1 1521
#define IDM_N3 1522
#define IDM_AdapterOptions1 1523
#define IDM_PlugSep 1524
#define IDM_UsageHistory1 1525

// Connections page and its menu
#define IDC_lvConnections 1600
#define IDM_PopupMenu2 1610
#define IDM_LookupIP1 1611
#define IDM_TraceRoute1 1612
#define IDM_N4 1613
#define IDM_ReverseLookupIPs1 1614
// Browse tree context menu
#define IDM_NetworkPopup 1530
#define IDM_Explore1 1531
#define IDM_N5 1532
#define IDM_MapNetworkDrive1 1533
#define IDM_ConnectPrinter1 1534

// Help numbers: the help file's topics, opened at a control by F1 or the help button.
#define IDH_GroupBox2 101
#define IDH_GroupBox3 102
#define IDH_Button1 103
#define IDH_cbIP 201
#define IDH_btnDetails 202
#define IDH_btnRel 203
#define IDH_btnRen 204
#define IDH_btnCommands 205
#define IDH_cbNetworkList 401
#define IDH_tbNetwork 402
#define IDH_UseChart 501
#define IDH_lvConnections 501
#define IDH_cbShowDL 502
#define IDH_cbShowUL 503
#define IDH_cbDLColor 504
#define IDH_cbULColor 505
