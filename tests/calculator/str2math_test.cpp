#include "calculator/str2math.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "calculator/decimal_text.h"

namespace calc {
namespace {

struct Case {
    const char* expression;
    const char* shown;  // the value as FormatDecimal writes it, or "Error"
};

std::string Shown(std::optional<double> value, char separator) {
    return value ? FormatDecimal(*value, separator) : "Error";
}

void ExpectAll(const std::vector<Case>& cases, char separator = '.') {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expression);
        EXPECT_EQ(Shown(EvaluateExpression(c.expression, separator), separator), c.shown);
    }
}

TEST(Str2Math, PrecedenceAndAssociativity) {
    ExpectAll({
        {"2+3*4", "14"},
        {"2*3+4", "10"},
        {"(2+3)*4", "20"},
        {"2^3^2", "64"},
        {"8/2/2", "2"},
        {"10-2-3", "5"},
        {"6:3", "2"},
        {"12:3/2", "2"},
        {"2*3^2", "18"},
        {"1+2^3*2-1", "16"},
        {"7", "7"},
    });
}

TEST(Str2Math, UnaryMinusBelongsToTheNumber) {
    ExpectAll({
        {"-2^2", "4"},
        {"2^-1", "0.5"},
        {"2*-3", "-6"},
        {"3--2", "5"},
        {"3--5", "8"},
        {"-(2+3)", "-5"},
        {"(-2)^3", "-8"},
        {"2^-2", "0.25"},
        {"(-2)^-1", "-0.5"},
        {"-5", "-5"},
        {"--2", "Error"},
        {"3---5", "Error"},
    });
}

TEST(Str2Math, GroupsAreReplacedInnermostFirst) {
    ExpectAll({
        {"((2+3)*(4-1))", "15"},
        {"2*(3+(4*(1+1)))", "22"},
        {"2(3)", "23"},
        {"(2)(3)", "23"},
        {"SIN(1+2)", "0.141120008059867"},
        {"SIN(-1)", "-0.841470984807897"},
        {"SQRT((3+1)*4)", "4"},
        {"(1)+(2)+(3)", "6"},
        {"-(-2)*3", "6"},  // "!(!2)": the group value lands behind a negation as "!!2"
        {"(0-5)*2", "-10"},
        {"2(0-5)", "Error"},   // "2!5" is no number
    });
}

TEST(Str2Math, UnaryMinusBeforeANegativeGroupCancelsItsSign) {
    ExpectAll({
        {"-(2-5)", "3"},
        {"2*-(1-3)", "4"},
        {"10--(1-3)", "8"},
        {"SQRT(-(-4))", "2"},
        {"-(1-2)+-(3-4)", "2"},
        {"-(-(-2))", "-2"},
        {"-(0-0.5)^2", "0.25"},
        {"-(0-1E-5)", "1E-5"},
        {"-SIN(0-1)", "0.841470984807897"},  // the minus negates the function's argument
        {"-SQR(0-3)", "9"},
        {"-(2-5)h", "Error"},  // "!!3h": hexadecimal 3 would need its own sign
        {"--2", "Error"},
        {"--(2)", "Error"},
        {"-(--2)", "Error"},
    });
}

TEST(Str2Math, GroupFailures) {
    ExpectAll({
        {")(", "Error"},
        {"()", "Error"},
        {"(2))", "Error"},
        {"((2)", "Error"},
        {"(2", "Error"},
        {"2*(", "Error"},
        {"(1/0)+1", "Error"},
        {"(2)3)(", "Error"},
    });
}

TEST(Str2Math, Functions) {
    ExpectAll({
        {"sqrt16", "4"},
        {"Sqrt16", "4"},
        {"SIN(0)", "0"},
        {"2SIN", "0.909297426825682"},
        {"SIN3^2", "0.019914856674817"},
        {"SQR2*3", "12"},
        {"-SQR2", "4"},
        {"COS1", "0.54030230586814"},
        {"TAN1", "1.5574077246549"},
        {"TG1", "1.5574077246549"},
        {"CTG1", "0.642092615934331"},
        {"LN10", "2.30258509299405"},
        {"LG2", "0.301029995663981"},
        {"LG1000", "3"},
        {"SIN30", "-0.988031624092862"},
        {"30SIN", "-0.988031624092862"},
        {"S3IN0", "-0.988031624092862"},
        {"SIN9223372036854775808", "0"},  // 2^63: the sine gives up
    });
}

