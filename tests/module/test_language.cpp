// The language rule: templates and message variants.
#include <gtest/gtest.h>

#include "module/Language.h"
#include "module/Messages.h"

TEST(Language, PicksTemplatesByTheRule)
{
    const struct {
        int language;
        unsigned chooser, editor;
    } cases[] = {{0, 135, 136}, {1, 139, 140}, {2, 137, 138}, {5, 137, 138}, {7, 137, 138}, {-1, 137, 138}};
    for (const auto& c : cases) {
        EXPECT_EQ(ChooserTemplateId(static_cast<LanguageSet>(c.language)), c.chooser) << c.language;
        EXPECT_EQ(EditorTemplateId(static_cast<LanguageSet>(c.language)), c.editor) << c.language;
    }
}

TEST(Language, PicksMessageVariantsByTheRule)
{
    auto text = [](MessageId id, int language) {
        return std::string(MessageText(id, static_cast<LanguageSet>(language)));
    };
    EXPECT_EQ(text(MessageId::UnknownSrs, 0), "未知的坐标系！");
    EXPECT_EQ(text(MessageId::UnknownSrs, 1), "未知的座標系！");
    EXPECT_EQ(text(MessageId::UnknownSrs, 2), "Unknown spatial reference!");
    EXPECT_EQ(text(MessageId::UnknownSrs, 7), text(MessageId::UnknownSrs, 2));
    EXPECT_EQ(text(MessageId::UnknownSrsCaption, 1), "選擇座標系");
    EXPECT_EQ(text(MessageId::UnknownSrsCaption, 5), "Choose Coordinate");
    // Two-variant messages: language 1 falls back to English.
    EXPECT_EQ(text(MessageId::CoordinateSetError, 0), "坐标设置错误！");
    EXPECT_EQ(text(MessageId::CoordinateSetError, 1), "Coordinate set error!");
    EXPECT_EQ(text(MessageId::SaveSucceeded, 1), "Save successfully!");
    EXPECT_EQ(text(MessageId::GeogSystemExists, 1),
              "This geographic coordinate systems is exist, overwrite?");
    EXPECT_EQ(text(MessageId::NoCoordinateInfo, 2), "No coordinate infomation!");
    EXPECT_EQ(text(MessageId::NoCoordinateInfo, 1), "未獲取到座標信息！");

    const LanguageSet saved = g_language;
    g_language = static_cast<LanguageSet>(1);
    EXPECT_STREQ(MessageText(MessageId::UnknownDataType), "未知的數據類型！");
    g_language = saved;
}
