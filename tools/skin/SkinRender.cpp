#include "SkinRender.h"

#include "skin/data/IniFile.h"
#include "skin/data/SkinLooks.h"
#include "skin/data/SkinPackage.h"
#include "skin/draw/SkinPaint.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {

void Fail(const QString& message) {
    throw skin::ESkinError(message.toStdString());
}

// The value after an option, or empty.
QString OptionValue(const QStringList& options, const QString& name) {
    const qsizetype i = options.indexOf(name);
    return i >= 0 && i + 1 < options.size() ? options[i + 1] : QString();
}

QSize ParseSize(const QString& text) {
    const QStringList parts = text.split(u'x');
    bool okW = false, okH = false;
    const int w = parts.value(0).toInt(&okW), h = parts.value(1).toInt(&okH);
    if (parts.size() != 2 || !okW || !okH || w <= 0 || h <= 0 || w > 16384 || h > 16384)
        Fail("The size must be WIDTHxHEIGHT, for example 114x27: \"" + text + "\"");
    return QSize(w, h);
}

QPoint ParsePoint(const QString& text) {
    const QStringList parts = text.split(u',');
    bool okX = false, okY = false;
    const int x = parts.value(0).toInt(&okX), y = parts.value(1).toInt(&okY);
    if (parts.size() != 2 || !okX || !okY)
        Fail("The offset must be X,Y: \"" + text + "\"");
    return QPoint(x, y);
}

void SavePicture(const platform::Bitmap& b, const QString& path) {
    if (!b.Image().convertToFormat(QImage::Format_RGB32).save(path, "PNG"))
        Fail("Cannot create file \"" + path + "\"");
}

platform::Bitmap Render(const skin::TsSkinManager& manager, int section, QSize size, int state,
                        const skin::ParentCacheInfo& parent) {
    platform::Bitmap b(size.width(), size.height());
    skin::RenderSectionByIndex(
        manager,
        {.Target = b, .Section = section, .State = skin::VisualState{state}, .Parent = parent});
    return b;
}

// A colour option given as 0xBBGGRR; none when the option is not given.
std::optional<skin::RgbColor> ColorOption(const QStringList& options, const char* name,
                                          const char* what) {
    const QString text = OptionValue(options, name);
    if (text.isEmpty())
        return std::nullopt;
    const std::optional<qint32> value = skin::ParseInteger(text);
    if (!value)
        Fail(QStringLiteral("The %1 colour must be 0xBBGGRR: \"%2\"").arg(what, text));
    return skin::RgbColor{uint32_t(*value) & 0xFFFFFF};
}

// The pixels a window of this section's size leaves out of its outline (the
// see-through corners of its border, as a frame or a drop-down cuts them)
// painted in one colour.
void PaintOutsideOutline(const skin::TsSkinManager& manager, int section, int state,
                         platform::Bitmap& picture, skin::RgbColor color) {
    const skin::TsGeneralData& d = manager.SectionTable()[section];
    if (!manager.IsValidMask(d.BordersMask))
        return;
    const skin::TsMaskData& mask = manager.MaskTable()[d.BordersMask];
    const int frame = skin::FrameIndex(mask, skin::ClampState(d, skin::VisualState{state}));
    QPainter painter(&picture.Image());
    for (const QRect& r : mask.Border().SeeThroughOver(frame, picture.Rect().size()))
        painter.fillRect(r, platform::ToQColor(platform::TColor(skin::Value(color))));
}

// A glyph mask of a section (a title button of GLOBALINFO, the arrow of a
// scroll button) in a state, laid over what lies behind it as the window
// frame and the scroll bars lay it: its frame's size.
platform::Bitmap RenderGlyph(const skin::TsSkinManager& manager, int section, const QString& name,
                             const QString& key, int state, const skin::ParentCacheInfo& parent) {
    const int mask = manager.FindMask(section, name, key.toUpper());
    if (!manager.IsValidMask(mask))
        Fail("The section \"" + name + "\" has no mask \"" + key + "\"");
    const skin::TsMaskData& m = manager.MaskTable()[mask];
    platform::Bitmap b(m.FrameWidth(), m.FrameHeight());
    skin::LayParent(b, b.Rect(), parent);
    skin::DrawCornerImage(b, QPoint(), skin::VisualState{state}, m, skin::CornerLook::SeeThrough,
                          parent);
    return b;
}

// A section name as part of a file name: section names come from the skin,
// so anything but letters, digits, '_' and '-' becomes '_' and no name can
// reach outside the folder.
QString FileNamePart(const QString& section) {
    QString out = section;
    for (QChar& c : out)
        if (!c.isLetterOrNumber() && c != u'_' && c != u'-')
            c = u'_';
    return out.isEmpty() ? QStringLiteral("_") : out;
}

