#include "platform/ProgramStyle.h"

#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>

// The overflow icons come late but the same as the desktop style's; every
// other icon comes as the desktop style gives it.
TEST(ProgramStyle, LateIconsAreTheBaseStylesIcons) {
    platform::ProgramStyle style;
    for (const QStyle::StandardPixmap which :
         {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton,
          QStyle::SP_TitleBarCloseButton}) {
        SCOPED_TRACE(int(which));
        const QIcon late = style.standardIcon(which);
        const QIcon base = style.baseStyle()->standardIcon(which);
        ASSERT_FALSE(base.isNull());
        EXPECT_FALSE(late.isNull());
        EXPECT_EQ(late.availableSizes(), base.availableSizes());
        for (const int size : {16, 32}) {
            const QImage a = late.pixmap(size, size).toImage();
            const QImage b = base.pixmap(size, size).toImage();
            ASSERT_FALSE(b.isNull());
            EXPECT_EQ(a, b) << size;
        }
        // A copy draws the same.
        const QIcon copy = late;
        EXPECT_EQ(copy.pixmap(16, 16).toImage(), base.pixmap(16, 16).toImage());
    }
}

TEST(ProgramStyle, IsTheApplicationsStyle) {
    EXPECT_TRUE(dynamic_cast<platform::ProgramStyle*>(QApplication::style()));
}
