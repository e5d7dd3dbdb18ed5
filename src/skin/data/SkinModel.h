// A whole loaded skin: its skin-wide data, sections, masks, patterns and
// master image, built in one go from an options text and its pictures. A
// load builds a new model; the one in force is only replaced when the new
// one is complete.
#pragma once

#include "skin/data/SkinMasks.h"
#include "skin/data/SkinSections.h"

#include <functional>
#include <future>
#include <memory>
#include <optional>

namespace skin {

struct TsSkinModel {
    TsSkinData Data;
    TsGeneralDataArray Sections;
    TsSkinImages Images;
};

struct SkinLoadOptions {
    QString CommonSections; // options text laid over the skin's own
    const TsSkinManager* Owner = nullptr;
    int HueOffset = 0, Saturation = 0;
    // Called once the skin-wide data are read (the version check).
    std::function<void(const TsSkinData&)> AfterGlobalData;

    // Whether a package's model loads as it is stored: no common sections,
    // hue or saturation change (the owner and the callback aside).
    bool KeepStoredModel() const;
};

// Loads in the order painting relies on: masks and patterns, the skin-wide
// data, the sections (with the common sections laid over them), the
// sections' mask indexes, then the hue and saturation changes. Throws
// ESkinError.
TsSkinModel LoadSkinModel(const TIniFile& options, const PictureSource& pictures,
                          const SkinLoadOptions& how = {});

// An unpacked package; `folder` is where the package lies (the common
// sections' own pictures are looked for there).
TsSkinModel LoadSkinFromPackage(const TacSkinConvertor& package, const QString& folder,
                                const SkinLoadOptions& how = {});

// A skin folder: its "Options.dat" (in any letter case) and pictures. None
// when the folder holds no options file.
std::optional<TsSkinModel> LoadSkinFromFolder(const QString& folder,
                                              const SkinLoadOptions& how = {});

// A package file or a skin folder (holding "Options.dat" in any letter case).
// Throws ESkinError, also when there is no skin at the path.
TsSkinModel LoadSkinFromPath(const QString& path, const SkinLoadOptions& how = {});

// A stored package's model loaded on a thread of its own, so that the load
// runs while the program is still starting. Copies share the one load; the
// model is handed over once.
class PreparedSkinModel {
public:
    PreparedSkinModel() = default;
    // Starts loading `package` with no common sections, owner, hue or
    // saturation change.
    static PreparedSkinModel Start(QByteArray package);

    // Waits for the load and hands its model over as `how` would have
    // loaded it (its owner set, its callback called); throws what the load
    // threw. Nothing when none was started, it was handed over already, or
    // `how` changes the stored model (the load is then left in place).
    std::optional<TsSkinModel> Take(const SkinLoadOptions& how);

private:
    std::shared_ptr<std::future<TsSkinModel>> load_;
};

// Turns the hue of every picture and colour of a loaded skin; title-button
// glyphs keep theirs as the skin's BIKEEPHUE asks.
void ShiftSkinHue(TsSkinModel& model, int degrees);
// Changes the saturation of every picture and colour by amount % 101.
void ShiftSkinSaturation(TsSkinModel& model, int amount);

// The loaded skin's version as the manager reports it: "6.5".
QString VersionText(double version);

} // namespace skin
