#include "windows/AuthorWindow.h"
#include "windows/HelpWindow.h"

#include "support/Printers.h"
#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

using namespace windows;
using platform::RGBColor;

namespace {

QStringList HelpLines() {
    const QString text = LoadHelpText();
    EXPECT_TRUE(text.endsWith(u'\n'));
    EXPECT_FALSE(text.contains(u'\r'));
    QStringList lines = text.split(u'\n');
    lines.removeLast(); // after the last line's break
    return lines;
}

class CompanionTest : public ::testing::Test {
protected:
    void SetUp() override {
        main.resize(800, 600);
        main.move(100, 50);
        main.show();
    }
    QWidget main;
};

} // namespace

TEST(HelpText, HasItsStructure) {
    const QStringList lines = HelpLines();
    ASSERT_EQ(lines.size(), 30);
    EXPECT_EQ(lines[0].size(), 100);
    EXPECT_EQ(lines[1].size(), 15);
    for (int n : {3, 9, 10, 12, 30})
        EXPECT_EQ(lines[n - 1], QString()) << "line " << n;
    EXPECT_EQ(lines[7], " ");
    EXPECT_EQ(lines[10], QString(72, u' ') + "Гадание на славянских рунах.");
    EXPECT_EQ(lines[10].size(), 100);
    // The paragraphs, broken by hand into lines of 96 to 107 characters.
    const std::pair<int, int> paragraphs[] = {{4, 7}, {13, 19}, {20, 24}, {25, 27}, {28, 29}};
    for (auto [first, last] : paragraphs)
        for (int n = first; n <= last; ++n) {
            EXPECT_GE(lines[n - 1].size(), 96) << "line " << n;
            EXPECT_LE(lines[n - 1].size(), 107) << "line " << n;
            EXPECT_FALSE(lines[n - 1].startsWith(u' ')) << "line " << n;
        }
    // Each paragraph ends a sentence on its last line.
    for (auto [first, last] : paragraphs)
        EXPECT_TRUE(lines[last - 1].endsWith(u'.')) << "line " << last;
}

TEST(AuthorInfo, IsInventedOnAnExampleDomain) {
    const AuthorInfo author = LoadAuthorInfo();
    EXPECT_FALSE(author.Name.isEmpty());
    auto onExampleDomain = [](const QString& host) {
        for (const char* d : {"example.org", "example.com", "example.net"})
            if (host == d || host.endsWith(QStringLiteral(".") + d))
                return true;
        return false;
    };
    const QStringList mail = author.Email.split(u'@');
    ASSERT_EQ(mail.size(), 2);
    EXPECT_TRUE(onExampleDomain(mail[1])) << author.Email.toStdString();
    EXPECT_TRUE(onExampleDomain(author.Web)) << author.Web.toStdString();
    EXPECT_EQ(QUrl(author.Web).host(), QString()); // a host name, not an address
}

