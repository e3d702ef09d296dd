#include <gtest/gtest.h>

#include <clocale>

#include "util/NumberText.h"

TEST(NumberText, FormatsAsPrintfInTheCLocale)
{
    EXPECT_EQ(FormatFixed(0.0, 18), "0.000000000000000000");
    EXPECT_EQ(FormatFixed(500000.0, 18), "500000.000000000000000000");
    EXPECT_EQ(FormatFixed(-0.5, 2), "-0.50");
    EXPECT_EQ(FormatFixed(1e300, 18).size(), 301u + 19u);
    EXPECT_EQ(FormatGeneral(6378137.0, 15), "6378137");
    EXPECT_EQ(FormatGeneral(0.1 + 0.2, 15), "0.3");
    EXPECT_EQ(FormatGeneral(1e-20, 15), "1e-20");
    // The shortest exact digits, then zeros to 18 decimals: no noise, no loss.
    for (const auto& [value, text] : std::initializer_list<std::pair<double, const char*>>{
             {0.9996, "0.999600000000000000"}, {6561666.667, "6561666.667000000000000000"},
             {117.0, "117.000000000000000000"}, {0.0, "0.000000000000000000"}, {-0.5, "-0.500000000000000000"},
             {0.1 + 0.2, "0.300000000000000040"}, {1e-20, "0.00000000000000000001"}}) {
        EXPECT_EQ(FormatShortestFixed(value, 18), text);
        EXPECT_EQ(std::stod(FormatShortestFixed(value, 18)), value);
    }
}

TEST(NumberText, ParsesWholeAndLeadingNumbers)
{
    double d = 0;
    EXPECT_TRUE(ParseWholeDouble(" +12.5 ", d));
    EXPECT_EQ(d, 12.5);
    EXPECT_TRUE(ParseWholeDouble("-1e3", d));
    EXPECT_EQ(d, -1000);
    EXPECT_FALSE(ParseWholeDouble("1,5", d));
    EXPECT_FALSE(ParseWholeDouble("--1", d));
    EXPECT_FALSE(ParseWholeDouble("inf", d));
    int i = 0;
    EXPECT_TRUE(ParseWholeInt("-180", i));
    EXPECT_EQ(i, -180);
    EXPECT_FALSE(ParseWholeInt("2147483648", i));

    EXPECT_EQ(LeadingDouble("117.5abc"), 117.5);
    EXPECT_EQ(LeadingDouble("abc"), 0.0);
    EXPECT_EQ(LeadingDouble("  -3"), -3.0);
    EXPECT_EQ(LeadingDouble(""), 0.0);
    EXPECT_EQ(LeadingInt("9001 metre"), 9001);
    EXPECT_EQ(LeadingInt("x"), 0);
    EXPECT_EQ(LeadingInt("-12.7"), -12);
}

TEST(NumberText, IgnoresTheUsersDecimalComma)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous ? previous : "C";
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr)
        << "scripts/setup.sh provides the de_DE.UTF-8 locale";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    EXPECT_EQ(FormatFixed(0.5, 1), "0.5");
    EXPECT_EQ(LeadingDouble("0.25"), 0.25);
    std::setlocale(LC_NUMERIC, saved.c_str());
}
