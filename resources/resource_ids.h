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