TEST_F(CompanionTest, HelpWindowHoldsItsBox) {
    TForm5 form(&main);
    EXPECT_EQ(form.Caption(), "Справка...");
    EXPECT_EQ(form.ClientSize(), QSize(592, 405));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    QTextEdit* box = form.sRichEdit1;
    EXPECT_EQ(box->geometry(), QRect(0, 0, 593, 529));
    EXPECT_EQ(box->palette().color(QPalette::Base), QColor(211, 182, 129));
    EXPECT_EQ(box->font().pixelSize(), platform::TFont{}.ToQFont().pixelSize());
    EXPECT_EQ(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(box->lineWrapMode(), QTextEdit::WidgetWidth);
    EXPECT_FALSE(box->isReadOnly());
    EXPECT_EQ(box->document()->blockCount(), 30);
    EXPECT_EQ(box->toPlainText().split(u'\n'), HelpLines());

    form.show();
    EXPECT_EQ(form.frameGeometry().center(), main.frameGeometry().center());
    EXPECT_EQ(form.focusWidget(), box);
    // The window can grow, the box cannot.
    form.resize(900, 700);
    EXPECT_EQ(form.ClientSize(), QSize(900, 700));
    EXPECT_EQ(box->size(), QSize(593, 529));
    // Typed text stays across closing and showing again, and so does the size.
    box->setPlainText("Мой вопрос");
    form.close();
    form.show();
    EXPECT_EQ(box->toPlainText(), "Мой вопрос");
    EXPECT_EQ(form.ClientSize(), QSize(900, 700));
}

TEST_F(CompanionTest, AuthorWindowHoldsItsControls) {
    TForm4 form(&main);
    const AuthorInfo author = LoadAuthorInfo();
    EXPECT_EQ(form.Caption(), QString());
    EXPECT_EQ(form.ClientSize(), QSize(193, 214));
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);

    EXPECT_EQ(form.Image1->geometry(), QRect(56, 16, 81, 81));
    EXPECT_EQ(form.Image1->Picture().Width(), 80);
    EXPECT_EQ(platform::Bitmap::Load(kOrnamentResource).SourceBitsPerPixel(), 24);

    EXPECT_EQ(form.sLabelFX1->pos(), QPoint(40, 104));
    EXPECT_EQ(form.sLabelFX1->Caption(), "Автор: " + author.Name + ".");
    EXPECT_EQ(form.sLabelFX1->Font().Color, RGBColor(55, 33, 7));
    EXPECT_EQ(form.sLabelFX1->Font().Height, 13);
    EXPECT_EQ(form.sLabelFX1->Shadow().Color(), platform::clRed);
    EXPECT_EQ(form.sLabelFX2->pos(), QPoint(64, 128));
    EXPECT_EQ(form.sLabelFX2->Caption(), "Лето 7519.");
    EXPECT_EQ(form.sLabelFX2->Font().Height, 12);
    EXPECT_EQ(form.sLabelFX2->Shadow().Color(), platform::clBlack);
    for (controls::TsLabelFX* l : {form.sLabelFX1, form.sLabelFX2}) {
        EXPECT_TRUE(l->AutoSize());
        EXPECT_EQ(l->Shadow().Mode(), controls::TsShadowMode::smSkin1);
        EXPECT_EQ(l->Kind().KindType(), controls::TsKindType::ktSkin);
        EXPECT_EQ(l->Font().Name, "Comic Sans MS");
        EXPECT_TRUE(l->Font().Style & platform::fsBold);
    }

    EXPECT_EQ(form.sEdit1->geometry(), QRect(24, 152, 145, 21));
    EXPECT_EQ(form.sEdit1->text(), author.Email);
    EXPECT_EQ(form.sEdit1->palette().color(QPalette::Base), QColor(211, 182, 129));
    EXPECT_FALSE(form.sEdit1->isReadOnly());

    controls::TsWebLabel* link = form.sWebLabel1;
    EXPECT_EQ(link->geometry(), QRect(33, 184, 127, 25));
    EXPECT_FALSE(link->AutoSize());
    EXPECT_EQ(link->Caption(), author.Web);
    EXPECT_TRUE(link->URL.isEmpty());
    EXPECT_EQ(link->NormalFont().Color, platform::clBlue);
    EXPECT_EQ(link->HoverFont().Color, platform::clWindowText);
    EXPECT_EQ(link->HoverFont().Height, 13);

    form.show();
    EXPECT_EQ(form.minimumSize(), form.maximumSize()); // fixed
    EXPECT_EQ(form.frameGeometry().center(), main.frameGeometry().center());
    EXPECT_EQ(form.focusWidget(), form.sEdit1);
    EXPECT_EQ(form.sEdit1->selectedText(), author.Email); // ready to be copied
    // Typed text survives hiding and showing; the window is centred again.
    form.sEdit1->setText("мой@адрес");
    form.close();
    EXPECT_FALSE(form.isVisible());
    main.move(150, 80);
    form.show();
    EXPECT_EQ(form.sEdit1->text(), "мой@адрес");
    EXPECT_EQ(form.frameGeometry().center(), main.frameGeometry().center());
}

TEST_F(CompanionTest, TheOrnamentIsFourTurnedSpiralsOnBlack) {
    TForm4 form(&main);
    const platform::Bitmap& p = form.Image1->Picture();
    ASSERT_EQ(p.Width(), 80);
    ASSERT_EQ(p.Height(), 80);
    const platform::TColor blue = RGBColor(153, 205, 255), red = RGBColor(255, 0, 0);
    int blues = 0, reds = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 80; ++x) {
            const platform::TColor c = p.Pixel(x, y);
            ASSERT_TRUE(c == platform::clBlack || c == blue || c == red) << x << "," << y;
            blues += c == blue;
            reds += c == red;
            // The same after a quarter turn about the centre.
            ASSERT_EQ(c, p.Pixel(79 - y, x)) << x << "," << y;
        }
    EXPECT_EQ(p.Pixel(0, 0), platform::clBlack);
    EXPECT_EQ(p.Pixel(39, 39), red); // the centre
    EXPECT_GT(blues, 4 * 200);
    EXPECT_GT(reds, 4 * 4);
    // Each quarter holds a spiral with a red heart.
    for (QPoint q : {QPoint(0, 0), QPoint(40, 0), QPoint(0, 40), QPoint(40, 40)}) {
        int quarterBlue = 0, quarterRed = 0;
        for (int y = 4; y < 36; ++y)
            for (int x = 4; x < 36; ++x) {
                quarterBlue += p.Pixel(q.x() + x, q.y() + y) == blue;
                quarterRed += p.Pixel(q.x() + x, q.y() + y) == red;
            }
        EXPECT_GT(quarterBlue, 200);
        EXPECT_GT(quarterRed, 0);
    }
}

TEST_F(CompanionTest, TheLinkOpensTheAddressOnAnyButton) {
    std::vector<std::pair<QString, int>> opened;
    const controls::WebAddressOpener saved = controls::OpenWebAddress();
    controls::OpenWebAddress() = [&](const QString& a, int show) { opened.push_back({a, show}); };
    TForm4 form(&main);
    form.show();
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        QTest::mousePress(form.sWebLabel1, b, {}, QPoint(10, 10));
    controls::OpenWebAddress() = saved;
    const QString address = "http://" + LoadAuthorInfo().Web;
    ASSERT_EQ(opened.size(), 3u);
    for (const auto& [a, show] : opened) {
        EXPECT_EQ(a, address);
        EXPECT_EQ(show, 5); // shown normally
    }
}