TEST(Str2Math, FunctionFailures) {
    ExpectAll({
        {"SIN", "Error"},
        {"SIN-1", "Error"},
        {"-LN2", "Error"},
        {"LN0", "Error"},
        {"CTG0", "Error"},
        {"SQRT(-4)", "Error"},
        {"LG0", "Error"},
        {"TAN9223372036854775808", "Error"},  // 0 / 0
        {"PI", "Error"},
        {"FF", "Error"},
        {"SINCOS1", "Error"},
        {"SQ2", "Error"},
    });
}

// Every function at the edges of its domain: zero, negative zero (a unary
// minus negates the function's argument, so -SQRT0 is the root of -0), the
// smallest double and its negative, and the largest arguments that still
// give a result. Expected values are computed independently to 300 bits.
TEST(Str2Math, FunctionsAtTheEdgesOfTheirDomains) {
    const std::string tiny = "4.94065645841247E-324";  // the smallest double, 2^-1074
    ExpectAll({
        {"SQRT0", "0"},
        {"-SQRT0", "0"},
        {"SQRT(-0)", "0"},
        {("SQRT" + tiny).c_str(), "2.22275874948508E-162"},
        {("-SQRT" + tiny).c_str(), "Error"},
        {"SQRT1.7976931348623157E308", "1.34078079299426E154"},
        {"LN1", "0"},
        {"LN0", "Error"},
        {"-LN0", "Error"},
        {("LN" + tiny).c_str(), "-744.440071921381"},
        {("-LN" + tiny).c_str(), "Error"},
        {"LG1", "0"},
        {"LG0", "Error"},
        {"-LG0", "Error"},
        {("LG" + tiny).c_str(), "-323.306215343116"},
        {("-LG" + tiny).c_str(), "Error"},
        {"SIN0", "0"},
        {"-SIN0", "0"},
        {("SIN" + tiny).c_str(), "4.94065645841247E-324"},
        {("-SIN" + tiny).c_str(), "-4.94065645841247E-324"},
        {"COS0", "1"},
        {"-COS0", "1"},
        {("COS" + tiny).c_str(), "1"},
        {"TAN0", "0"},
        {"-TG0", "0"},
        {("TAN" + tiny).c_str(), "4.94065645841247E-324"},
        {"CTG0", "Error"},
        {"-CTG0", "Error"},
        {("CTG" + tiny).c_str(), "Error"},  // 2E323 is beyond the double range
        {"CTG2.2250738585072E-308", "4.49423283715579E307"},
        {"SQR0", "0"},
        {"-SQR0", "0"},
        {("SQR" + tiny).c_str(), "0"},  // underflow is no failure
        {"SQR1.3E154", "1.69E308"},
        {"SQR1.35E154", "Error"},
        // The trigonometric functions up to just below 2^63, and 0 from there on.
        {"SIN9223372036854774784", "0.989155581390811"},
        {"COS9223372036854774784", "-0.146871494182522"},
        {"TAN9223372036854774784", "-6.73483705532097"},
        {"SIN9223372036854775808", "0"},
        {"COS9223372036854775808", "0"},
        {"-COS9223372036854775808", "0"},
        {"CTG9223372036854775808", "Error"},
    });
}

TEST(Str2Math, FailuresOfEveryKind) {
    ExpectAll({
        {"", "Error"},
        {"-", "Error"},
        {"2+", "Error"},
        {"2*", "Error"},
        {"2^", "Error"},
        {"*2", "Error"},
        {"2*/3", "Error"},
        {"2 + 3", "Error"},
        {" 2", "Error"},
        {"1/0", "Error"},
        {"0:0", "Error"},
        {"1Ab", "Error"},
        {"08", "Error"},
        {"1..2", "Error"},
        {"1,5", "Error"},
    });
}

