#include "platform/Fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QSet>
#include <gtest/gtest.h>

using namespace platform;

namespace {

QStringList Names(const std::vector<StandInFace>& faces) {
    QStringList out;
    for (const StandInFace& f : faces)
        out << QString::fromLatin1(f.Resource);
    return out;
}

// Set by the run of these tests under a fontconfig that knows no fonts.
bool WithoutSystemFonts() {
    return qEnvironmentVariableIsSet("CHAROLIST_TEST_NO_SYSTEM_FONTS");
}

} // namespace

TEST(Fonts, OnlyTheFacesMissingFromTheSystemAreEmbedded) {
    struct Row {
        const char* what;
        std::function<bool(const QString&, bool)> installed;
        QStringList expected;
    } rows[] = {
        {"all installed", [](const QString&, bool) { return true; }, {}},
        {"none installed",
         [](const QString&, bool) { return false; },
         {":/fonts/PTS55F.ttf", ":/fonts/PTS75F.ttf", ":/fonts/LiberationSerif-Regular.ttf",
          ":/fonts/LiberationSerif-Bold.ttf", ":/fonts/Andika-Regular.ttf",
          ":/fonts/Andika-Bold.ttf"}},
        {"Andika's bold cut missing",
         [](const QString& family, bool bold) { return !(family == "Andika" && bold); },
         {":/fonts/Andika-Bold.ttf"}},
        {"PT Sans missing",
         [](const QString& family, bool) { return family != "PT Sans"; },
         {":/fonts/PTS55F.ttf", ":/fonts/PTS75F.ttf"}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Names(FacesToEmbed(row.installed)), row.expected) << row.what;
}

// Whether the faces come from the font packages or from the program's own
// copies, every face the windows name is drawn in its own family and weight.
TEST(Fonts, EveryStandInFaceResolvesToItsFamilyAndWeight) {
    ASSERT_TRUE(LoadFonts());
    for (const StandInFace& face : StandInFaces()) {
        QFont font(QString::fromLatin1(face.Family));
        font.setPixelSize(13);
        font.setBold(face.Bold);
        const QFontInfo info(font);
        EXPECT_EQ(info.family(), QString::fromLatin1(face.Family)) << face.Resource;
        EXPECT_EQ(info.bold(), face.Bold) << face.Resource;
        EXPECT_FALSE(info.italic()) << face.Resource;
    }
}

// The font packages the program depends on are found through fontconfig, and
// then no embedded copy is registered; with no system fonts every copy is.
TEST(Fonts, EmbeddedCopiesOnlyWhereTheSystemHasNone) {
    ASSERT_TRUE(LoadFonts());
    QSet<QString> registered;
    for (int id = 0; id < 32; ++id)
        for (const QString& family : QFontDatabase::applicationFontFamilies(id))
            registered.insert(family);
    if (WithoutSystemFonts())
        EXPECT_EQ(registered, (QSet<QString>{"PT Sans", "Liberation Serif", "Andika"}));
    else
        EXPECT_TRUE(registered.isEmpty()) << registered.values().join(", ").toStdString();
}
