#pragma once
// The options dialog's button pictures: icon resources of the program
// (OptionsPictures.rc, the pictures themselves in pictures/). Kept above the
// program's own icon (1), which must stay the lowest for Explorer to show it.
#define IDI_OPTIONS_FOLDER 201
#define IDI_OPTIONS_OK 202
#define IDI_OPTIONS_CANCEL 203
#define IDI_OPTIONS_SAVE 204
#define IDI_OPTIONS_FONT 205
