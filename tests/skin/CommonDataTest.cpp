#include "skin/data/Blend.h"
#include "skin/draw/TsCommonData.h"

#include "platform/WidgetControl.h"
#include "support/Printers.h"
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

using namespace skin;
using platform::Control;

namespace {

const char* kOptions = "[GLOBALINFO]\r\nCOLOR=5407913\r\n"
                       "[EDIT]\r\nCOLOR=8500947\r\nFONTCOLOR=271683\r\nSTATES=1\r\n"
                       "[PANEL]\r\nCOLOR=1000\r\nTRANSPARENCY=0\r\nSTATES=1\r\n"
                       "[WIDEPANEL]\r\nCOLOR=1000\r\nSTATES=1\r\n"
                       "BORDERSMASK=^0000^0000^0030^0030^0011^0001^0011^0001^1^0^1^1\r\n"
                       "[THINPANEL]\r\nCOLOR=1000\r\nSTATES=1\r\n"
                       "BORDERSMASK=^0000^0000^0030^0030^0004^0004^0004^0004^1^0^1^1\r\n"
                       "[GRADIENT]\r\nCOLOR=1000\r\nGRADIENTPERCENT=100\r\nSTATES=1\r\n"
                       "GRADIENTDATA=255;65280;100;0;0\r\n"
                       "[QUARTER]\r\nCOLOR=%1\r\nTRANSPARENCY=25\r\nSTATES=1\r\n"
                       "[CLEAR]\r\nCOLOR=77\r\nTRANSPARENCY=100\r\nSTATES=1\r\n"
                       "[HALF]\r\nCOLOR=77\r\nTRANSPARENCY=50\r\nSTATES=1\r\n";
constexpr uint32_t kOwn = 0x4080C0;

// A control that hands its skin commands to its skin data and logs the
// commands that reach it.
class FakeSkinned : public QWidget, public platform::WidgetControl {
public:
    explicit FakeSkinned(QWidget* parent, int kind = 0, bool skinned = true)
        : QWidget(parent), Data(this), skinned_(skinned) {
        Data.ControlKind = kind;
    }
    QWidget* Widget() override { return this; }
    void WndProc(platform::Message& m) override {
        if (m.Msg != platform::SM_ALPHACMD || !skinned_)
            return;
        Log << platform::AlphaCommand(m.WParam);
        Data.HandleSkinCommand(m);
    }
    TsCommonData Data;
    QList<int> Log;

private:
    bool skinned_;
};

class CommonDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
        TsStoredSkin s;
        s.Name = "T";
        s.Data = PackPackage(QString(kOptions).arg(kOwn).toLatin1(), {});
        manager.SetInternalSkins({s});
        manager.SetSkinName("T");
        ASSERT_TRUE(manager.SkinHeld());
    }
    QTemporaryDir home;
    TsSkinManager manager;
    FakeSkinned form{nullptr, 0, false}; // a window that is not skinned itself
};

TEST_F(CommonDataTest, BindsToSectionsByNameAndKind) {
    FakeSkinned edit(&form);
    edit.Data.SetSkinSection("edit");
    EXPECT_EQ(edit.Data.SkinSection(), "EDIT");
    EXPECT_EQ(edit.Data.SectionIndex, manager.FindSection("EDIT"));
    edit.Data.SetSkinSection("");
    EXPECT_EQ(edit.Data.SkinSection(), "UNKNOWN");
    EXPECT_EQ(edit.Data.SectionIndex, -1);
    EXPECT_EQ(edit.Log, QList<int>({SkinCmdRefresh::Number, SkinCmdRemoveSkin::Number}));

    struct Row {
        int kind;
        const char* section;
    };
    for (const Row& row : {Row{KindEdit, "EDIT"}, Row{KindMemo, "EDIT"}, Row{KindPanel, "PANEL"},
                           Row{KindButton, "BUTTON"}, Row{12, "COMBOBOX"}, Row{161, "GAUGE"}}) {
        FakeSkinned c(&form, row.kind);
        c.Data.AssignDefaultSection();
        EXPECT_EQ(c.Data.SkinSection(), row.section) << row.kind;
    }
    FakeSkinned other(&form, 999);
    other.Data.AssignDefaultSection();
    EXPECT_EQ(other.Data.SkinSection(), "QWIDGET"); // the owner's class name
}

TEST_F(CommonDataTest, EditsTakeTheirColoursFromTheSection) {
    FakeSkinned edit(&form, KindMemo);
    edit.Data.InitAfterLoad();
    EXPECT_EQ(edit.Color(), 8500947);
    EXPECT_EQ(edit.Font().Color, 271683);
    FakeSkinned custom(&form, KindMemo);
    custom.SetColor(123);
    custom.Data.SetCustomColor(true);
    custom.Data.InitAfterLoad();
    EXPECT_EQ(custom.Color(), 123);
    // Panels are not edits: their colour is their own.
    FakeSkinned panel(&form, KindPanel);
    panel.SetColor(5);
    panel.Data.InitAfterLoad();
    EXPECT_EQ(panel.Color(), 5);
}

