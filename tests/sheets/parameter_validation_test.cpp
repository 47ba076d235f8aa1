#include "sheets/parameter_validation.h"
#include "text/messages.h"

#include <gtest/gtest.h>

namespace lbv {
namespace {

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

ParameterItem Item(ParameterType type, unsigned usage = kUsageEditable,
    QList<ParameterRestriction> restrictions = {})
{
    ParameterItem item;
    item.name = S("/x");
    item.shortName = S("Field");
    item.type = type;
    item.usage = usage;
    item.restrictions = std::move(restrictions);
    return item;
}

bool Valid(const ParameterItem& item, const char* value)
{
    return ValidateParameter(item, S(value)).isEmpty();
}

TEST(ParameterValidation, EmptyIsAllowedOnlyForOptionalItems)
{
    EXPECT_EQ(ValidateParameter(Item(ParameterType::String), QString()),
        MessageText(Msg::SheetValueRequired).arg(S("Field")));
    // Optional items may be emptied even when their restrictions would refuse "".
    EXPECT_TRUE(Valid(Item(ParameterType::Number, kUsageOptional,
                          {{RestrictionKind::Min, S("1")}, {RestrictionKind::MinLength, S("3")}}),
        ""));
    EXPECT_TRUE(Valid(Item(ParameterType::Date, kUsageOptional), ""));
    EXPECT_TRUE(Valid(Item(ParameterType::String), " "));
}

TEST(ParameterValidation, NumbersAreWholeAndWithinTheirLimits)
{
    const ParameterItem year = Item(ParameterType::Number, kUsageEditable,
        {{RestrictionKind::Min, S("0")}, {RestrictionKind::Max, S("9999")}});
    EXPECT_TRUE(Valid(year, "0"));
    EXPECT_TRUE(Valid(year, "9999"));
    EXPECT_TRUE(Valid(year, " 2004 "));
    EXPECT_EQ(ValidateParameter(year, S("-1")),
        MessageText(Msg::SheetBelowMinimum).arg(S("Field"), S("0")));
    EXPECT_EQ(ValidateParameter(year, S("10000")),
        MessageText(Msg::SheetAboveMaximum).arg(S("Field"), S("9999")));
    EXPECT_EQ(ValidateParameter(year, S("12.5")),
        MessageText(Msg::SheetNotWholeNumber).arg(S("Field"), S("12.5")));
    for (const char* bad : {"1e3", "0x10", "twelve", "99999999999999999999", "+"})
        EXPECT_FALSE(Valid(year, bad)) << bad;
}

TEST(ParameterValidation, FloatsKeepTheirFractionDigitsAndLimits)
{
    const ParameterItem version = Item(ParameterType::Float, kUsageEditable,
        {{RestrictionKind::Min, S("0")}, {RestrictionKind::Fraction, S("2")}});
    EXPECT_TRUE(Valid(version, "2.0"));
    EXPECT_TRUE(Valid(version, "2.25"));
    EXPECT_TRUE(Valid(version, "7"));
    EXPECT_TRUE(Valid(version, ".5"));
    EXPECT_EQ(ValidateParameter(version, S("2.125")),
        MessageText(Msg::SheetTooManyDecimals).arg(S("Field"), S("2")));
    EXPECT_EQ(ValidateParameter(version, S("-0.5")),
        MessageText(Msg::SheetBelowMinimum).arg(S("Field"), S("0")));
    for (const char* bad : {"2,5", "inf", "nan", "1e5", "1.2.3", "."})
        EXPECT_EQ(ValidateParameter(version, S(bad)),
            MessageText(Msg::SheetNotNumber).arg(S("Field"), S(bad)))
            << bad;
}

TEST(ParameterValidation, DatesAreRealCalendarDaysWithinTheirLimits)
{
    const ParameterItem date
        = Item(ParameterType::Date, kUsageEditable, {{RestrictionKind::Max, S("2030-12-31")}});
    EXPECT_TRUE(Valid(date, "2004-02-29"));
    for (const char* bad : {"2003-02-29", "2004-13-01", "2004", "15.10.2002", "2004-1-5"})
        EXPECT_EQ(
            ValidateParameter(date, S(bad)), MessageText(Msg::SheetNotDate).arg(S("Field"), S(bad)))
            << bad;
    EXPECT_EQ(ValidateParameter(date, S("2031-01-01")),
        MessageText(Msg::SheetAboveMaximum).arg(S("Field"), S("2030-12-31")));
}

TEST(ParameterValidation, BooleansAcceptTheUsualWords)
{
    const ParameterItem flag = Item(ParameterType::Boolean);
    for (const char* good : {"1", "0", "true", "FALSE", "yes", "No"})
        EXPECT_TRUE(Valid(flag, good)) << good;
    EXPECT_EQ(ValidateParameter(flag, S("maybe")),
        MessageText(Msg::SheetNotBoolean).arg(S("Field"), S("maybe")));
}

TEST(ParameterValidation, TextRestrictionsApplyToTheWholeValue)
{
    const ParameterItem genre
        = Item(ParameterType::String, kUsageOptional, {{RestrictionKind::Regexp, S("[a-z0-9_]+")}});
    EXPECT_TRUE(Valid(genre, "sf_history"));
    // The expression must match all of the value, not a part of it.
    EXPECT_EQ(ValidateParameter(genre, S("SF sf_history")),
        MessageText(Msg::SheetWrongForm).arg(S("Field"), S("SF sf_history")));

    const ParameterItem name = Item(ParameterType::String, kUsageEditable,
        {{RestrictionKind::MinLength, S("2")}, {RestrictionKind::MaxLength, S("3")}});
    EXPECT_EQ(
        ValidateParameter(name, S("a")), MessageText(Msg::SheetTooShort).arg(S("Field"), S("2")));
    EXPECT_EQ(
        ValidateParameter(name, S("abcd")), MessageText(Msg::SheetTooLong).arg(S("Field"), S("3")));
    // Lengths count characters, so a character outside the BMP is one.
    EXPECT_TRUE(Valid(name, "a\xF0\x9F\x93\x96"));

    const ParameterItem choice = Item(ParameterType::String, kUsageEditable,
        {{RestrictionKind::Choice, S("en")}, {RestrictionKind::Choice, S("ru")}});
    EXPECT_TRUE(Valid(choice, "ru"));
    EXPECT_EQ(ValidateParameter(choice, S("de")),
        MessageText(Msg::SheetNotAChoice).arg(S("Field"), S("de"), S("en, ru")));
}

TEST(ParameterValidation, ListRestrictionsApplyToEveryLine)
{
    const ParameterItem list = Item(ParameterType::StringList, kUsageEditable,
        {{RestrictionKind::Regexp, S("[a-z]+")}, {RestrictionKind::MaxLength, S("5")}});
    EXPECT_TRUE(Valid(list, "alpha\r\nbeta\ngamma"));
    EXPECT_EQ(ValidateParameter(list, S("alpha\r\nBeta")),
        MessageText(Msg::SheetWrongForm).arg(S("Field"), S("Beta")));
    // The whole text is longer than five characters; each line is not.
    EXPECT_TRUE(Valid(list, "abcde\r\nabcde"));
}

} // namespace
} // namespace lbv