TEST(Str2Math, PowerRules) {
    ExpectAll({
        {"0^0", "1"},
        {"0^5", "0"},
        {"0^0.5", "0"},
        {"5^0", "1"},
        {"0^-1", "Error"},
        {"0^-0.5", "Error"},
        {"(-2)^0.5", "Error"},
        {"2^0.5", "1.4142135623731"},
        {"4^0.5", "2"},
        {"2^10", "1024"},
        {"(-1)^2147483647", "-1"},
        {"1^2147483648", "1"},
    });
}

TEST(Str2Math, OverflowFailsAndUnderflowDoesNot) {
    ExpectAll({
        {"1E300*1E300", "Error"},
        {"1E308+1E308", "Error"},
        {"10^309", "Error"},
        {"2^1023*2", "Error"},
        {"1E400", "Error"},
        {"1E5000", "Error"},
        {"10^-5000", "Error"},  // the power overflows before its reciprocal is taken
        {"2.7^100000", "Error"},
        {"1E-300*1E-300", "0"},
        {"0.1^400", "0"},
        {"1E-400", "0"},
        {"2^-1074", "4.94065645841247E-324"},
        {"1E308*10", "Error"},
        {"1E307*10", "1E308"},
    });
}

TEST(Str2Math, IntermediatesAreCarriedAsFifteenDigits) {
    ExpectAll({
        {"1/3*3", "0.999999999999999"},
        {"(1/3)*3", "0.999999999999999"},
        {"2/3", "0.666666666666667"},
        {"2/3*3", "2"},
        {"0.1+0.2", "0.3"},
    });
}

TEST(Str2Math, SignedExponentsStayInOnePiece) {
    ExpectAll({
        {"1E3*2", "2000"},
        {"1E-5*2", "2E-5"},
        {"(0.00001)*2", "2E-5"},
        {"SIN(0.00001)", "9.99999999983333E-6"},
        {"1E+3", "1000"},
        {"1e-2+1", "1.01"},
        {"2E-5-1E-5", "1E-5"},
        {"-1E-5", "-1E-5"},
        {"(-0.00001)*2", "-2E-5"},
        {"SQRT(1E-10)", "1E-5"},
        {"0x1E-5", "25"},
        {"$1E-5", "25"},
        {"0x1E+5", "35"},
        {"-$1E-5", "-35"},
        {"1.E-2", "0.01"},
        {"E-5", "Error"},  // no digit before the "E": a subtraction with an empty number
    });
}

TEST(Str2Math, RadixLiteralsAsOperands) {
    ExpectAll({
        {"$1F+1", "32"},
        {"FFh", "255"},
        {"250+5", "255"},
        {"FFh-0x10", "239"},
        {"017*2", "30"},
        {"101b+0b1", "6"},
        {"0101b+00001111b", "20"},
        {"-0101b*2", "-10"},
        {"SQRT(0100b)", "2"},
        {"-1Fh", "-31"},
        {"2*-$10", "-32"},
        {"FFFFFFFFFFh", "1099511627775"},
        {"FFFFFFFFFFFh", "17592186044416"},
    });
}

TEST(Str2Math, CommaSeparator) {
    ExpectAll(
        {
            {"0,5", "0,5"},
            {"1/3", "0,333333333333333"},
            {"0,1+0,2", "0,3"},
            {"1,5E-5*2", "3E-5"},
            {"(0,000015)*2", "3E-5"},
            {"1,E-2", "0,01"},
            {"0.5", "Error"},
            {"0,5h", "Error"},
            {"2,5*2", "5"},
        },
        ',');
}

TEST(Str2Math, NullTextFails) { EXPECT_FALSE(EvaluateExpression(static_cast<const char*>(nullptr), '.')); }

