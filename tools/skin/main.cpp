// charolist-skin: the skin tool for skin authors.
//   charolist-skin info SKIN                  counts what a skin (package or folder) holds
//   charolist-skin dump SKIN                  the whole loaded skin as JSON
//   charolist-skin check SKIN                 every problem a skin author should fix
//   charolist-skin preview SKIN --out F.png   the program's windows with that skin
//   charolist-skin render SKIN SECTION ...    a section painted into a PNG
//   charolist-skin unpack PACKAGE DIR         writes every member of a package into DIR
//   charolist-skin pack [--stored] DIR PACKAGE [NAME...]
//                                             packs "Options.dat" and the pictures of
//                                             DIR (the named ones in that order, or all
//                                             files but the options, sorted by name)
// Errors go to standard error with exit code 1; usage errors exit 2.
#include "SkinCheck.h"
#include "SkinDump.h"
#ifdef CHAROLIST_WITH_WINDOWS
#include "SkinPreview.h"
#endif
#include "SkinRender.h"
#ifdef CHAROLIST_WITH_INTERNAL_SKIN
#include "app/InternalSkin.h"
#endif
#include "skin/data/SkinModel.h"
#include "skin/data/SkinPackage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

namespace {

const char* kUsage =
    "usage:\n"
    "  charolist-skin info SKIN\n"
    "      Loads SKIN as the program does and prints its version, the numbers of\n"
    "      sections, masks (by kind) and patterns, and the size of its master image.\n"
    "      SKIN is a package file, a skin folder, or --internal for the program's own\n"
    "      skin. A broken skin gives the program's message.\n"
    "  charolist-skin check SKIN\n"
    "      Lists every problem of SKIN its author should fix, one a line with its\n"
    "      section and key: pictures missing or unreadable, mask rectangles outside\n"
    "      their picture, frame counts that do not divide it, STATES that do not match\n"
    "      the frames, keys the engine does not know (with the nearest known one),\n"
    "      parents that loop, sections and pictures the program's windows need and\n"
    "      the skin lacks, sizes over the engine's limits; then a summary. Exit status\n"
    "      1 with an error, 0 with warnings alone.\n"
    "  charolist-skin preview SKIN --out FILE.png [--window main|help|author|ancestors|menu]\n"
    "                 [--scale 2]\n"
    "      Builds the program's window (the main one unless named; \"menu\" is the\n"
    "      spreads' drop-down) offscreen with SKIN at ratio 1 or 2 and saves it.\n"
    "  charolist-skin dump SKIN\n"
    "      Prints the whole loaded skin as one JSON object: SkinData, Sections, Masks\n"
    "      and Patterns, with the records' fields in their order.\n"
    "  charolist-skin render SKIN SECTION --size WxH --out OUT.png [--state N]\n"
    "                 [--parent-color 0xBBGGRR | --parent-image PNG [--offset X,Y]]\n"
    "      Paints SECTION of SKIN in state N (0 normal, 1 hot, 2 pressed) at the given\n"
    "      size over a plain colour or over a picture (the section's top-left lying at\n"
    "      X,Y of it), as the program paints it, and writes a PNG. With\n"
    "      --outline-color 0xBBGGRR the pixels a window of that size leaves out of its\n"
    "      outline (its border's see-through corners) take that colour.\n"
    "  charolist-skin render SKIN SECTION --glyph KEY --out OUT.png [--state N] [--parent-...]\n"
    "      Paints the glyph mask KEY of SECTION (BICONCLOSE of GLOBALINFO, a scroll\n"
    "      button's GLYPHMASK) at its frame's size over the parent, as a title bar or\n"
    "      a scroll bar lays it.\n"
    "  charolist-skin render SKIN --all --out DIR\n"
    "      Paints every section in each of its states at a few sizes into DIR.\n"
    "  charolist-skin unpack PACKAGE DIR\n"
    "      Writes the options text (as Options.dat) and every picture of PACKAGE into DIR.\n"
    "  charolist-skin pack [--stored] DIR PACKAGE [NAME...]\n"
    "      Packs DIR's Options.dat (found in any letter case) and its pictures into\n"
    "      PACKAGE: the NAMEs in the order given, or else every other file, sorted.\n"
    "      --stored leaves the members uncompressed (larger, but read faster).\n"
    "  charolist-skin --help\n"
    "      Shows this text.\n";

void Fail(const QString& message) {
    throw skin::ESkinError(message.toStdString());
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        Fail("Cannot create file \"" + path + "\". " + f.errorString());
}

// A new file in a folder: a link already there under that name is refused
// rather than written through (it may point anywhere).
void WriteNewFile(const QString& path, const QByteArray& bytes) {
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int error = errno;
        Fail("Cannot create file \"" + path + "\". " +
             (error == ELOOP ? QStringLiteral("A link is in its place")
                             : QString::fromLocal8Bit(std::strerror(error))));
    }
    QFile f;
    const bool written = f.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle) &&
                         f.write(bytes) == bytes.size() && f.flush();
    if (!written)
        Fail("Cannot write file \"" + path + "\". " + f.errorString());
}

void Unpack(const QString& package, const QString& dir) {
    const auto skin = skin::UnpackPackageFile(package);
    if (!skin)
        Fail("There is no package \"" + package + "\"");
    if (!QDir().mkpath(dir))
        Fail("Cannot create the folder \"" + dir + "\"");
    if (skin->OptionsText)
        WriteNewFile(dir + "/Options.dat", *skin->OptionsText);
    for (const skin::TacImageItem& item : skin->Members) {
        // Member names come from the package: never let one leave the folder.
        if (item.MemberName.isEmpty() || item.MemberName.contains(u'/') ||
            item.MemberName.contains(u'\\') || item.MemberName == ".." || item.MemberName == ".")
            Fail("The package holds a member with an unsafe name: \"" + item.MemberName + "\"");
        WriteNewFile(dir + "/" + item.MemberName, skin->MemberBytes(item));
    }
}

