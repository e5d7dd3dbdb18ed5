#include "skin/data/ColorShift.h"
#include "skin/data/TsSkinManager.h"

#include "platform/WidgetControl.h"
#include "support/Files.h"
#include "support/Printers.h"
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

using namespace skin;
using platform::Control;
using testing_support::Encoded;
using testing_support::WriteFile;

namespace {

class FakeHost : public TsSkinHost {
public:
    std::vector<Control*> Forms;
    QStringList Errors, Messages;
    std::vector<Control*> ApplicationForms() override { return Forms; }
    void ShowError(const QString& message) override { Errors << message; }
    void ShowMessage(const QString& message) override { Messages << message; }
};
FakeHost* gFakeHost = nullptr;

// A control that writes every skin command it receives into a shared log
// as "name:command"; the questions 4 and 7 are answered, not logged.
class FakeControl : public QWidget, public platform::WidgetControl {
public:
    FakeControl(const QString& name, QWidget* parent, QStringList* log, bool windowed = true,
                bool handlesSkin = false)
        : QWidget(parent), log_(log), windowed_(windowed), handlesSkin_(handlesSkin) {
        setObjectName(name);
    }
    ~FakeControl() override {
        if (gFakeHost)
            std::erase(gFakeHost->Forms, this);
    }
    QWidget* Widget() override { return this; }
    bool IsWindowed() const override { return windowed_; }
    void WndProc(platform::Message& m) override {
        if (m.Msg != platform::SM_ALPHACMD)
            return;
        const int command = platform::AlphaCommand(m.WParam);
        if (command == SkinCmdIsSkinned::Number)
            SkinCmdIsSkinned::Reply(m, handlesSkin_);
        else
            *log_ << objectName() + u':' + QString::number(command);
    }

private:
    QStringList* log_;
    bool windowed_, handlesSkin_;
};

QByteArray MasterBmp() {
    QImage master(40, 20, QImage::Format_RGB888);
    master.fill(QColor(200, 40, 40));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            master.setPixel(x, y, qRgb(40, 40, 200)); // the close glyph's area
    return Encoded(master, "BMP");
}

// A small skin whose GLOBALINFO COLOR tells where it was loaded from.
QByteArray Options(int color, const QString& extra = QString()) {
    return QStringLiteral("[GLOBALINFO]\r\nVERSION=6.5\r\nMASTERBITMAP=MASTER.BMP\r\n"
                          "COLOR=%1\r\nHOTCOLOR=255\r\nFONTCOLOR=467255\r\n"
                          "BOXCHECKED=@0000@0000@0018@0006@3@0\r\n"
                          "BICONCLOSE=@0000@0000@0006@0006@1@0\r\n"
                          "[EDIT]\r\nCOLOR=8500947\r\n"
                          "BORDERSMASK=^0000^0006^0009^0012^0001^0001^0001^0001^1^0^1^1\r\n"
                          "[COMBOBOX]\r\nPARENTCLASS=EDIT\r\nGLYPHMASK=@0020@0000@0032@0004@3@0\r\n"
                          "[SELECTION]\r\nSTATES=4\r\nCOLOR=5673391\r\nHOTCOLOR=2845326\r\n"
                          "FONTCOLOR=16777215\r\nHOTFONTCOLOR=65280\r\n"
                          "[MENUITEM]\r\nHOTCOLOR=1234\r\nHOTFONTCOLOR=4321\r\n")
               .arg(color)
               .toLatin1() +
           extra.toLatin1();
}

QByteArray Package(int color, const QString& extra = QString()) {
    return PackPackage(Options(color, extra), {{"Master.bmp", true, MasterBmp()}});
}

TsStoredSkin Stored(const QString& name, int color) {
    TsStoredSkin s;
    s.Name = name;
    s.Data = Package(color);
    return s;
}

// Two stored skins; the second carries the name the program asks for.
TsStoredSkins Internal() {
    return {Stored("Wood (internal)", 3), Stored("Wood", 4)};
}

class SkinManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        oldHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
        skins = home.path() + "/charolist/Skins";
        QDir().mkpath(skins);
        TsSkinManager::SetHost(&host);
        gFakeHost = &host;
    }
    void TearDown() override {
        manager.reset();
        TsSkinManager::SetHost(nullptr);
        gFakeHost = nullptr;
        qputenv("XDG_DATA_HOME", oldHome);
    }

    // A manager built the way the main window builds its own.
    TsSkinManager& Build(const TsStoredSkins& internal, const QString& name = "Wood") {
        manager = std::make_unique<TsSkinManager>();
        manager->BeginLoading();
        manager->SetInternalSkins(internal);
        manager->SetSkinDirectory("c:\\Skins");
        manager->SetSkinName(name);
        manager->Loaded();
        return *manager;
    }

    void PutPackage(const QString& file, const QByteArray& bytes) {
        ASSERT_TRUE(WriteFile(skins + '/' + file, bytes));
    }
    void PutFolder(const QString& folder, const QByteArray& options) {
        QDir().mkpath(skins + '/' + folder);
        ASSERT_TRUE(WriteFile(skins + '/' + folder + "/OPTIONS.DAT", options));
        ASSERT_TRUE(WriteFile(skins + '/' + folder + "/master.BMP", MasterBmp()));
    }

    QTemporaryDir home;
    QByteArray oldHome;
    QString skins;
    FakeHost host;
    std::unique_ptr<TsSkinManager> manager;
};

