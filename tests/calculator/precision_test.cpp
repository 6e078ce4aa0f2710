// The host may run the x87 unit at 53-bit (or 24-bit) precision, or round
// otherwise than to nearest; every evaluation must give what it gives at the
// 64-bit precision the calculator is written for, and leave the host's
// control word as it found it.
#include <gtest/gtest.h>

#include <cfloat>
#include <string>
#include <vector>

#include "calculator/calculator_dialog.h"
#include "calculator/decimal_text.h"
#include "calculator/str2math.h"

namespace calc {
namespace {

#if (defined(__i386__) || defined(__x86_64__)) && defined(__GNUC__) && LDBL_MANT_DIG == 64

unsigned short ControlWord() {
    unsigned short word = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(word));
    return word;
}

void SetControlWord(unsigned short word) { __asm__ __volatile__("fldcw %0" : : "m"(word)); }

const std::vector<std::string> kExpressions = {
    "1E300", "1E-300", "1/3", "2/3*3", "(1/3)*3", "2^0.5", "10^15-1", "123456789.123456789", "0.1+0.2",
    "1E22", "1E23*7", "LN10", "LG2", "SIN(1E18)", "COS(3.14159265358979)", "TAN1", "SQRT2", "2^-1074",
    "1.7976931348623157E308", "FFFFFFFFFFFFFh", "3^40", "1E308*10", "1/0", "SQRT(-1)", "0.1^400"};

std::vector<std::string> ShownAll() {
    std::vector<std::string> shown;
    for (const std::string& e : kExpressions) {
        std::optional<double> v = EvaluateExpression(e, '.');
        shown.push_back(v ? FormatDecimal(*v, '.') : "Error");
    }
    return shown;
}

TEST(Precision, ResultsDoNotDependOnTheHostsControlWord) {
    const unsigned short original = ControlWord();
    SetControlWord(static_cast<unsigned short>((original & ~0x0F00) | 0x0300));  // 64 bits, to nearest
    const std::vector<std::string> reference = ShownAll();
    struct Setting {
        const char* name;
        unsigned short bits;  // precision (8-9) and rounding (10-11) control
    };
    const Setting settings[] = {
        {"53-bit", 0x0200}, {"24-bit", 0x0000}, {"53-bit toward zero", 0x0E00}, {"64-bit upward", 0x0B00}};
    for (const Setting& s : settings) {
        SCOPED_TRACE(s.name);
        const auto host = static_cast<unsigned short>((original & ~0x0F00) | s.bits);
        SetControlWord(host);
        const std::vector<std::string> shown = ShownAll();
        const unsigned short after = ControlWord();
        SetControlWord(original);
        for (size_t i = 0; i < kExpressions.size(); ++i) EXPECT_EQ(shown[i], reference[i]) << kExpressions[i];
        EXPECT_EQ(after, host) << "the host's control word is restored after success and failure alike";
    }
    SetControlWord(original);
}

TEST(Precision, TheDialogsResultsDoNotDependOnTheHostsControlWord) {
    const unsigned short original = ControlWord();
    for (const char* expression : {"1E300", "1073741823.9999999", "2^30-1/3", "0.1*3"}) {
        SCOPED_TRACE(expression);
        CalculatorState at64;
        SetControlWord(static_cast<unsigned short>((original & ~0x0F00) | 0x0300));
        Calculate(at64, expression, false, '.');
        CalculatorState at53;
        const auto host = static_cast<unsigned short>((original & ~0x0F00) | 0x0200);
        SetControlWord(host);
        Calculate(at53, expression, false, '.');
        const unsigned short after = ControlWord();
        SetControlWord(original);
        EXPECT_EQ(at53.results, at64.results);
        EXPECT_EQ(after, host);
    }
}

TEST(Precision, ExceptionMasksAreLeftAsTheHostSetThem) {
    const unsigned short original = ControlWord();
    // Masks of the inexact, underflow and denormal exceptions only, as a
    // host that traps the others sets them; nothing here raises those three.
    const auto host = static_cast<unsigned short>((original & ~0x0F3F) | 0x0200 | 0x0032);
    SetControlWord(host);
    std::optional<double> value = EvaluateExpression("1/3+2", '.');
    const unsigned short after = ControlWord();
    SetControlWord(original);
    ASSERT_TRUE(value);
    EXPECT_EQ(FormatDecimal(*value, '.'), "2.33333333333333");
    EXPECT_EQ(after, host);
}

#else

TEST(Precision, ResultsDoNotDependOnTheHostsControlWord) { GTEST_SKIP() << "long double is not x87 here"; }

#endif

}  // namespace
}  // namespace calc
