// Resource ids of the saver module: the resource script and the code both take them from here.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDS_DESCRIPTION 1
#define IDM_ABOUTBOX 16  // the options dialog's system-menu command
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_OPTIONS 102
#define IDC_LINK_HAND 104
#define IDI_SAVER 128
#define IDC_TRANSPARENT 129

// Controls of the options dialog: lists, sliders and their value boxes.
#define IDC_BALL_SIZE_SEL 1004
#define IDC_GAME 1005
#define IDC_SPARKS 1006
#define IDC_REFRESH_RATE 1009
#define IDC_GRAVITY 1010
#define IDC_NUM_BALLS 1011
#define IDC_BALL_SIZE 1012
#define IDC_NUM_BALLS_VALUE 1013
#define IDC_REFRESH_RATE_VALUE 1014
#define IDC_BALL_SIZE_VALUE 1015
#define IDC_COLORS 1016
#define IDC_LINK 1017
#define IDC_GRAVITY_VALUE 1018
#define IDC_COLORS_VALUE 1019
#define IDC_VELOCITY 1020
#define IDC_VELOCITY_VALUE 1021
#define IDC_SCENARIO_COUNTER 1022
#define IDC_SCENARIO_COUNTER_VALUE 1023
#define IDC_DESCRIPTION 1025
// The version text, in both dialogs.
#define IDC_VERSION 1026
