#pragma once
// The options dialog's button pictures: resources of the program
// (OptionsPictures.rc, the pictures themselves in pictures/), numbered apart
// from the program's own resources.
#define IDI_OPTIONS_FOLDER 201
#define IDI_OPTIONS_OK 202
#define IDI_OPTIONS_CANCEL 203
#define IDI_OPTIONS_SAVE 204
#define IDI_OPTIONS_FONT 205
