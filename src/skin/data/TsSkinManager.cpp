#include "skin/data/TsSkinManager.h"

#include "platform/FlagGuard.h"
#include "platform/Paths.h"
#include "skin/data/SkinLooks.h"
#include "skin/data/SkinNotifier.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace skin {

using platform::Control;

using platform::FlagGuard;

namespace {

TsSkinHost* gHost = nullptr;
TsSkinManager* gDefault = nullptr;

const QString kOptionsFile = QStringLiteral("Options.dat");
const QString kVersionMessage = QStringLiteral(
    "This version of the skin is not completely supported by the skin engine in use.\r\n"
    "The components must be updated to the latest version to use this skin.");
constexpr double kNewestVersion = 7.99;

QString ProgramFolder() {
    return platform::ExecutableFolder() + u'/';
}

bool IsSkinFolder(const QString& local) {
    return QFileInfo(local).isDir() &&
           platform::FileExists(platform::FindInFolder(local, kOptionsFile));
}

} // namespace

// ---------------------------------------------------------------------------
// Process-wide state
// ---------------------------------------------------------------------------

void TsSkinManager::SetHost(TsSkinHost* host) {
    gHost = host;
}
TsSkinHost* TsSkinManager::Host() {
    return gHost;
}
TsSkinManager* TsSkinManager::DefaultManager() {
    return gDefault;
}

// ---------------------------------------------------------------------------
// Life
// ---------------------------------------------------------------------------

TsSkinManager::TsSkinManager() {
    if (!gDefault)
        gDefault = this;
    MenuSupport.ExtraLineFont.Name = QStringLiteral("MS Sans Serif");
}

TsSkinManager::~TsSkinManager() {
    SetActive(false);
    if (gDefault == this)
        gDefault = nullptr;
}

void TsSkinManager::BeginLoading() {
    building_ = true;
}

void TsSkinManager::Loaded() {
    building_ = false;
    if (skinDirectory_.isEmpty())
        skinDirectory_ = QStringLiteral("c:\\Skins");
    if (MenuSupport.IcoLineSkin.isEmpty())
        MenuSupport.IcoLineSkin = QStringLiteral("ICOLINE");
    if (active_ && !skinName_.isEmpty())
        ApplySkin(false);
    UpdateStdDialogs();
}

void TsSkinManager::UpdateStdDialogs() {
    stdDialogs_ = (SkinningRules & srStdDialogs) && active_;
}

// ---------------------------------------------------------------------------
// Properties
// ---------------------------------------------------------------------------

void TsSkinManager::SetIsDefault(bool value) {
    if (!value)
        return; // stays the default if it already is
    gDefault = this;
    if (active_)
        ApplySkin(false);
    else
        RemoveSkin();
}

void TsSkinManager::SetActive(bool value) {
    if (value == active_)
        return;
    active_ = value;
    if (value) {
        SetSkinName(skinName_);
        return;
    }
    if (!building_)
        RemoveSkin();
    UpdateCommonIndexes();
    UpdateStdDialogs();
}

void TsSkinManager::SetCommonSections(const QStringList& lines) {
    commonSections_.clear();
    for (QString line : lines) {
        if (!line.startsWith(u';'))
            line.remove(u' ').remove(u'\t');
        commonSections_ << line;
    }
    SetSkinName(skinName_);
}

void TsSkinManager::SetSkinDirectory(const QString& directory) {
    if (directory == skinDirectory_)
        return;
    skinDirectory_ = directory;
    model_.Data.SkinFolder = ResolveSkinDirectory(directory, ProgramFolder());
}

void TsSkinManager::SetHueOffset(int value) {
    if (value == hueOffset_)
        return;
    hueOffset_ = value;
    Reload();
}

void TsSkinManager::SetSaturation(int value) {
    if (value == saturation_)
        return;
    saturation_ = value;
    Reload();
}

QString TsSkinManager::SkinInfo() const {
    return held_ && active_ ? VersionText(model_.Data.Version) : QStringLiteral("N/A");
}

// ---------------------------------------------------------------------------
// Loading
// ---------------------------------------------------------------------------

