// A whole loaded skin: its skin-wide data, sections, masks, patterns and
// master image, built in one go from an options text and its pictures. A
// load builds a new model; the one in force is only replaced when the new
// one is complete.
#pragma once

#include "skin/data/SkinMasks.h"
#include "skin/data/SkinSections.h"

namespace skin {

struct TsSkinModel {
    TsSkinData Data;
    TsGeneralDataArray Sections;
    TsSkinImages Images;
};

// Loads in the order painting relies on: masks and patterns, the skin-wide
// data, the sections (with the common sections laid over them), then the
// sections' mask indexes. Throws ESkinError.
TsSkinModel LoadSkinModel(const TIniFile& options, const PictureSource& pictures,
                          const QString& commonSections = QString());

// A package file or a skin folder (holding "Options.dat" in any letter case).
// Throws ESkinError, also when there is no skin at the path.
TsSkinModel LoadSkinFromPath(const QString& path);

// The loaded skin's version as the manager reports it: "6.5".
QString VersionText(double version);

} // namespace skin