// Over a plain parent of colour P, a section of colour S answers the colour
// it paints: 25 % of P and 75 % of S, or S at 0 %, or P at 100 %.
TEST_F(CommonDataTest, BackgroundColourByTransparency) {
    const uint32_t p = 0x102030;
    FakeSkinned parent(&form, 0, false);
    parent.SetColor(int32_t(p));
    struct Row {
        const char* section;
        uint32_t expected;
    };
    const uint32_t quarter = MixColors(p, kOwn, 0.25);
    EXPECT_EQ(quarter & 0xFF, uint32_t(std::lround(0x30 * 0.25 + 0xC0 * 0.75)));
    for (const Row& row : {Row{"QUARTER", quarter}, Row{"PANEL", 1000}, Row{"CLEAR", p}}) {
        FakeSkinned c(&parent);
        c.Data.SetSkinSection(row.section);
        EXPECT_EQ(Value(c.Data.GetStateColor(VisualState::Normal)), row.expected) << row.section;
        EXPECT_EQ(Value(SendSkinCommand<SkinCmdGetBgColor>(&c)), row.expected) << row.section;
    }
}

// A fully transparent child without a picture of its own passes a request
// for its background to its parent, moved by its own place.
TEST_F(CommonDataTest, TransparentChildPassesBackgroundRequestsUp) {
    FakeSkinned parent(&form, KindPanel);
    parent.setGeometry(0, 0, 60, 40);
    parent.Data.SetSkinSection("GRADIENT");
    parent.Data.PrepareCacheBitmap();
    parent.Data.MarkCacheRendered();
    FakeSkinned child(&parent);
    child.setGeometry(5, 7, 20, 10);
    child.Data.SetSkinSection("CLEAR");
    BackgroundRequest request;
    SendSkinCommand<SkinCmdGetBgInfo>(&child, &request);
    EXPECT_EQ(request.Kind, BackgroundAnswer::Picture);
    EXPECT_EQ(request.Bitmap, parent.Data.CacheBitmap());
    EXPECT_EQ(request.OffsetX, 5);
    EXPECT_EQ(request.OffsetY, 7);
    const ParentCacheInfo cache = child.Data.GetParentCache();
    EXPECT_TRUE(cache.Ready);
    EXPECT_EQ(cache.Bitmap, parent.Data.CacheBitmap());
}

// A container is plain (children fill with its colour) only when it is a
// flat colour and its border is not wide.
TEST_F(CommonDataTest, WideBordersMakeAContainerComplex) {
    FakeSkinned thin(&form, KindPanel), wide(&form, KindPanel);
    thin.Data.SetSkinSection("THINPANEL");
    wide.Data.SetSkinSection("WIDEPANEL"); // 11 + 11 = 22 across
    EXPECT_FALSE(thin.Data.NeedsComplexBackground());
    EXPECT_TRUE(thin.Data.StateFlags & sfPlainBackground);
    EXPECT_TRUE(wide.Data.NeedsComplexBackground());
    EXPECT_FALSE(wide.Data.StateFlags & sfPlainBackground);
}

// Moving a half-transparent control renders it again over a parent with a
// gradient, not over a flat one.
TEST_F(CommonDataTest, MovingOverAGradientInvalidatesTheCache) {
    for (const auto& [parentSection, invalid] :
         {std::pair{"GRADIENT", true}, std::pair{"PANEL", false}}) {
        FakeSkinned parent(&form, KindPanel);
        parent.Data.SetSkinSection(parentSection);
        FakeSkinned child(&parent);
        child.Data.SetSkinSection("HALF");
        child.Data.MarkCacheRendered();
        child.Log.clear();
        child.Data.HandleControlEvent(ControlEvent::Moved);
        EXPECT_EQ(child.Data.CacheStale(), invalid) << parentSection;
        EXPECT_EQ(child.Log.contains(SkinCmdParentBgChanged::Number), invalid) << parentSection;
    }
}

TEST_F(CommonDataTest, AnswersTheQuestionsItConsumes) {
    FakeSkinned c(&form, KindPanel);
    c.Data.SetSkinSection("PANEL");
    platform::Message m = SkinCmdIsSkinned::Make();
    EXPECT_TRUE(c.Data.HandleSkinCommand(m));
    EXPECT_EQ(m.Result, 1);
    int index = -5;
    m = SkinCmdGetSectionIndex::Make(&index);
    EXPECT_TRUE(c.Data.HandleSkinCommand(m));
    EXPECT_EQ(index, manager.FindSection("PANEL"));
    m = SkinCmdSetPaintLock::Make({}, 1);
    EXPECT_FALSE(c.Data.HandleSkinCommand(m));
    EXPECT_TRUE(c.Data.PaintHeld());
    // The manager's new skin rebinds; a skin removed by another manager does not unbind.
    TsSkinManager other;
    m = SkinCmdRemoveSkin::Make(&other);
    c.Data.HandleSkinCommand(m);
    EXPECT_GE(c.Data.SectionIndex, 0);
    m.LParam = reinterpret_cast<intptr_t>(&manager);
    c.Data.HandleSkinCommand(m);
    EXPECT_EQ(c.Data.SectionIndex, -1);
}

} // namespace
