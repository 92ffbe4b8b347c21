#pragma once
// Numeric ids of the resources in vantrel.rc, shared by the resource script
// and the code that loads them. Plain #defines: the resource compiler reads
// this file too and understands nothing else.

// The program's icon. Id 1 is the lowest icon id, the one Explorer and the
// display settings show for the file.
#define IDI_VANTREL 1

// The preview's still picture: a 152 x 112 baseline JPEG (RCDATA), made by
// resources/make_preview_still.sh from the saver's own scene.
#define IDR_PREVIEW_STILL 101

// The settings dialog's carried pictures (RCDATA, the files as
// resources/make_dialog_pictures.sh writes them) and its hand cursor.
#define IDR_DIALOG_TEXTURE 201
#define IDR_DIALOG_HEADING 202
#define IDR_DIALOG_BUTTON_PRESSED 203
#define IDR_DIALOG_BUTTON_RAISED 204
#define IDR_DIALOG_OPTION_OFF 205
#define IDR_DIALOG_OPTION_ON 206
#define IDC_DIALOG_HAND 207
