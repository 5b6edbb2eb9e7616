// Resource numbers shared by app.rc and the program.
#pragma once

#define IDI_APP 1
#define IDC_APP_CURSOR 2

// Carried files, written out unchanged when the program needs them.
#define IDR_SKIN_ENGINE 200
#define IDR_WAVE_DLL 201
#define IDR_WAVE_BMP 202
#define IDR_APP_ICON_FILE 203
// Skin files: IDR_SKIN_FIRST + skin number (1..23).
#define IDR_SKIN_FIRST 300