TEST_F(SkinManagerTest, FindsTheSkinInLoadOrder) {
    struct Case {
        const char* what;
        bool package, folder;
        TsStoredSkins internal;
        uint32_t color;
        QString name;
        bool fromPackage;
        QString skinFolder; // "" for an internal skin
    };
    const QString folder = QStringLiteral("c:\\Skins\\");
    const Case cases[] = {
        {"package before folder", true, true, Internal(), 1, "Wood", true, folder},
        {"folder", false, true, Internal(), 2, "Wood", false, folder + "Wood\\"},
        {"internal by name", false, false, Internal(), 4, "Wood", true, ""},
        {"first internal", false, false, {Internal()[0]}, 3, "Wood (internal)", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host.Errors.clear();
        QDir(skins).removeRecursively();
        QDir().mkpath(skins);
        if (c.package)
            PutPackage("WOOD.ASZ", Package(1));
        if (c.folder)
            PutFolder("wood", Options(2));
        TsSkinManager& m = Build(c.internal);
        EXPECT_TRUE(host.Errors.isEmpty()) << host.Errors.join('\n').toStdString();
        EXPECT_EQ(skin::Value(m.GlobalColor()), c.color);
        EXPECT_EQ(m.SkinName(), c.name);
        EXPECT_EQ(m.FromPackage(), c.fromPackage);
        EXPECT_EQ(m.SkinData().SkinFolder, c.skinFolder);
        EXPECT_EQ(m.SkinInfo(), "6.5");
        EXPECT_TRUE(m.SkinData().SkinReady);
        EXPECT_EQ(m.MasterImage().Width(), 40);
    }
}

TEST_F(SkinManagerTest, StartUpAnnouncesOnceAndLaterChangesRefresh) {
    QStringList log;
    FakeControl first("first", nullptr, &log);
    FakeControl main("main", nullptr, &log);
    FakeControl label("label", &main, &log, false);
    FakeControl button("button", &main, &log, true, true);
    FakeControl holder("holder", &main, &log); // windowed, not skinned itself
    FakeControl inner("inner", &holder, &log, true, true);
    FakeControl loading("loading", nullptr, &log);
    loading.ComponentState = Control::csLoading;
    host.Forms = {&first, &main, &loading};

    TsSkinManager& m = Build(Internal(), "nothing of that name");
    EXPECT_EQ(m.SkinName(), "Wood (internal)");
    // Forms from the last to the first; children in order, a container that
    // does not handle skins itself only passes the message on.
    EXPECT_EQ(log, QStringList({"main:1", "label:1", "button:1", "inner:1", "first:1"}));

    log.clear();
    m.SetSkinName("Wood (internal)");
    EXPECT_EQ(log, QStringList({"main:1", "label:1", "button:1", "inner:1", "first:1", "main:16",
                                "label:16", "button:16", "inner:16", "first:16", "main:3",
                                "label:3", "button:3", "inner:3", "first:3"}));
}

TEST_F(SkinManagerTest, ABrokenSkinKeepsWhatWasHeld) {
    struct Case {
        const char* what;
        QByteArray package;
        QString message;
    };
    const Case cases[] = {
        {"wrong magic", "ASZF" + Package(9).mid(4), "Loaded data is not a packed skin file"},
        {"bad integer",
         Package(9, "[BUTTON]\r\nBORDERSMASK=^00x0^0106^0063^0148^0008^0008^0008^0008^3^1^1^1\r\n"),
         "''00x0'' is not a valid integer value"},
        {"cut short", Package(9).left(60), "Stream read error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host.Errors.clear();
        TsSkinManager& m = Build(Internal());
        ASSERT_EQ(skin::Value(m.GlobalColor()), 4u);
        PutPackage("Broken.asz", c.package);
        QStringList log;
        FakeControl form("form", nullptr, &log);
        host.Forms = {&form};
        m.SetSkinName("Broken");
        host.Forms.clear();
        EXPECT_EQ(host.Errors, QStringList{c.message});
        EXPECT_EQ(m.SkinName(), "Wood");
        EXPECT_EQ(skin::Value(m.GlobalColor()), 4u);
        EXPECT_TRUE(m.Active());
        EXPECT_TRUE(m.SkinData().SkinReady);
        EXPECT_EQ(log.value(0), "form:1"); // what is held is announced again
    }
}

TEST_F(SkinManagerTest, ABrokenFirstSkinFallsBackToTheFirstInternalSkin) {
    PutPackage("Wood.asz", "not a skin at all");
    TsSkinManager& m = Build(Internal());
    EXPECT_EQ(host.Errors, QStringList{"Loaded data is not a packed skin file"});
    EXPECT_EQ(m.SkinName(), "Wood (internal)");
    EXPECT_EQ(skin::Value(m.GlobalColor()), 3u);
    EXPECT_EQ(m.SkinInfo(), "6.5");

    host.Errors.clear();
    TsSkinManager& none = Build({});
    EXPECT_EQ(host.Errors, QStringList{"Loaded data is not a packed skin file"});
    EXPECT_FALSE(none.Active());
    EXPECT_TRUE(none.SectionTable().empty());
}

TEST_F(SkinManagerTest, NoSkinAnywhereTurnsTheManagerOff) {
    QStringList log;
    FakeControl form("form", nullptr, &log);
    host.Forms = {&form};
    TsSkinManager& m = Build({});
    EXPECT_FALSE(m.Active());
    EXPECT_EQ(log, QStringList{"form:2"});
    EXPECT_EQ(m.SkinInfo(), "N/A");
}

TEST_F(SkinManagerTest, SwitchingOffEmptiesEverything) {
    QStringList log;
    FakeControl form("form", nullptr, &log);
    host.Forms = {&form};
    TsSkinManager& m = Build(Internal());
    log.clear();
    m.SetActive(false);
    EXPECT_EQ(log, QStringList{"form:2"});
    EXPECT_TRUE(m.SectionTable().empty());
    EXPECT_TRUE(m.MaskTable().empty());
    EXPECT_TRUE(m.MasterImage().Empty());
    EXPECT_EQ(m.SkinInfo(), "N/A");
    EXPECT_EQ(skin::Value(m.GlobalColor()), platform::GetSysColor(platform::COLOR_BTNFACE));
    EXPECT_EQ(m.CommonIndexes(), TsCommonIndexes());
    EXPECT_FALSE(m.SkinStdDialogs());

    log.clear();
    m.SetActive(true);
    EXPECT_EQ(skin::Value(m.GlobalColor()), 4u);
    EXPECT_EQ(log.value(0), "form:1");
}

// A load started ahead on another thread. Its package differs from the
// stored skin's own here, to tell which of the two was put in force.
TEST_F(SkinManagerTest, APreparedLoadIsTakenOnceAndOnlyForAPlainLoad) {
    TsStoredSkins internal = Internal();
    internal[1].Prepared = PreparedSkinModel::Start(Package(7));
    TsSkinManager& m = Build(internal);
    EXPECT_EQ(skin::Value(m.GlobalColor()), 7u);
    EXPECT_EQ(m.SkinName(), "Wood");
    EXPECT_TRUE(m.FromPackage());
    EXPECT_TRUE(m.SkinData().SkinReady);
    ASSERT_FALSE(m.MaskTable().empty());
    for (const TsMaskData& mask : m.MaskTable())
        EXPECT_EQ(mask.Owner, &m) << mask.KeyName.toStdString();
    // Handed over once: loading the skin again reads the stored package.
    m.SetSkinName("Wood");
    EXPECT_EQ(skin::Value(m.GlobalColor()), 4u);

    // A hue change is not in the prepared model: the package is loaded.
    auto hued = [&](TsStoredSkins skins) {
        manager = std::make_unique<TsSkinManager>();
        manager->BeginLoading();
        manager->SetInternalSkins(skins);
        manager->SetHueOffset(120);
        manager->SetSkinName("Wood");
        manager->Loaded();
        return Value(manager->GlobalColor());
    };
    const uint32_t fromPackage = hued(Internal());
    internal = Internal();
    internal[1].Prepared = PreparedSkinModel::Start(Package(7));
    EXPECT_EQ(hued(internal), fromPackage);

    // A prepared load that failed fails the load as the package would.
    internal = Internal();
    internal[1].Prepared = PreparedSkinModel::Start("not a skin");
    TsSkinManager& broken = Build(internal);
    EXPECT_EQ(host.Errors, QStringList{"Loaded data is not a packed skin file"});
    EXPECT_EQ(broken.SkinName(), "Wood (internal)");
    EXPECT_EQ(skin::Value(broken.GlobalColor()), 3u);
}

TEST_F(SkinManagerTest, ANewerSkinIsUsedAfterAWarning) {
    QByteArray options = Options(5);
    options.replace("VERSION=6.5", "VERSION=8.1");
    PutPackage("Wood.asz", PackPackage(options, {{"Master.bmp", true, MasterBmp()}}));
    TsSkinManager& m = Build(Internal());
    ASSERT_EQ(host.Messages.size(), 1);
    EXPECT_TRUE(host.Messages[0].startsWith(
        "This version of the skin is not completely supported by the skin engine in use."));
    EXPECT_EQ(skin::Value(m.GlobalColor()), 5u);
    EXPECT_EQ(m.SkinInfo(), "8.1");
}

TEST_F(SkinManagerTest, ColourQueriesAndTheirFallbacks) {
    TsSkinManager& m = Build(Internal());
    EXPECT_EQ(skin::Value(m.HighlightColor(true)), 2845326u);
    EXPECT_EQ(skin::Value(m.HighlightColor(false)), 5673391u);
    EXPECT_EQ(skin::Value(m.HighlightTextColor(true)), 65280u);
    EXPECT_EQ(skin::Value(m.HighlightTextColor(false)), 16777215u);
    EXPECT_EQ(skin::Value(m.GlobalFontColor()), 467255u);
    EXPECT_EQ(skin::Value(m.GlobalHotColor()), 255u);
    EXPECT_EQ(skin::Value(m.EditFontColor()), 0u); // EDIT has no FONTCOLOR

    // Without SELECTION, the menu item's hot colours; without both, the system's.
    PutPackage("NoSelection.asz",
               PackPackage("[MENUITEM]\r\nHOTCOLOR=1234\r\nHOTFONTCOLOR=4321\r\n", {}));
    m.SetSkinName("NoSelection");
    EXPECT_EQ(skin::Value(m.HighlightColor(false)), 1234u);
    EXPECT_EQ(skin::Value(m.HighlightTextColor(false)), 4321u);
    PutPackage("Bare.asz", PackPackage("[MENUITEM]\r\nHOTCOLOR=16711935\r\n", {}));
    m.SetSkinName("Bare");
    EXPECT_EQ(skin::Value(m.HighlightColor(true)),
              platform::GetSysColor(platform::COLOR_HIGHLIGHT));
    EXPECT_EQ(skin::Value(m.GlobalColor()), platform::GetSysColor(platform::COLOR_BTNFACE));
    EXPECT_EQ(skin::Value(m.GlobalFontColor()), 0xFF00FFu);
    EXPECT_EQ(skin::Value(m.EditFontColor()), platform::GetSysColor(platform::COLOR_WINDOWTEXT));
}

TEST_F(SkinManagerTest, CommonIndexesAndSectionMasks) {
    TsSkinManager& m = Build(Internal());
    const TsCommonIndexes& c = m.CommonIndexes();
    const std::pair<int, const char*> sections[] = {
        {c.GlobalInfo, "GLOBALINFO"}, {c.Form, "FORM"},         {c.FormTitle, "FORMTITLE"},
        {c.Caption, "CAPTION"},       {c.MenuLine, "MENULINE"}, {c.MenuItem, "MENUITEM"},
        {c.Selection, "SELECTION"},   {c.Edit, "EDIT"},         {c.ScrollBar, "SCROLLBAR1H"}};
    for (const auto& [index, name] : sections)
        EXPECT_EQ(index, m.FindSection(name)) << name;
    EXPECT_GE(c.GlobalInfo, 0);
    EXPECT_EQ(c.Form, -1); // this skin has no FORM
    const int combo = m.FindSection("COMBOBOX");
    EXPECT_EQ(m.SectionTable()[combo].BordersMask, m.FindMaskExact("EDIT", "BORDERSMASK"));
    EXPECT_EQ(m.MaskTable()[0].Owner, &m);
}

TEST_F(SkinManagerTest, CommonSectionsAddSectionsAndPicturesFromFiles) {
    TsSkinManager& m = Build(Internal());
    QImage extra(9, 6, QImage::Format_RGB888);
    extra.fill(Qt::darkYellow);
    ASSERT_TRUE(WriteFile(skins + "/extra.bmp", Encoded(extra, "BMP")));
    m.SetCommonSections(
        {"[MYPANEL]", "COLOR = 77", "BORDERSMASK = c:\\skins\\EXTRA.BMP", "; COLOR = 1"});
    EXPECT_TRUE(host.Errors.isEmpty()) << host.Errors.join('\n').toStdString();
    const int section = m.FindSection("MYPANEL");
    ASSERT_GE(section, 0);
    EXPECT_EQ(m.SectionTable()[section].Color, SkinColor{77});
    const int mask = m.FindMaskExact("MYPANEL", "BORDERSMASK");
    ASSERT_GE(mask, 0);
    EXPECT_EQ(m.MaskTable()[mask].Area, (TsArea{0, 0, 9, 6}));
}

TEST_F(SkinManagerTest, HueShiftKeepsTheCloseGlyph) {
    QByteArray options = Options(0x0000C8);
    options.replace("VERSION=6.5", "VERSION=6.5\r\nBIKEEPHUE=2");
    PutPackage("Wood.asz", PackPackage(options, {{"Master.bmp", true, MasterBmp()}}));
    TsSkinManager& m = Build(Internal());
    const auto before = m.MasterImage().Pixel(20, 10);
    m.SetHueOffset(120);
    EXPECT_EQ(skin::Value(m.GlobalColor()), uint32_t(ChangeHue(0x0000C8, 120)));
    EXPECT_EQ(m.MasterImage().Pixel(20, 10), ChangeHue(before, 120));
    EXPECT_EQ(m.MasterImage().Pixel(2, 2), platform::RGBColor(40, 40, 200)); // kept
    m.SetSaturation(50);
    EXPECT_EQ(skin::Value(m.GlobalColor()),
              uint32_t(ChangeSaturation(ChangeHue(0x0000C8, 120), 50)));
}

TEST(ColorShift, HueAndSaturation) {
    struct Case {
        int32_t color;
        int hue, saturation;
        int32_t expected;
    };
    const Case cases[] = {
        {platform::RGBColor(255, 0, 0), 120, 0, platform::RGBColor(0, 255, 0)},
        {platform::RGBColor(255, 0, 0), -120, 0, platform::RGBColor(0, 0, 255)},
        {platform::RGBColor(200, 100, 50), 360, 0, platform::RGBColor(200, 100, 50)},
        {platform::RGBColor(90, 90, 90), 77, 0, platform::RGBColor(90, 90, 90)},
        // mean 100: 150 -> 150 + 50 * 0.5, 50 -> 50 - 50 * 0.5
        {platform::RGBColor(150, 100, 50), 0, 50, platform::RGBColor(175, 100, 25)},
        {platform::RGBColor(150, 100, 50), 0, -100, platform::RGBColor(100, 100, 100)},
        // mean 120: clamped at both ends
        {platform::RGBColor(250, 100, 10), 0, 100, platform::RGBColor(255, 80, 0)},
    };
    for (const Case& c : cases) {
        const int32_t out =
            c.hue ? ChangeHue(c.color, c.hue) : ChangeSaturation(c.color, c.saturation);
        EXPECT_EQ(out, c.expected) << std::hex << c.color << " hue " << std::dec << c.hue
                                   << " saturation " << c.saturation;
    }
    platform::Bitmap b(3, 1);
    b.SetPixel(0, 0, platform::clFuchsia);
    b.SetPixel(1, 0, platform::RGBColor(128, 128, 128));
    b.SetPixel(2, 0, platform::RGBColor(255, 0, 0));
    ApplyHueToBitmap(b, 120);
    EXPECT_EQ(b.Pixel(0, 0), platform::clFuchsia);
    EXPECT_EQ(b.Pixel(1, 0), platform::RGBColor(128, 128, 128));
    EXPECT_EQ(b.Pixel(2, 0), platform::RGBColor(0, 255, 0));
}

TEST_F(SkinManagerTest, DefaultManagerAndFocus) {
    TsSkinManager& m = Build(Internal());
    EXPECT_TRUE(m.IsDefault());
    m.SetIsDefault(false);
    EXPECT_TRUE(m.IsDefault());
    TsSkinManager second;
    EXPECT_FALSE(second.IsDefault());

    QStringList log;
    FakeControl a("a", nullptr, &log), b("b", nullptr, &log);
    m.SetActiveControl(&a);
    m.SetActiveControl(&a);
    m.SetActiveControl(&b);
    EXPECT_EQ(log, QStringList({"a:29", "a:30", "b:29"}));
}

TEST_F(SkinManagerTest, ListsSkinsByMode) {
    PutPackage("Oak.asz", Package(1));
    PutFolder("Birch", Options(2));
    PutFolder(".hidden", Options(2));
    QDir().mkpath(skins + "/Empty");
    TsSkinManager& m = Build(Internal());
    const QStringList internal{"Wood (internal)", "Wood"};
    struct Case {
        int mode;
        QStringList expected;
    };
    for (const Case& c :
         {Case{0, internal + QStringList{"Birch"}}, Case{1, internal + QStringList{"Oak"}},
          Case{2, internal + QStringList{"Birch", "Oak"}}}) {
        QStringList list;
        QStringList sorted = c.expected;
        sorted.sort();
        EXPECT_EQ(m.ListSkins(list, c.mode), "Wood (internal)");
        EXPECT_EQ(list, sorted) << "mode " << c.mode;
    }
}

} // namespace