void TsSkinManager::SetSkinName(const QString& name) {
    const QString oldName = skinName_;
    skinName_ = name;
    if (!active_) {
        UpdateStdDialogs();
        return;
    }
    LoadSkin(oldName);
}

void TsSkinManager::LoadSkin(const QString& oldName) {
    model_.Data.SkinReady = false;
    try {
        if (auto model = BuildModel(skinName_, true))
            PutInForce(std::move(*model));
        else
            active_ = false;
    } catch (const std::exception& error) {
        skinName_ = oldName;
        ShowError(QString::fromStdString(error.what()));
        // A broken skin at the very first load: nothing is held yet, so
        // take the first stored skin as when no skin is found at all.
        if (!held_ && !internalSkins_.empty()) {
            skinName_ = internalSkins_.front().Name;
            try {
                if (auto model = BuildModel(skinName_, false))
                    PutInForce(std::move(*model));
            } catch (const std::exception& second) {
                ShowError(QString::fromStdString(second.what()));
            }
        }
        if (!held_)
            active_ = false;
    }
    if (!active_)
        RemoveSkin();
    else
        ApplySkin(true);
    UpdateStdDialogs();
}

std::optional<TsSkinModel> TsSkinManager::BuildModel(const QString& name, bool choose) {
    const QString resolved = ResolveSkinDirectory(skinDirectory_, ProgramFolder());
    const QString localDirectory = platform::MapPath(resolved);
    SkinLoadOptions how;
    how.CommonSections = commonSections_.join(u'\n');
    how.Owner = this;
    how.HueOffset = hueOffset_;
    how.Saturation = saturation_;
    how.AfterGlobalData = [this](const TsSkinData& data) {
        if (data.Version > kNewestVersion)
            ShowMessage(kVersionMessage);
    };
    auto finish = [](TsSkinModel model, const QString& folder) {
        model.Data.SkinFolder = folder;
        return model;
    };

    const QString packagePath =
        platform::FindInFolder(localDirectory, name + QStringLiteral(".asz"));
    const auto package = !name.isEmpty() && platform::FileExists(packagePath)
                             ? UnpackPackageFile(packagePath)
                             : std::nullopt;
    if (package) {
        TsSkinModel model = LoadSkinFromPackage(*package, localDirectory, how);
        fromPackage_ = true;
        return finish(std::move(model), resolved + u'\\');
    }
    if (auto model = name.isEmpty()
                         ? std::nullopt
                         : LoadSkinFromFolder(platform::FindInFolder(localDirectory, name), how)) {
        fromPackage_ = false;
        return finish(std::move(*model), resolved + u'\\' + name + u'\\');
    }

    auto item = std::find_if(internalSkins_.begin(), internalSkins_.end(),
                             [&](const TsStoredSkin& s) { return s.Name == name; });
    if (item == internalSkins_.end()) {
        if (internalSkins_.empty() || !choose)
            return std::nullopt;
        item = internalSkins_.begin();
        skinName_ = item->Name;
    }
    if (item->Data.isEmpty()) {
        fromPackage_ = false;
        return finish(LoadSkinModel(TIniFile(), PictureSource{}, how), QString());
    }
    // A load started ahead serves when the manager's settings keep the
    // stored model.
    std::optional<TsSkinModel> model = item->Prepared.Take(how);
    if (!model)
        model = LoadSkinFromPackage(UnpackPackage(item->Data), QString(), how);
    fromPackage_ = true;
    return finish(std::move(*model), QString());
}

void TsSkinManager::PutInForce(TsSkinModel model) {
    model_ = std::move(model);
    lookup_ = SkinLookup(model_.Sections, model_.Images);
    held_ = true;
    UpdateCommonIndexes();
}

std::optional<QString> TsSkinManager::LoadQuietly(const QString& name) {
    try {
        std::optional<TsSkinModel> model = BuildModel(name, false);
        if (!model)
            return QStringLiteral("There is no skin named \"%1\" in \"%2\"")
                .arg(name, ResolveSkinDirectory(skinDirectory_, ProgramFolder()));
        skinName_ = name;
        PutInForce(std::move(*model));
    } catch (const std::exception& error) {
        return QString::fromStdString(error.what());
    }
    ApplySkin(true);
    return std::nullopt;
}