QByteArray InternalPackage() {
#ifdef CHAROLIST_WITH_INTERNAL_SKIN
    return content::InternalSkinPackage();
#else
    return QByteArray();
#endif
}

skin::TsSkinModel LoadSkin(const QString& argument) {
    if (argument != "--internal")
        return skin::LoadSkinFromPath(argument);
    const QByteArray package = InternalPackage();
    if (package.isEmpty())
        Fail("This build holds no internal skin");
    return skin::LoadSkinFromPackage(skin::UnpackPackage(package), QString());
}

void Dump(const QString& path) {
    const QByteArray json = DumpSkinJson(LoadSkin(path));
    std::fwrite(json.constData(), 1, json.size(), stdout);
}

void Render(const QString& path, const QStringList& options) {
    skin::TsSkinManager manager;
    LoadIntoManager(manager, path, InternalPackage());
    RenderCommand(manager, options);
}

void Info(const QString& path) {
    const skin::TsSkinModel model = LoadSkin(path);
    int kinds[5] = {0, 0, 0, 0, 0};
    for (const skin::TsMaskData& m : model.Images.Masks)
        if (m.ImageKind <= 4)
            ++kinds[m.ImageKind];
    std::printf("SkinInfo: %s\n", qPrintable(skin::VersionText(model.Data.Version)));
    std::printf("Sections: %zu\n", model.Sections.size());
    std::printf("Masks: %zu\n", model.Images.Masks.size());
    std::printf("Masks by kind: 0=%d 1=%d 2=%d 3=%d 4=%d\n", kinds[0], kinds[1], kinds[2], kinds[3],
                kinds[4]);
    std::printf("Patterns: %zu\n", model.Images.Patterns.size());
    std::printf("MasterImage: %dx%d\n", model.Images.MasterImage.Width(),
                model.Images.MasterImage.Height());
    // A skin that loads without its master picture shows nothing of the
    // masks drawn on it: say so, so that its author sees why.
    const auto onMaster =
        std::count_if(model.Images.Masks.begin(), model.Images.Masks.end(),
                      [](const skin::TsMaskData& m) { return !m.OwnImage.has_value(); });
    if (model.Images.MasterImage.Empty() && onMaster > 0)
        std::printf("Warning: no master picture was found (MASTERBITMAP of GLOBALINFO); "
                    "%lld masks on it show nothing\n",
                    static_cast<long long>(onMaster));
}

// A file of the folder to pack: it must lie in the folder, also where it
// is a link, and be there.
QByteArray ReadPackedFile(const QDir& folder, const QString& name) {
    const QFileInfo file(folder.filePath(name));
    if (name.contains(u'/') || name == ".." || name == ".")
        Fail("\"" + name + "\" is not a file of the folder \"" + folder.path() + "\"");
    if (file.isSymLink()) {
        const QString target = file.canonicalFilePath();
        if (target.isEmpty())
            Fail("\"" + file.filePath() + "\" is a link to nothing");
        if (!target.startsWith(folder.canonicalPath() + u'/'))
            Fail("\"" + file.filePath() + "\" is a link out of the folder, to \"" + target + "\"");
    }
    return skin::ReadSkinFile(file.filePath());
}

void Pack(const QString& dir, const QString& package, QStringList names,
          skin::PackCompression compression) {
    const QDir folder(dir);
    if (!folder.exists())
        Fail("There is no folder \"" + dir + "\"");
    std::optional<QByteArray> options;
    // Links to nothing are listed too, so that they are reported.
    const QStringList files = folder.entryList(QDir::Files | QDir::System, QDir::Name);
    for (const QString& f : files)
        if (skin::AsciiUpper(f) == "OPTIONS.DAT")
            options = ReadPackedFile(folder, f);
    if (names.isEmpty())
        for (const QString& f : files)
            if (skin::AsciiUpper(f) != "OPTIONS.DAT")
                names << f;
    skin::TacImageItems members;
    for (const QString& name : names)
        members.push_back(
            {name, skin::AsciiUpper(name).endsWith(".BMP"), ReadPackedFile(folder, name)});
    WriteFile(package, skin::PackPackage(options, members, compression));
}

} // namespace

int main(int argc, char** argv) {
#ifdef CHAROLIST_WITH_WINDOWS
    // The preview makes the program's windows, with an application of its own.
    if (argc > 1 && std::strcmp(argv[1], "preview") == 0)
        return PreviewCommand(argc, argv);
#endif
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    try {
        if (args.value(0) == "info" && args.size() == 2)
            Info(args[1]);
        else if (args.value(0) == "check" && args.size() == 2)
            return CheckCommand(args[1], InternalPackage());
        else if (args.value(0) == "dump" && args.size() == 2)
            Dump(args[1]);
        else if (args.value(0) == "render" && args.size() >= 4)
            Render(args[1], args.mid(2));
        else if (args.value(0) == "unpack" && args.size() == 3)
            Unpack(args[1], args[2]);
        else if (args.value(0) == "pack" && args.value(1) == "--stored" && args.size() >= 4)
            Pack(args[2], args[3], args.mid(4), skin::PackCompression::Stored);
        else if (args.value(0) == "pack" && args.size() >= 3)
            Pack(args[1], args[2], args.mid(3), skin::PackCompression::Default);
        else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
