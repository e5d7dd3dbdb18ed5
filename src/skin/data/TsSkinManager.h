// The one owner of the active skin. It chooses a skin by name, loads it from
// a package file, a skin folder or the skins stored in the program, and
// tells every window and control that the skin changed by sending them the
// skin command message. Painting code asks it for sections, masks, colours
// and the common indexes.
//
// Loads are all-or-nothing: a skin is built into a new model and put in
// force only when the load is complete, so a broken skin never leaves the
// manager holding half of one.
#pragma once

#include "platform/Bitmap.h"
#include "platform/Control.h"
#include "platform/Fonts.h"
#include "skin/data/PaintScratch.h"
#include "skin/data/SkinCommands.h"
#include "skin/data/SkinLookup.h"
#include "skin/data/SkinModel.h"

#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace skin {

struct TacMenuSupport {
    QString IcoLineSkin;
    bool UseExtraLine = false;
    int ExtraLineWidth = 32;
    platform::TFont ExtraLineFont;
};

// A skin stored in the program itself.
struct TsStoredSkin {
    QString Name;
    platform::Bitmap MasterBitmap;
    SkinColor Shadow1Color{0};
    qint32 Shadow1Offset = 0, Shadow1Blur = -1, Shadow1Transparency = 0;
    SkinColor BorderColor{kTransparentKey};
    double Version = 0;
    QString Author, Description;
    QByteArray Data; // the package
    // Data's model when its load was started ahead (PreparedSkinModel::Start):
    // the first plain load of this skin takes it instead of loading Data.
    PreparedSkinModel Prepared;
};
using TsStoredSkins = std::vector<TsStoredSkin>;

enum TacSkinningRule : unsigned { srStdForms = 1, srStdDialogs = 2, srThirdParty = 4 };

// The sections that painting asks for by name, found once per load; -1
// where the skin has none.
struct TsCommonIndexes {
    int GlobalInfo = -1;
    int Form = -1, FormTitle = -1, Caption = -1, MenuLine = -1;
    int MenuItem = -1, Selection = -1, Edit = -1, ScrollBar = -1;
    bool operator==(const TsCommonIndexes&) const = default;
};

class TsSkinManager;

// What the manager needs of the program around it: its windows, message
// boxes and the window-creation hook. The hook's defaults do nothing.
class TsSkinHost {
public:
    virtual ~TsSkinHost() = default;
    // The forms the application owns, in the order they were made.
    virtual std::vector<platform::Control*> ApplicationForms() = 0;
    virtual void ShowError(const QString& message) = 0;
    virtual void ShowMessage(const QString& message) = 0;

    virtual void InstallCreationHook() {}
    virtual void RemoveCreationHook() {}
};

class TsSkinManager {
public:
    TsSkinManager();
    ~TsSkinManager();
    TsSkinManager(const TsSkinManager&) = delete;
    TsSkinManager& operator=(const TsSkinManager&) = delete;

    // The program's host; without one, messages go to the log.
    static void SetHost(TsSkinHost* host);
    static TsSkinHost* Host();
    static TsSkinManager* DefaultManager();

    // Building from stored settings: between these two the skin is loaded
    // when its name is set, but nothing is announced until Loaded().
    void BeginLoading();
    void Loaded();
    bool BeingBuilt() const { return building_; }

    // Properties.
    bool SkinnedPopups() const { return skinnedPopups_; }
    void SetSkinnedPopups(bool value) { skinnedPopups_ = value; }
    bool IsDefault() const { return DefaultManager() == this; }
    void SetIsDefault(bool value);
    bool Active() const { return active_; }
    void SetActive(bool value);
    const QStringList& CommonSections() const { return commonSections_; }
    void SetCommonSections(const QStringList& lines);
    int Saturation() const { return saturation_; }
    void SetSaturation(int value);
    int HueOffset() const { return hueOffset_; }
    void SetHueOffset(int value);
    const TsStoredSkins& InternalSkins() const { return internalSkins_; }
    void SetInternalSkins(const TsStoredSkins& skins) { internalSkins_ = skins; }
    TacMenuSupport MenuSupport;
    const QString& SkinDirectory() const { return skinDirectory_; }
    void SetSkinDirectory(const QString& directory);
    const QString& SkinName() const { return skinName_; }
    void SetSkinName(const QString& name);
    // The held skin's version ("6.5"), or "N/A".
    QString SkinInfo() const;
    unsigned SkinningRules = srStdForms | srStdDialogs;
    static QString Version() { return QStringLiteral("7.08"); }

