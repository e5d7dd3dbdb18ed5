#include "SkinCheck.h"

#include "app/SkinNeeds.h"
#include "skin/data/SkinModel.h"
#include "skin/data/SkinPackage.h"
#include "skin/data/SkinSections.h"

#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <cstdio>

namespace {

using skin::ESkinError;
using skin::TIniFile;

const QString kGlobal = QStringLiteral("GLOBALINFO");
const QString kParent = QStringLiteral("PARENTCLASS");
const QString kMaster = QStringLiteral("MASTERBITMAP");

// Keys of GLOBALINFO and of sections read by the engine and the program
// beyond the key tables: texts, colours and the masks looked up by name.
const char* const kOtherKeys[] = {
    "VERSION",        "AUTHOR",      "DESCRIPTION",  "SHADOW1COLOR",   "BORDERCOLOR",
    "MASTERBITMAP",   "PARENTCLASS", "BORDERSMASK",  "PATTERN",        "HOTPATTERN",
    "GLYPHMASK",      "GRIPIMAGE",   "IMGTOPLEFT",   "IMGTOPRIGHT",    "IMGBTMLEFT",
    "IMGBTMRIGHT",    "BICONCLOSE",  "BICONMAX",     "BICONMIN",       "BICONNORM",
    "BICONHELP",      "SICONCLOSE",  "SICONMAX",     "SICONMIN",       "SICONNORM",
    "CHECK",          "BOXCHECKED",  "BOXUNCHECKED", "BOXGRAYED",      "RADIOCHECKED",
    "RADIOUNCHECKED", "RADIOGRAYED", "SMALLCHECKED", "SMALLUNCHECKED", "SMALLGRAYED",
    "EXBORDER",       "APATTERN",
};

QSet<QString> KnownKeys() {
    QSet<QString> keys;
    for (const skin::SectionKey& k : skin::SectionKeys())
        keys.insert(QString::fromLatin1(k.Key));
    for (const skin::GlobalKey& k : skin::GlobalKeys())
        keys.insert(QString::fromLatin1(k.Key));
    for (const char* k : kOtherKeys)
        keys.insert(QString::fromLatin1(k));
    return keys;
}

int Distance(const QString& a, const QString& b) {
    std::vector<int> row(size_t(b.size()) + 1);
    for (size_t j = 0; j < row.size(); ++j)
        row[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[size_t(j)];
            row[size_t(j)] = std::min(
                {above + 1, row[size_t(j - 1)] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row.back();
}

// The known key nearest to a misspelt one, within two edits; empty if none.
QString Nearest(const QString& key, const QSet<QString>& known) {
    QString best;
    int bestDistance = 3;
    for (const QString& k : known)
        if (const int d = Distance(key, k); d < bestDistance || (d == bestDistance && k < best))
            best = k, bestDistance = d;
    return bestDistance <= 2 ? best : QString();
}

bool IsPictureValue(const QString& value) {
    const QString upper = value.toUpper();
    return value.startsWith(u'!') ||
           (!value.startsWith(u'^') && !value.startsWith(u'@') && !value.startsWith(u'~') &&
            !value.contains(u'#') &&
            (upper.contains(QStringLiteral(".BMP")) || upper.contains(QStringLiteral(".PNG")) ||
             upper.contains(QStringLiteral(".JPG")) || upper.contains(QStringLiteral(".JPEG"))));
}

// The picture a value names, as the engine looks it up.
QString PictureName(const QString& value) {
    return value.startsWith(u'!') ? value.mid(1).split(u'!').value(0).toUpper() : value.toUpper();
}

class Checker {
public:
    Checker(const TIniFile& ini, const skin::PictureSource& pictures)
        : ini_(ini), pictures_(pictures) {}

    std::vector<SkinProblem> Run() {
        if (ini_.SectionCount() > skin::kMaxSections)
            Add(true, kGlobal, "-",
                QStringLiteral("the skin has %1 sections; the engine takes at most %2")
                    .arg(ini_.SectionCount())
                    .arg(skin::kMaxSections));
        Keys();
        Parents();
        Pictures();
        Masks();
        Needs();
        return std::move(problems_);
    }

private:
    void Add(bool error, const QString& section, const QString& key, const QString& message) {
        problems_.push_back({error, section, key, message});
    }

    void Keys() {
        const QSet<QString> known = KnownKeys();
        for (const QString& section : ini_.Sections())
            for (const QString& key : ini_.Keys(section)) {
                if (known.contains(key.toUpper()))
                    continue;
                const QString nearest = Nearest(key.toUpper(), known);
                Add(false, section, key,
                    nearest.isEmpty()
                        ? QStringLiteral("the engine knows no such key")
                        : QStringLiteral("the engine knows no such key; did you mean %1?")
                              .arg(nearest));
            }
    }

    // Each loop of PARENTCLASS links once, at its first section in the text.
    void Parents() {
        QSet<QString> inLoop;
        for (const QString& start : ini_.Sections()) {
            const QString parent = ini_.ReadString(start, kParent, QString());
            if (!parent.isEmpty() && parent != QStringLiteral("?") && ini_.SectionIndex(parent) < 0)
                Add(false, start, kParent,
                    QStringLiteral("names the section %1, which the skin does not have")
                        .arg(parent));
            QStringList path;
            for (QString at = start; !at.isEmpty() && ini_.SectionIndex(at) >= 0;
                 at = ini_.ReadString(at, kParent, QString()).toUpper()) {
                if (path.contains(at)) {
                    const QStringList loop = path.mid(path.indexOf(at));
                    if (loop.first() == start.toUpper() && !inLoop.contains(start.toUpper())) {
                        for (const QString& s : loop)
                            inLoop.insert(s);
                        Add(true, start, kParent,
                            QStringLiteral("the parents loop: %1 -> %2")
                                .arg(loop.join(QStringLiteral(" -> ")), at));
                    }
                    break;
                }
                path << at;
            }
        }
    }

    void Pictures() {
        const QString master = ini_.ReadString(kGlobal, kMaster, QString());
        if (!master.isEmpty())
            Picture(kGlobal, kMaster, master.toUpper());
        ini_.ForEachValue([&](const QString& section, const QString& key, const QString& value) {
            if (IsPictureValue(value) && !(section == kGlobal && key == kMaster))
                Picture(section, key, PictureName(value));
        });
    }

    void Picture(const QString& section, const QString& key, const QString& name) {
        if (checked_.contains(name)) {
            if (!checked_[name].isEmpty())
                Add(true, section, key, checked_[name]);
            return;
        }
        QString problem;
        if (!pictures_.Load(name)) {
            problem = QStringLiteral("the picture %1 is not in the skin").arg(name);
        } else {
            try {
                const bool jpeg = name.contains(QStringLiteral(".JP"));
                if (jpeg ? !pictures_.Pattern(name)
                         : !pictures_.Picture(name, skin::PictureKind::Any))
                    problem = QStringLiteral("the picture %1 cannot be read").arg(name);
            } catch (const ESkinError& e) {
                problem = QStringLiteral("the picture %1 cannot be read: %2")
                              .arg(name, QString::fromStdString(e.what()));
            }
        }
        checked_.insert(name, problem);
        if (!problem.isEmpty())
            Add(true, section, key, problem);
    }

    // Each mask on its own, so that one malformed value does not hide the
    // others; the pictures are decoded once, in the source's cache.
    void Masks() {
        const skin::TsGeneralDataArray sections = Sections();
        const QString master = ini_.ReadString(kGlobal, kMaster, QString());
        ini_.ForEachValue([&](const QString& section, const QString& key, const QString& value) {
            if (value.isEmpty() || (section == kGlobal && key == kMaster))
                return;
            const QChar first = value.front();
            if (first != u'^' && first != u'@' && first != u'~' && !IsPictureValue(value))
                return;
            // The master picture's key, and this one; in one section when
            // this one is of GLOBALINFO too.
            const QString masterLine = QStringLiteral("%1=%2\n").arg(kMaster, master);
            const QString own = QStringLiteral("%1=%2\n").arg(key, value);
            const TIniFile one = TIniFile::FromText(
                section == kGlobal
                    ? QStringLiteral("[%1]\n%2%3").arg(kGlobal, masterLine, own)
                    : QStringLiteral("[%1]\n%2[%3]\n%4").arg(kGlobal, masterLine, section, own));
            skin::TsSkinImages images;
            try {
                skin::LoadMasks(one, pictures_, images);
            } catch (const ESkinError& e) {
                Add(true, section, key, QString::fromStdString(e.what()));
                return;
            }
            for (const skin::TsMaskData& m : images.Masks)
                if (m.SectionName == section && m.KeyName == key)
                    Mask(m, images.MasterImage, sections);
        });
    }

    void Mask(const skin::TsMaskData& m, const platform::Bitmap& master,
              const skin::TsGeneralDataArray& sections) {
        const platform::Bitmap& picture = m.OwnImage ? *m.OwnImage : master;
        const QRect area(m.Area.Left, m.Area.Top, m.Area.Width(), m.Area.Height());
        if (!m.OwnImage && picture.Empty()) {
            Add(true, m.SectionName, m.KeyName,
                QStringLiteral("lies on the master picture, and there is none (MASTERBITMAP "
                               "of GLOBALINFO)"));
            return;
        }
        if (area.isEmpty() || !picture.Rect().contains(area)) {
            Add(true, m.SectionName, m.KeyName,
                QStringLiteral("its rectangle %1,%2 %3x%4 lies outside its picture (%5x%6)")
                    .arg(area.x())
                    .arg(area.y())
                    .arg(area.width())
                    .arg(area.height())
                    .arg(picture.Width())
                    .arg(picture.Height()));
            return;
        }
        if (m.FrameCount <= 0 || area.width() % m.FrameCount != 0) {
            Add(true, m.SectionName, m.KeyName,
                QStringLiteral("its width %1 does not divide into %2 frames")
                    .arg(area.width())
                    .arg(m.FrameCount));
            return;
        }
        if (m.MaskKind != 0 && area.height() % 2 != 0)
            Add(false, m.SectionName, m.KeyName,
                QStringLiteral("its height %1 is odd, but it holds a picture above its mask")
                    .arg(area.height()));
        States(m, sections);
    }

    // A section whose STATES is written shows one frame of its border per
    // state; a border of one frame looks the same in every state.
    void States(const skin::TsMaskData& m, const skin::TsGeneralDataArray& sections) {
        if (m.KeyName.toUpper() != QStringLiteral("BORDERSMASK") || m.FrameCount <= 1 ||
            skin::ReadInheritedInt(ini_, m.SectionName, QStringLiteral("STATES"), -1) == -1)
            return;
        const auto d = std::find_if(sections.begin(), sections.end(),
                                    [&](const auto& s) { return s.SectionName == m.SectionName; });
        if (d == sections.end() || d->StateCount <= 0 || d->StateCount == m.FrameCount)
            return;
        Add(false, m.SectionName, m.KeyName,
            QStringLiteral("has %1 frames, but the section's STATES is %2%3")
                .arg(m.FrameCount)
                .arg(d->StateCount)
                .arg(m.FrameCount < d->StateCount
                         ? QStringLiteral(": the higher states show the last frame")
                         : QString()));
    }

    skin::TsGeneralDataArray Sections() {
        try {
            return skin::LoadSections(ini_);
        } catch (const ESkinError& e) {
            Add(true, kGlobal, "-", QString::fromStdString(e.what()));
            return {};
        }
    }

    void Needs() {
        for (const char* name : app::kNeededSections)
            if (ini_.SectionIndex(QString::fromLatin1(name)) < 0)
                Add(true, QString::fromLatin1(name), "-",
                    QStringLiteral("the program's windows are painted from this section, and the "
                                   "skin does not have it"));
        for (const auto& [section, key] : app::kNeededMasks)
            if (ini_.SectionIndex(QString::fromLatin1(section)) >= 0 &&
                !ini_.Value(QString::fromLatin1(section), QString::fromLatin1(key)))
                Add(true, QString::fromLatin1(section), QString::fromLatin1(key),
                    QStringLiteral("the program's windows need this picture, and the skin does "
                                   "not give it"));
    }

    const TIniFile& ini_;
    const skin::PictureSource& pictures_;
    QHash<QString, QString> checked_; // a picture's problem, empty when none
    std::vector<SkinProblem> problems_;
};

} // namespace

QString SkinProblem::Line() const {
    return QStringLiteral("%1: [%2] %3: %4")
        .arg(Error ? QStringLiteral("error") : QStringLiteral("warning"), Section, Key, Message);
}

std::vector<SkinProblem> CheckSkin(const QByteArray& options, const skin::PictureSource& pictures) {
    if (options.size() > skin::kMaxOptionsSize)
        return {{true, kGlobal, "-",
                 QStringLiteral("the options text has %1 bytes; the engine reads at most %2")
                     .arg(options.size())
                     .arg(skin::kMaxOptionsSize)}};
    const TIniFile ini = TIniFile::FromBytes(options);
    std::vector<SkinProblem> problems = Checker(ini, pictures).Run();
    // Whatever else stops the skin from loading, as the program would say it.
    if (std::none_of(problems.begin(), problems.end(), [](const auto& p) { return p.Error; })) {
        try {
            skin::LoadSkinModel(ini, pictures, skin::SkinLoadOptions{});
        } catch (const std::exception& e) {
            problems.push_back({true, kGlobal, "-", QString::fromStdString(e.what())});
        }
    }
    return problems;
}

int CheckCommand(const QString& skinArgument, const QByteArray& internal) {
    std::optional<skin::TacSkinConvertor> package;
    QString folder;
    QByteArray options;
    if (skinArgument == QStringLiteral("--internal")) {
        if (internal.isEmpty())
            throw ESkinError("This build holds no internal skin");
        package = skin::UnpackPackage(internal);
    } else if (QFileInfo(skinArgument).isDir()) {
        folder = QFileInfo(skinArgument).absoluteFilePath();
    } else {
        package = skin::UnpackPackageFile(skinArgument);
        if (!package)
            throw ESkinError(("There is no skin at \"" + skinArgument + "\"").toStdString());
        folder = QFileInfo(skinArgument).absolutePath();
    }
    skin::PictureCache cache;
    const skin::PictureSource pictures{package ? &*package : nullptr, folder, &cache};
    if (package) {
        if (!package->OptionsText)
            throw ESkinError("The package holds no options text (Options.dat)");
        options = *package->OptionsText;
    } else if (const auto text = skin::PictureSource{nullptr, folder}.Load("OPTIONS.DAT")) {
        options = *text;
    } else {
        throw ESkinError(("There is no Options.dat in \"" + skinArgument + "\"").toStdString());
    }
    const std::vector<SkinProblem> problems = CheckSkin(options, pictures);
    int errors = 0;
    for (const SkinProblem& p : problems) {
        std::printf("%s\n", p.Line().toUtf8().constData());
        errors += p.Error;
    }
    std::printf("%d errors, %d warnings\n", errors, int(problems.size()) - errors);
    return errors > 0 ? 1 : 0;
}
