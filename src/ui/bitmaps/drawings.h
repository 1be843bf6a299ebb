#pragma once
// The images of the program, one function each; the generator's main writes
// them out under their resource ids.
#include <QImage>

namespace tallowmere::bitmaps {

class Ink;

// 164: the transaction status marks and the header's sort arrows, 16 x 15.
QImage DrawStatusStrip();
// 166: the dialogs' icon buttons (list editor, currency conversion), 23 x 23,
// each as a normal and a pressed face.
QImage DrawDialogButtons();
// 168: the main view's command buttons, 28 x 20, normal and pressed faces.
QImage DrawViewButtons();
// 229 and 230: the 65 built-in account and category icons at one size.
QImage DrawAccountIcons(int cellWidth, int cellHeight);
// 162: the online progress animation, 8 frames of 34 x 34.
QImage DrawOnlineProgressStrip();
// 182: the drop-down marker of the balance read-outs, 9 x 6.
QImage DrawDropMarker();
// 203: blank 12 x 10 cells.
QImage DrawBlankStrip();
// 146: the start-up screen.
QImage DrawStartupPicture();
// 218-221: the setup wizard's pictures: the app running on a phone, the
// phone on Wi-Fi, the computer on the same network (64 x 64 each), and the
// phone's sync screen (150 x 240).
QImage DrawWizardPicture218();
QImage DrawWizardPicture219();
QImage DrawWizardPicture220();
QImage DrawWizardPicture221();
// 128: the program's icon at one of its sizes (16, 32, 48).
QImage DrawProgramIcon(int size);

// The account icons, by index range; each draws icon `index` on a design
// canvas of 31 x 27 units and returns false for an index it does not hold.
bool DrawAccountIcon0(const Ink& ink, int index);   // 0-15
bool DrawAccountIcon16(const Ink& ink, int index);  // 16-31
bool DrawAccountIcon32(const Ink& ink, int index);  // 32-47
bool DrawAccountIcon48(const Ink& ink, int index);  // 48-64

}  // namespace tallowmere::bitmaps
