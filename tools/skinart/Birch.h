// The pictures of the Береста skin: birch bark, light slate frames, round
// title buttons. Its painters are chosen by the section and key of a mask,
// not by where the mask lies, so its options text may place them anywhere.
#pragma once

#include "Art.h"
#include "skin/data/SkinMasks.h"

namespace skinart {

// Whether the settings describe the Береста skin ("skin = birch").
bool IsBirch(const Settings& s);

// The master picture of the Береста skin: every mask of the options painted
// into a picture just large enough to hold them all. Throws for a mask no
// painter knows.
QImage PaintBirchMaster(const skin::TsSkinImages& images, const Settings& s);

} // namespace skinart
