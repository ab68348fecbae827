#pragma once
// Program-wide resources (1-999): the program icon and the activity pictures.

#define IDI_KELVRA 1

#define IDI_TRAY0 100
#define IDI_TRAY1 101
#define IDI_TRAY2 102
#define IDI_TRAY3 103
#define IDI_TRAY4 104

#define IDI_ACT0 110
#define IDI_ACT1 111
#define IDI_ACT2 112
#define IDI_ACT3 113
#define IDI_ACT4 114
#define IDI_ACT5 115
#define IDI_ACT6 116
#define IDI_ACT7 117
#define IDI_ACT8 118

#define IDB_MENU_BALLOON 130
#define IDB_MENU_ABOUT 131
#define IDB_MENU_STATUS 132
#define IDB_MENU_NETCONN 133
#define IDB_MENU_MAPDRIVE 134
#define IDB_MENU_EXPLORE 135
#define IDB_MENU_UNMAPDRIVE 136
#define IDB_MENU_UNPRINTER 137
#define IDB_MENU_PRINTER 138

// Browse tree pictures: network, domain, computer, share, printer, information
#define IDI_NET0 140
#define IDI_NET1 141
#define IDI_NET2 142
#define IDI_NET3 143
#define IDI_NET4 144
#define IDI_NET5 145