void TsSkinManager::Reload() {
    if (!held_)
        return;
    try {
        if (auto model = BuildModel(skinName_, false))
            PutInForce(std::move(*model));
    } catch (const std::exception& error) {
        ShowError(QString::fromStdString(error.what()));
    }
    RefreshSkin();
}

void TsSkinManager::UpdateCommonIndexes() {
    commonIndexes_ = TsCommonIndexes{
        .GlobalInfo = FindSection(kGlobalInfo),
        .Form = FindSection(QStringLiteral("FORM")),
        .FormTitle = FindSection(QStringLiteral("FORMTITLE")),
        .Caption = FindSection(QStringLiteral("CAPTION")),
        .MenuLine = FindSection(QStringLiteral("MENULINE")),
        .MenuItem = FindSection(QStringLiteral("MENUITEM")),
        .Selection = FindSection(QStringLiteral("SELECTION")),
        .Edit = FindSection(QStringLiteral("EDIT")),
        .ScrollBar = FindSection(QStringLiteral("SCROLLBAR1H")),
    };
}

// ---------------------------------------------------------------------------
// Announcing
// ---------------------------------------------------------------------------

void TsSkinManager::ApplySkin(bool animated) {
    if (building_)
        return;
    model_.Data.SkinReady = false;
    UpdateCommonIndexes();
    Announce<SkinCmdNewSkin>();
    model_.Data.SkinReady = true;
    if (IsDefault() && !hookInstalled_) {
        hookInstalled_ = true;
        if (gHost)
            gHost->InstallCreationHook();
    }
    if (animated)
        RefreshSkin();
}

void TsSkinManager::RefreshSkin() {
    if (!building_)
        Announce<SkinCmdPrepare>();
    Announce<SkinCmdRefresh>();
}

void TsSkinManager::RemoveSkin() {
    FlagGuard removing(removing_);
    if (hookInstalled_) {
        hookInstalled_ = false;
        if (gHost)
            gHost->RemoveCreationHook();
    }
    model_.Data.SkinReady = false;
    Announce<SkinCmdRemoveSkin>();
    const QString folder = model_.Data.SkinFolder;
    model_ = TsSkinModel();
    model_.Data.SkinFolder = folder;
    lookup_ = SkinLookup();
    held_ = false;
    UpdateCommonIndexes();
}

void TsSkinManager::Broadcast(const platform::Message& message) {
    SkinNotifier::Broadcast(message, this,
                            gHost ? gHost->ApplicationForms() : std::vector<Control*>());
}

void TsSkinManager::SetActiveControl(Control* control) {
    if (control == activeControl_)
        return;
    Control* previous = activeControl_;
    activeControl_ = control;
    SendSkinCommand<SkinCmdFocusLost>(previous, this);
    SendSkinCommand<SkinCmdFocusGot>(control, this);
}

void TsSkinManager::ShowError(const QString& message) const {
    if (gHost)
        gHost->ShowError(message);
    else
        qWarning().noquote() << message;
}

void TsSkinManager::ShowMessage(const QString& message) const {
    if (gHost)
        gHost->ShowMessage(message);
    else
        qWarning().noquote() << message;
}

// ---------------------------------------------------------------------------
// Queries
// ---------------------------------------------------------------------------