TEST(Str2Math, ExpressionsLongerThan255CharactersFail) {
    std::string longest = "1";
    while (longest.size() < kMaxExpressionLength) longest += "+1";
    ASSERT_EQ(longest.size(), 255u);
    EXPECT_EQ(Shown(EvaluateExpression(longest, '.'), '.'), "128");
    EXPECT_FALSE(EvaluateExpression(longest + "0", '.'));
    EXPECT_FALSE(EvaluateExpression(longest + "+1", '.'));
}

TEST(Str2Math, GroupValuesMayGrowTheTextBeyond255Characters) {
    // Each "(1/3)" turns into 17 characters; the grown text is evaluated whole.
    std::string text = "(1/3)";
    for (int i = 1; i < 20; ++i) text += "+(1/3)";
    ASSERT_LE(text.size(), kMaxExpressionLength);
    EXPECT_EQ(Shown(EvaluateExpression(text, '.'), '.'), "6.66666666666661");
}

// Long expressions full of groups: each group is evaluated once and the
// whole text once more, and the result is that of the same operations
// written without parentheses (the intermediates are rounded alike).
TEST(Str2Math, LongExpressionsEvaluateEachGroupOnce) {
    struct Case {
        std::string grouped;
        std::string flat;
        int groups;
    };
    std::string nested, nestedFlat = "1E-300";
    for (int i = 0; i < 40; ++i) nestedFlat += "*0.5";
    nested = std::string(40, '(') + "1E-300";
    for (int i = 0; i < 40; ++i) nested += "*0.5)";
    std::string powers = "0.1^300";
    for (int i = 0; i < 100; ++i) powers += "^1";
    std::string sums, sumsFlat;
    for (int i = 0; sums.size() < 240; ++i) {
        sums += "(1E-" + std::to_string(200 + i) + "/3)+";
        sumsFlat += "1E-" + std::to_string(200 + i) + "/3+";
    }
    sums += "1";
    sumsFlat += "1";
    const Case cases[] = {
        {nested, nestedFlat, 40},
        {powers + "+" + std::string(10, '(') + "1" + std::string(10, ')'), powers + "+1", 10},
        {sums, sumsFlat, static_cast<int>(std::count(sums.begin(), sums.end(), '('))},
        {"-" + std::string(60, '(') + "2-5" + std::string(60, ')') + "*2", "3*2", 60},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.grouped);
        ASSERT_LE(c.grouped.size(), kMaxExpressionLength);
        const uint64_t before = FlatEvaluationCount();
        std::optional<double> grouped = EvaluateExpression(c.grouped, '.');
        const uint64_t steps = FlatEvaluationCount() - before;
        ASSERT_TRUE(grouped);
        EXPECT_EQ(Shown(grouped, '.'), Shown(EvaluateExpression(c.flat, '.'), '.'));
        EXPECT_LE(steps, static_cast<uint64_t>(c.groups) + 1);
    }
}

TEST(Str2Math, EvaluateFlatRejectsParentheses) {
    EXPECT_FALSE(EvaluateFlat("(2+3)", '.'));
    EXPECT_FALSE(EvaluateFlat("2+3)", '.'));
    EXPECT_EQ(EvaluateFlat("2+3", '.'), 5.0);
}

TEST(Str2Math, EvaluateOperandNegationMarkers) {
    EXPECT_EQ(EvaluateOperand("!5", '.'), -5.0);
    EXPECT_EQ(EvaluateOperand("!$10", '.'), -16.0);
    EXPECT_EQ(EvaluateOperand("SQR!3", '.'), 9.0);
    EXPECT_EQ(EvaluateOperand("!SQR3", '.'), 9.0);
    EXPECT_EQ(EvaluateOperand("!!5", '.'), 5.0);   // a negated negative group value
    EXPECT_EQ(EvaluateOperand("!SIN!0", '.'), 0.0);
    EXPECT_FALSE(EvaluateOperand("!!!5", '.'));
    EXPECT_FALSE(EvaluateOperand("!", '.'));
    EXPECT_FALSE(EvaluateOperand("", '.'));
    EXPECT_FALSE(EvaluateOperand("2!5", '.'));
}

}  // namespace
}  // namespace calc