// Every section in each of its states at a few sizes, over the skin's own
// window background, for review.
void RenderAll(const skin::TsSkinManager& manager, const QString& dir) {
    if (!QDir().mkpath(dir))
        Fail("Cannot create the folder \"" + dir + "\"");
    platform::Bitmap background(400, 200);
    const int form = manager.FindSection(QStringLiteral("FORM"));
    if (form >= 0)
        skin::RenderSectionByIndex(manager, {.Target = background, .Section = form});
    const skin::ParentCacheInfo parent = skin::ParentCacheInfo::Picture(&background, 0, 0);
    const QSize sizes[] = {QSize(24, 24), QSize(114, 27), QSize(200, 80)};
    for (size_t i = 0; i < manager.SectionTable().size(); ++i) {
        const skin::TsGeneralData& d = manager.SectionTable()[i];
        for (int state = 0; state < std::clamp(d.StateCount, 1, 4); ++state)
            for (QSize size : sizes)
                SavePicture(Render(manager, int(i), size, state, parent.Moved(8, 8)),
                            QStringLiteral("%1/%2-state%3-%4x%5.png")
                                .arg(dir, FileNamePart(d.SectionName))
                                .arg(state)
                                .arg(size.width())
                                .arg(size.height()));
    }
}

// Errors of a load are the tool's errors.
class ToolHost : public skin::TsSkinHost {
public:
    QStringList Errors;
    std::vector<platform::Control*> ApplicationForms() override { return {}; }
    void ShowError(const QString& message) override { Errors << message; }
    void ShowMessage(const QString& message) override {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
};

} // namespace

void LoadIntoManager(skin::TsSkinManager& manager, const QString& path,
                     const QByteArray& internal) {
    static ToolHost host;
    skin::TsSkinManager::SetHost(&host);
    if (path == "--internal") {
        if (internal.isEmpty())
            Fail("This build holds no internal skin");
        skin::TsStoredSkin stored;
        stored.Name = QStringLiteral("internal");
        stored.Data = internal;
        manager.SetInternalSkins({stored});
        manager.SetSkinDirectory(QDir::temp().filePath(QStringLiteral("charolist-no-skins")));
        manager.SetSkinName(stored.Name);
        return;
    }
    const skin::SkinPlace place = skin::PlaceOfSkin(path);
    const QString& name = place.Name;
    manager.SetSkinDirectory(place.Folder);
    manager.SetSkinName(name);
    if (!host.Errors.isEmpty())
        Fail(host.Errors.front());
    if (manager.SkinName() != name || !manager.SkinHeld())
        Fail("There is no skin at \"" + path + "\"");
}

void RenderCommand(const skin::TsSkinManager& manager, const QStringList& options) {
    const QString out = OptionValue(options, "--out");
    if (out.isEmpty())
        Fail("--out is missing");
    if (options.contains("--all")) {
        RenderAll(manager, out);
        return;
    }
    const QString name = options.value(0);
    const int section = manager.FindSection(name);
    if (name.isEmpty() || name.startsWith("--") || section < 0)
        Fail("The skin has no section \"" + name + "\"");
    bool ok = true;
    const QString stateText = OptionValue(options, "--state");
    const int state = stateText.isEmpty() ? 0 : stateText.toInt(&ok);
    if (!ok || state < 0)
        Fail("The state must be a number from 0: \"" + stateText + "\"");
    skin::ParentCacheInfo parent;
    platform::Bitmap parentPicture;
    if (const auto color = ColorOption(options, "--parent-color", "parent")) {
        parent = skin::ParentCacheInfo::Color(*color);
    } else if (const QString image = OptionValue(options, "--parent-image"); !image.isEmpty()) {
        QImage picture;
        if (!picture.load(image))
            Fail("Cannot read the picture \"" + image + "\"");
        parentPicture = platform::Bitmap(picture);
        const QString offset = OptionValue(options, "--offset");
        const QPoint at = offset.isEmpty() ? QPoint() : ParsePoint(offset);
        parent = skin::ParentCacheInfo::Picture(&parentPicture, at.x(), at.y());
    }
    if (const QString glyph = OptionValue(options, "--glyph"); !glyph.isEmpty()) {
        SavePicture(RenderGlyph(manager, section, name, glyph, state, parent), out);
        return;
    }
    const QSize size = ParseSize(OptionValue(options, "--size"));
    platform::Bitmap picture = Render(manager, section, size, state, parent);
    if (const auto color = ColorOption(options, "--outline-color", "outline"))
        PaintOutsideOutline(manager, section, state, picture, *color);
    SavePicture(picture, out);
}