int TsSkinManager::FindSection(const QString& name) const {
    return lookup_.Section(name);
}
int TsSkinManager::FindMask(int sectionIndex, const QString& sectionName,
                            const QString& key) const {
    return lookup_.Mask(sectionIndex, sectionName, key);
}
int TsSkinManager::FindMaskExact(const QString& sectionName, const QString& key) const {
    return lookup_.MaskExact(sectionName, key);
}
int TsSkinManager::FindTexture(int sectionIndex, const QString& sectionName,
                               const QString& key) const {
    return lookup_.Texture(sectionIndex, sectionName, key);
}
int TsSkinManager::FindPattern(int sectionIndex, const QString& sectionName,
                               const QString& key) const {
    return lookup_.Pattern(sectionIndex, sectionName, key);
}
int TsSkinManager::MaskLeftWidth(int mask) const {
    return skin::MaskLeftWidth(model_.Images, mask);
}
int TsSkinManager::MaskTopWidth(int mask) const {
    return skin::MaskTopWidth(model_.Images, mask);
}
int TsSkinManager::MaskRightWidth(int mask) const {
    return skin::MaskRightWidth(model_.Images, mask);
}
int TsSkinManager::MaskBottomWidth(int mask) const {
    return skin::MaskBottomWidth(model_.Images, mask);
}
bool TsSkinManager::IsValidMask(int mask) const {
    return skin::IsValidMask(model_.Images, mask);
}
bool TsSkinManager::IsValidSection(int index) const {
    return index >= 0 && index < int(model_.Sections.size());
}

namespace {

RgbColor SysRgb(int index) {
    return RgbColor{platform::GetSysColor(index)};
}

} // namespace

const TsGeneralData* TsSkinManager::Section(int index) const {
    return IsValidSection(index) ? &model_.Sections[size_t(index)] : nullptr;
}

RgbColor TsSkinManager::GlobalColor() const {
    const TsGeneralData* g = Section(commonIndexes_.GlobalInfo);
    return g ? ToRgb(g->Color) : SysRgb(platform::COLOR_BTNFACE);
}

RgbColor TsSkinManager::GlobalFontColor() const {
    const TsGeneralData* g = Section(commonIndexes_.GlobalInfo);
    return g ? ToRgb(g->FontColors.Text) : kNoColor;
}

RgbColor TsSkinManager::GlobalHotColor() const {
    const TsGeneralData* g = Section(commonIndexes_.GlobalInfo);
    return g ? ToRgb(g->HotColor) : SysRgb(platform::COLOR_WINDOW);
}

RgbColor TsSkinManager::EditFontColor() const {
    const TsGeneralData* e = Section(commonIndexes_.Edit);
    return e ? ToRgb(e->StateData[0].FontColors.Text) : SysRgb(platform::COLOR_WINDOWTEXT);
}

RgbColor TsSkinManager::HighlightColor(bool hot) const {
    if (const TsGeneralData* s = Section(commonIndexes_.Selection)) {
        const SkinColor c = LookFor(*s, HotIf(hot)).Color;
        if (IsDrawnColor(c))
            return ToRgb(c);
    }
    if (const TsGeneralData* m = Section(commonIndexes_.MenuItem))
        if (IsDrawnColor(m->HotColor) && m->HotColor != SkinColor{0xFFFFFF})
            return ToRgb(m->HotColor);
    return SysRgb(platform::COLOR_HIGHLIGHT);
}

RgbColor TsSkinManager::HighlightTextColor(bool hot) const {
    if (const TsGeneralData* s = Section(commonIndexes_.Selection)) {
        const SkinColor c = LookFor(*s, HotIf(hot)).FontColors.Text;
        if (IsDrawnColor(c))
            return ToRgb(c);
    }
    if (const TsGeneralData* m = Section(commonIndexes_.MenuItem))
        if (IsDrawnColor(m->HotFontColors.Text))
            return ToRgb(m->HotFontColors.Text);
    return SysRgb(platform::COLOR_HIGHLIGHTTEXT);
}

QString TsSkinManager::ListSkins(QStringList& list, int mode) const {
    list.clear();
    for (const TsStoredSkin& s : internalSkins_)
        list << s.Name;
    const QDir dir(platform::MapPath(ResolveSkinDirectory(skinDirectory_, ProgramFolder())));
    if (dir.exists()) {
        const auto entries =
            dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
        for (const QFileInfo& entry : entries) {
            if (entry.fileName().startsWith(u'.'))
                continue;
            if (entry.isDir() && mode != 1 && IsSkinFolder(entry.filePath()))
                list << entry.fileName();
            else if (entry.isFile() && mode != 0 &&
                     entry.suffix().compare(QStringLiteral("asz"), Qt::CaseInsensitive) == 0)
                list << entry.completeBaseName();
        }
    }
    const QString first = list.value(0);
    list.sort();
    return first;
}

} // namespace skin
