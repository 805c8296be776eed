// Resource numbers of the console: its string table and its tray menu. Plain
// defines, read by the resource compiler and by C++ alike.
#pragma once

#define IDS_ABOUTBOX 101
#define IDS_APP_TITLE 7001
#define IDS_PREVIOUS_INSTANCE 7002
#define IDS_WRONG_PASSWORD 7003
#define IDS_LOGIN_ERROR 7004
#define IDS_WRONG_OLD_PASSWORD 7005
#define IDS_PASSWORD_WARNING 7006
#define IDS_BLANK_PASSWORD_QUESTION 7007
#define IDS_PASSWORD_MISMATCH 7008
#define IDS_PASSWORD_ERROR 7009
#define IDS_PASSWORD_RULES 7010
#define IDS_LOGOUT_QUESTION 7011
#define IDS_RATING_HIGH 7014
#define IDS_RATING_MEDIUM 7015
#define IDS_ACTION_ALLOW 7016
#define IDS_ACTION_BLOCK 7017
#define IDS_ACTION_ASK 7018
#define IDS_ALERT_HOST_IP 7019
#define IDS_ALERT_URL 7020
#define IDS_ALERT_MAIL 7021
#define IDS_RESET_QUESTION 7022
#define IDS_RESTORE_QUESTION 7023
#define IDS_PROVIDER_NAME 7024  // the socket-layer provider's name; never translated
#define IDS_WEB_GUARD_SETTING 7025
#define IDS_WEB_GUARD_STOPPED 7026
#define IDS_WEB_GUARD_RESTARTED 7027

#define IDI_MAINFRAME 128  // the window and tray icon
#define IDR_TRAYMENU 1031
#define ID_TRAY_RESTORE 32771
#define ID_TRAY_EXIT 32772
#define ID_TRAY_HELP 32774
