// The font inventory: the installed faces, and the character sets and script names of one face.
#pragma once
#include <string>

#include "engine/sorted_text_list.h"
#include "platform/fonts.h"

namespace sorel {

// Refills fontNames with every face the system reports that is neither a raster face nor
// reported in a character set other than 0 (Western). Does nothing at all when the caller cannot
// have the system enumerate yet (canEnumerate false). The screen's device context is released on
// every path; a failing enumeration keeps the faces found before it failed.
void EnumerateFonts(Fonts& fonts, bool canEnumerate, SortedTextList& fontNames);

// Refills faceScripts with one text charset "=" script name for every character set the system
// reports for face (several styles of one character set give one text), using a device context
// that the caller holds.
void EnumFaceScripts(ScreenDC& dc, const std::string& face, SortedTextList& faceScripts);

}  // namespace sorel
