// Sine and cosine against values computed independently to 400 bits and
// rounded to double: the argument reduction must be exact on every build,
// also near multiples of pi and for arguments up to 2^63.
#include "calculator/trigonometry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "calculator/checked_float.h"
#include "calculator/decimal_text.h"
#include "calculator/operations.h"
#include "calculator/str2math.h"

namespace calc {
namespace {

struct Case {
    const char* argument;
    double sine;
    double cosine;
};

const Case kCases[] = {
    {"3.14159265358979", 3.2310891488651735e-15, -1.0},
    {"1E18", -0.9929693207404051, 0.11837199021871073},
    {"1", 0.8414709848078965, 0.5403023058681398},
    {"0.5", 0.479425538604203, 0.8775825618903728},
    {"0.785398163397448", 0.7071067811865472, 0.7071067811865478},
    {"0.785398163397449", 0.707106781186548, 0.7071067811865471},
    {"1.5707963267949", 1.0, -3.4914813388431334e-15},
    {"6.28318530717959", 3.3077843189710302e-15, 1.0},
    {"100", -0.5063656411097588, 0.8623188722876839},
    {"1E5", 0.03574879797201651, -0.9993608074382124},
    {"1E10", -0.4875060250875107, 0.873119622676856},
    {"355", -3.014435335948845e-05, -0.999999999545659},
    {"103993", -1.9129335778423752e-05, 0.9999999998170342},
    {"1E15", 0.8582727931702359, -0.5131937377869703},
    {"-3", -0.1411200080598672, -0.9899924966004454},
    {"-1E18", 0.9929693207404051, 0.11837199021871073},
    {"710", 6.0288706691585265e-05, 0.999999998182636},
    {"9007199254740992", -0.848925964814655, -0.5285117844130887},
    {"1.2345678901234567E17", -0.1840159016136226, -0.9829232665642449},
    {"9.2E18", 0.4468697073437947, 0.8945990524578434},
    {"4.6116860184273879E18", -0.7029224436192089, -0.7112665029764864},
    {"1E-300", 1e-300, 1.0},
    {"2.5", 0.5984721441039565, -0.8011436155469337},
    {"1000000", -0.34999350217129294, 0.9367521275331447},
    {"0.1", 0.09983341664682815, 0.9950041652780258},
    {"12345.6789", -0.7034419212632563, 0.7107527442152148},
    {"-0.75", -0.6816387600233341, 0.7316888688738209},
    {"4.9406564584124654E-324", 5e-324, 1.0},
    {"22", -0.008851309290403876, -0.9999608263946371},
    {"333", -0.008821166113885877, 0.9999610927573088},
    {"1E-9", 1e-09, 1.0},
};

TEST(Trigonometry, SineAndCosineAreCorrectlyReduced) {
    const ExtendedPrecisionScope precision;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.argument);
        const double x = std::strtod(c.argument, nullptr);
        EXPECT_EQ(static_cast<double>(ReducedSine(x)), c.sine);
        EXPECT_EQ(static_cast<double>(ReducedCosine(x)), c.cosine);
        EXPECT_EQ(ApplyFunction("SIN", x), c.sine);
        EXPECT_EQ(ApplyFunction("COS", x), c.cosine);
    }
}

// The texts the user sees, for the positive arguments that the evaluator
// reads as the same double as strtod does (written without parentheses: a
// group value is rounded to 15 digits first).
TEST(Trigonometry, TheCalculatorShowsTheReducedValues) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.argument);
        const std::string argument = c.argument;
        std::optional<double> read = EvaluateExpression(argument, '.');
        if (argument[0] == '-' || !read || *read != std::strtod(c.argument, nullptr)) continue;
        std::optional<double> sine = EvaluateExpression("SIN" + argument, '.');
        std::optional<double> cosine = EvaluateExpression("COS" + argument, '.');
        ASSERT_TRUE(sine && cosine);
        EXPECT_EQ(FormatDecimal(*sine, '.'), FormatDecimal(c.sine, '.'));
        EXPECT_EQ(FormatDecimal(*cosine, '.'), FormatDecimal(c.cosine, '.'));
    }
    EXPECT_EQ(FormatDecimal(*EvaluateExpression("SIN(3.14159265358979)", '.'), '.'), "3.23108914886517E-15");
}

TEST(Trigonometry, SineAndCosineAgreeWithEachOther) {
    // sin^2 + cos^2 = 1 and the shifts by pi/2, over many arguments.
    const ExtendedPrecisionScope precision;
    for (long double x = -40.0L; x < 40.0L; x += 0.0137L) {
        const long double s = ReducedSine(x);
        const long double c = ReducedCosine(x);
        EXPECT_NEAR(static_cast<double>(s * s + c * c), 1.0, 1e-18) << static_cast<double>(x);
        EXPECT_NEAR(static_cast<double>(ReducedSine(x + 1.5707963267948966192L) - c), 0.0, 1e-17)
            << static_cast<double>(x);
    }
}

}  // namespace
}  // namespace calc