    // Whether standard dialogs are skinned now.
    bool SkinStdDialogs() const { return stdDialogs_; }

    // The held skin.
    const TsSkinData& SkinData() const { return model_.Data; }
    const TsGeneralDataArray& SectionTable() const { return model_.Sections; }
    const std::vector<TsMaskData>& MaskTable() const { return model_.Images.Masks; }
    const std::vector<TsPatternData>& PatternTable() const { return model_.Images.Patterns; }
    const platform::Bitmap& MasterImage() const { return model_.Images.MasterImage; }
    const TsCommonIndexes& CommonIndexes() const { return commonIndexes_; }
    bool FromPackage() const { return fromPackage_; }
    bool SkinHeld() const { return held_; }
    bool Removing() const { return removing_; }
    // Lookups of the held skin (-1 when absent).
    int FindSection(const QString& name) const;
    int FindMask(int sectionIndex, const QString& sectionName, const QString& key) const;
    int FindMaskExact(const QString& sectionName, const QString& key) const;
    int FindTexture(int sectionIndex, const QString& sectionName, const QString& key) const;
    int FindPattern(int sectionIndex, const QString& sectionName, const QString& key) const;
    int MaskLeftWidth(int mask) const;
    int MaskTopWidth(int mask) const;
    int MaskRightWidth(int mask) const;
    int MaskBottomWidth(int mask) const;
    bool IsValidMask(int mask) const;
    bool IsValidSection(int index) const;

    // Colours as RGB, with the system colours where the skin has none.
    RgbColor GlobalColor() const;
    RgbColor GlobalFontColor() const;
    RgbColor GlobalHotColor() const;
    RgbColor EditFontColor() const;
    RgbColor HighlightColor(bool hot) const;
    RgbColor HighlightTextColor(bool hot) const;

    // Names of the skins to choose from, sorted: internal skins, then (mode
    // 0 and 2) skin folders and (mode 1 and 2) package files of the skin
    // directory. Returns the first name found.
    QString ListSkins(QStringList& list, int mode) const;
    void SetActiveControl(platform::Control* control);
    platform::Control* ActiveControl() const { return activeControl_; }

    void ApplySkin(bool animated);
    void RefreshSkin();
    void RemoveSkin();
    // Loads the skin named `name` from the skin folder and applies it as a
    // new skin, as setting the name does, but quietly: a skin that fails to
    // load (or is not there) leaves the one in force, and the reason is
    // returned instead of shown. For a skin author's changes while the
    // program runs.
    std::optional<QString> LoadQuietly(const QString& name);

    // The working memory of all painting with this skin.
    PaintScratch& Scratch() const { return scratch_; }

private:
    void LoadSkin(const QString& oldName);
    // Finds the skin named `name` and loads it into a new model; throws.
    // With `choose`, a name that is nowhere takes the first stored skin (and
    // its name). None when there is no skin to load.
    std::optional<TsSkinModel> BuildModel(const QString& name, bool choose);
    void Reload();
    void PutInForce(TsSkinModel model);
    void UpdateCommonIndexes();
    void UpdateStdDialogs();
    // Sends the command, carrying this manager, to every form and control
    // that takes part in skinning.
    template <class Command> void Announce() { Broadcast(Command::Make(this)); }
    void Broadcast(const platform::Message& message);
    void ShowError(const QString& message) const;
    void ShowMessage(const QString& message) const;
    const TsGeneralData* Section(int index) const;

    bool building_ = false;
    bool active_ = true;
    bool skinnedPopups_ = true;
    bool removing_ = false;
    bool stdDialogs_ = true;
    int saturation_ = 0, hueOffset_ = 0;
    QStringList commonSections_;
    TsStoredSkins internalSkins_;
    QString skinDirectory_ = QStringLiteral("c:\\Skins");
    QString skinName_;
    TsSkinModel model_;
    SkinLookup lookup_; // answers the look-ups of model_
    bool held_ = false;
    bool fromPackage_ = false;
    TsCommonIndexes commonIndexes_;
    platform::Control* activeControl_ = nullptr;
    bool hookInstalled_ = false;
    mutable PaintScratch scratch_;
};

// Whether a skin is in force: loaded, active and not being taken away. The
// one answer to that question for every control, frame and menu.
inline bool SkinInForce(const TsSkinManager* manager) {
    return manager && manager->SkinHeld() && manager->Active() && !manager->Removing();
}

} // namespace skin
